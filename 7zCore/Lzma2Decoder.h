#pragma once
// An LZMA2 decoder built for speed on 32-bit x86: each chunk is gathered
// whole before it is decoded, so the inner loop runs without input checks,
// and the dictionary is a ring that only wraps between chunks, so output is
// always contiguous. It stands in for liblzma's LZMA2 decoder (see
// LzmaShim.cpp); every other filter chain stays with liblzma.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace SevenZCore {

class CLzma2Decoder {
public:
    enum Result { kOk, kStreamEnd, kError };

    // False when the dictionary cannot be allocated. Starts a new stream; the
    // ring is kept when its size is unchanged.
    bool Init(uint32_t dictSize);

    // Consumes input and produces output as far as both allow; *inUsed and
    // *outUsed tell how much. kStreamEnd once the end marker is read and all
    // output has been handed out.
    Result Code(const uint8_t* in, size_t inSize, size_t* inUsed, uint8_t* out, size_t outSize, size_t* outUsed);

private:
    enum Stage { kControl, kHeader, kPacked, kEnd, kFailed };

    bool StartChunk();
    bool DecodeLzmaChunk();
    void ResetState();
    void SetProperties(uint8_t props);

    // Dictionary ring: history of at least m_dictSize bytes ends at m_pos;
    // m_wrapEnd is where the ring last wrapped (logical predecessor of 0).
    // Left uninitialised: every read is of a byte this stream wrote, which the
    // distance checks against m_filled guarantee.
    std::unique_ptr<uint8_t[]> m_ring;
    size_t m_ringSize = 0;
    uint32_t m_dictSize = 0;
    uint32_t m_pos = 0;
    uint32_t m_wrapEnd = 0;
    uint32_t m_filled = 0;  // valid history bytes since the last dictionary reset
    uint32_t m_pending = 0, m_pendingAt = 0;  // decoded, not yet handed out

    // Chunk gathering.
    Stage m_stage = kControl;
    uint8_t m_control = 0;
    uint8_t m_header[5] = {};
    uint32_t m_headerNeed = 0, m_headerHave = 0;
    uint32_t m_unpacked = 0, m_packed = 0;
    std::vector<uint8_t> m_chunk;  // packed bytes of the chunk plus zero padding
    uint32_t m_chunkHave = 0;
    bool m_needDictReset = true, m_needProps = true, m_needState = true;

    // LZMA model.
    unsigned m_lc = 0, m_lp = 0, m_pb = 0;
    std::vector<uint16_t> m_probs;
    unsigned m_state = 0;
    uint32_t m_rep[4] = {};
    uint32_t m_processed = 0;  // position since the last dictionary reset, for the literal and position contexts
};

} // namespace SevenZCore
