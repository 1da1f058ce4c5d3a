#include "Lzma2Decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace SevenZCore {

namespace {

// Probability model layout (11-bit probabilities, one array).
const unsigned kNumStates = 12;
const unsigned kIsMatch = 0;
const unsigned kIsRep = kIsMatch + (kNumStates << 4);
const unsigned kIsRepG0 = kIsRep + kNumStates;
const unsigned kIsRepG1 = kIsRepG0 + kNumStates;
const unsigned kIsRepG2 = kIsRepG1 + kNumStates;
const unsigned kIsRep0Long = kIsRepG2 + kNumStates;
const unsigned kPosSlot = kIsRep0Long + (kNumStates << 4);
const unsigned kDistSpecial = kPosSlot + (4 << 6);
const unsigned kAlign = kDistSpecial + 115;
const unsigned kLenCoder = kAlign + 16;
const unsigned kRepLenCoder = kLenCoder + 514;
const unsigned kLiteral = kRepLenCoder + 514;
// Inside a length coder: two choice bits, then low, mid (8 per position state) and high.
const unsigned kLenChoice2 = 1, kLenLow = 2, kLenMid = 130, kLenHigh = 258;

const uint32_t kMaxChunkUnpacked = 1u << 21;
const uint32_t kMaxChunkPacked = 1u << 16;
// Zeros after a chunk's packed bytes: a broken chunk may read a little past
// its end before the loop notices; the longest symbol reads far less than this.
const uint32_t kPadding = 64;
const uint32_t kMaxDictSize = 1u << 30;

// Where the byte dist back from pos lies in the ring, or false when that is
// before the data the ring holds (only a broken stream asks for it).
inline bool Behind(uint32_t pos, uint32_t dist, uint32_t wrapEnd, uint32_t* at)
{
    if (pos >= dist) {
        *at = pos - dist;
        return true;
    }
    if (wrapEnd < dist - pos) return false;
    *at = pos - dist + wrapEnd;
    return true;
}

} // namespace

bool CLzma2Decoder::Init(uint32_t dictSize)
{
    // LZMA2 allows up to 4 GB; a 32-bit process could never hold more than this.
    if (dictSize > kMaxDictSize) return false;
    if (dictSize < 4096) dictSize = 4096;
    // liblzma keeps (and lets matches reach) the size rounded up to 16, and
    // its encoder may use all of it; a stricter limit would refuse its streams.
    dictSize = (dictSize + 15) & ~15u;
    // The ring holds the history plus one whole chunk. It is not cleared: a
    // 64 MB fill would cost far more than decoding a small stream.
    const size_t ringSize = static_cast<size_t>(dictSize) + kMaxChunkUnpacked;
    if (m_ringSize != ringSize) {
        m_ring.reset();  // first: a 32-bit process may not find room for both
        m_ringSize = 0;
        m_ring.reset(new (std::nothrow) uint8_t[ringSize]);
        if (!m_ring) return false;
        m_ringSize = ringSize;
    }
    try {
        m_chunk.assign(kMaxChunkPacked + kPadding, 0);
        m_probs.assign(kLiteral + (0x300u << 4), 1024);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_dictSize = dictSize;
    m_pos = m_wrapEnd = m_filled = m_pending = m_pendingAt = m_processed = 0;
    m_stage = kControl;
    m_needDictReset = m_needProps = m_needState = true;
    return true;
}

void CLzma2Decoder::SetProperties(uint8_t props)
{
    m_pb = props / 45;
    props %= 45;
    m_lp = props / 9;
    m_lc = props % 9;
}

void CLzma2Decoder::ResetState()
{
    std::fill(m_probs.begin(), m_probs.begin() + kLiteral + (0x300u << (m_lc + m_lp)), uint16_t(1024));
    m_state = 0;
    m_rep[0] = m_rep[1] = m_rep[2] = m_rep[3] = 0;
    m_needState = false;
}

// Validates the chunk header just gathered and makes room for its output.
bool CLzma2Decoder::StartChunk()
{
    if (m_control == 1 || m_control == 2) {
        if (m_control == 1) {
            // A fresh dictionary wants a fresh model before the next LZMA chunk.
            m_filled = m_processed = 0;
            m_needDictReset = false;
            m_needProps = m_needState = true;
        } else if (m_needDictReset) {
            return false;
        }
        m_unpacked = m_packed = ((uint32_t(m_header[0]) << 8) | m_header[1]) + 1;
    } else {
        unsigned reset = (m_control >> 5) & 3;
        m_unpacked = ((uint32_t(m_control & 0x1F) << 16) | (uint32_t(m_header[0]) << 8) | m_header[1]) + 1;
        m_packed = ((uint32_t(m_header[2]) << 8) | m_header[3]) + 1;
        if (reset == 3) {
            m_filled = m_processed = 0;
            m_needDictReset = false;
        } else if (m_needDictReset) {
            return false;
        }
        if (reset >= 2) {
            if (m_header[4] >= 9 * 5 * 5) return false;
            SetProperties(m_header[4]);
            if (m_lc + m_lp > 4) return false;
            m_needProps = false;
        } else if (m_needProps) {
            return false;
        }
        if (reset >= 1) ResetState();
        else if (m_needState) return false;
        if (m_packed < 5) return false;
    }
    // The ring wraps only here, so a chunk's output is always contiguous.
    if (m_pos + m_unpacked > m_ringSize) {
        m_wrapEnd = m_pos;
        m_pos = 0;
    }
    m_chunkHave = 0;
    return true;
}

// The range decoder, kept in locals: normalise, then decode one bit with
// probability *p. IF_BIT0 opens an if/else whose branches start with UPDATE_0 / UPDATE_1.
#define NORMALIZE \
    if (range < (1u << 24)) { \
        range <<= 8; \
        code = (code << 8) | *in++; \
    }
#define IF_BIT0(p) \
    ttt = *(p); \
    NORMALIZE; \
    bound = (range >> 11) * ttt; \
    if (code < bound)
#define UPDATE_0(p) \
    range = bound; \
    *(p) = uint16_t(ttt + ((2048 - ttt) >> 5));
#define UPDATE_1(p) \
    range -= bound; \
    code -= bound; \
    *(p) = uint16_t(ttt - (ttt >> 5));
#define TREE_BIT(probs, m) \
    { \
        IF_BIT0((probs) + (m)) { UPDATE_0((probs) + (m)); (m) <<= 1; } \
        else { UPDATE_1((probs) + (m)); (m) = ((m) << 1) + 1; } \
    }
#define REVERSE_BIT(probs, m, sym, i) \
    { \
        IF_BIT0((probs) + (m)) { UPDATE_0((probs) + (m)); (m) <<= 1; } \
        else { UPDATE_1((probs) + (m)); (m) = ((m) << 1) + 1; (sym) |= 1u << (i); } \
    }

bool CLzma2Decoder::DecodeLzmaChunk()
{
    const uint8_t* in = m_chunk.data();
    const uint8_t* const inEnd = in + m_packed;
    if (in[0] != 0) return false;
    uint32_t code = (uint32_t(in[1]) << 24) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 8) | in[4];
    uint32_t range = 0xFFFFFFFF;
    uint32_t ttt, bound;
    in += 5;

    uint8_t* const dict = m_ring.get();
    const uint32_t start = m_pos, end = m_pos + m_unpacked;
    const uint32_t wrapEnd = m_wrapEnd, filled = m_filled, dictSize = m_dictSize;
    uint32_t pos = start;
    uint16_t* const probs = m_probs.data();
    unsigned state = m_state;
    uint32_t rep0 = m_rep[0], rep1 = m_rep[1], rep2 = m_rep[2], rep3 = m_rep[3];
    uint32_t processed = m_processed;
    const uint32_t pbMask = (1u << m_pb) - 1, lpMask = (1u << m_lp) - 1;
    const unsigned lc = m_lc;

    while (pos < end) {
        if (in > inEnd) return false;
        const uint32_t posState = processed & pbMask;
        uint16_t* prob = probs + kIsMatch + (state << 4) + posState;
        IF_BIT0(prob) {
            UPDATE_0(prob);
            uint32_t prev = 0;
            if (filled + (pos - start) != 0) prev = pos ? dict[pos - 1] : dict[wrapEnd - 1];
            uint16_t* lit = probs + kLiteral + 0x300 * (((processed & lpMask) << lc) + (prev >> (8 - lc)));
            uint32_t symbol = 1;
            if (state < 7) {
                do TREE_BIT(lit, symbol) while (symbol < 0x100);
            } else {
                uint32_t at;
                if (!Behind(pos, rep0 + 1, wrapEnd, &at)) return false;
                uint32_t matchByte = dict[at];
                uint32_t offs = 0x100;
                do {
                    matchByte <<= 1;
                    uint32_t bit = offs;
                    offs &= matchByte;
                    uint16_t* p = lit + offs + bit + symbol;
                    IF_BIT0(p) {
                        UPDATE_0(p);
                        symbol <<= 1;
                        offs ^= bit;
                    } else {
                        UPDATE_1(p);
                        symbol = (symbol << 1) + 1;
                    }
                } while (symbol < 0x100);
            }
            dict[pos++] = uint8_t(symbol);
            ++processed;
            state = state < 4 ? 0 : (state < 10 ? state - 3 : state - 6);
            continue;
        }
        UPDATE_1(prob);

        const uint32_t history = filled + (pos - start);
        uint32_t len;
        uint16_t* lenCoder;
        prob = probs + kIsRep + state;
        IF_BIT0(prob) {
            UPDATE_0(prob);
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            state = state < 7 ? 7 : 10;
            lenCoder = probs + kLenCoder;
        } else {
            UPDATE_1(prob);
            prob = probs + kIsRepG0 + state;
            IF_BIT0(prob) {
                UPDATE_0(prob);
                prob = probs + kIsRep0Long + (state << 4) + posState;
                IF_BIT0(prob) {
                    UPDATE_0(prob);
                    // One byte from the latest distance.
                    uint32_t at;
                    if (rep0 >= history || !Behind(pos, rep0 + 1, wrapEnd, &at)) return false;
                    dict[pos] = dict[at];
                    ++pos;
                    ++processed;
                    state = state < 7 ? 9 : 11;
                    continue;
                }
                UPDATE_1(prob);
            } else {
                UPDATE_1(prob);
                uint32_t dist;
                prob = probs + kIsRepG1 + state;
                IF_BIT0(prob) {
                    UPDATE_0(prob);
                    dist = rep1;
                } else {
                    UPDATE_1(prob);
                    prob = probs + kIsRepG2 + state;
                    IF_BIT0(prob) {
                        UPDATE_0(prob);
                        dist = rep2;
                    } else {
                        UPDATE_1(prob);
                        dist = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = dist;
            }
            if (rep0 >= history) return false;
            state = state < 7 ? 8 : 11;
            lenCoder = probs + kRepLenCoder;
        }

        // Length: 0-7, 8-15 or 16-271 (plus the minimum of 2 below).
        {
            uint32_t m = 1;
            IF_BIT0(lenCoder) {
                UPDATE_0(lenCoder);
                uint16_t* low = lenCoder + kLenLow + (posState << 3);
                TREE_BIT(low, m);
                TREE_BIT(low, m);
                TREE_BIT(low, m);
                len = m - 8;
            } else {
                UPDATE_1(lenCoder);
                uint16_t* choice2 = lenCoder + kLenChoice2;
                IF_BIT0(choice2) {
                    UPDATE_0(choice2);
                    uint16_t* mid = lenCoder + kLenMid + (posState << 3);
                    TREE_BIT(mid, m);
                    TREE_BIT(mid, m);
                    TREE_BIT(mid, m);
                    len = m - 8 + 8;
                } else {
                    UPDATE_1(choice2);
                    uint16_t* high = lenCoder + kLenHigh;
                    do TREE_BIT(high, m) while (m < 0x100);
                    len = m - 0x100 + 16;
                }
            }
        }

        if (lenCoder == probs + kLenCoder) {
            uint16_t* slots = probs + kPosSlot + ((len < 3 ? len : 3) << 6);
            uint32_t slot = 1;
            do TREE_BIT(slots, slot) while (slot < 0x40);
            slot -= 0x40;
            if (slot < 4) {
                rep0 = slot;
            } else {
                unsigned directBits = (slot >> 1) - 1;
                uint32_t dist = (2 | (slot & 1)) << directBits;
                if (slot < 14) {
                    uint16_t* special = probs + kDistSpecial + dist - slot;
                    uint32_t m = 1, extra = 0;
                    for (unsigned i = 0; i < directBits; ++i) REVERSE_BIT(special, m, extra, i);
                    dist += extra;
                } else {
                    uint32_t direct = 0;
                    for (unsigned i = directBits - 4; i > 0; --i) {
                        NORMALIZE;
                        range >>= 1;
                        uint32_t t = 0 - ((code - range) >> 31);  // all ones when code < range
                        code -= range & ~t;
                        direct = (direct << 1) + (t + 1);
                    }
                    uint16_t* align = probs + kAlign;
                    uint32_t m = 1, low = 0;
                    REVERSE_BIT(align, m, low, 0);
                    REVERSE_BIT(align, m, low, 1);
                    REVERSE_BIT(align, m, low, 2);
                    REVERSE_BIT(align, m, low, 3);
                    dist += (direct << 4) + low;
                }
                rep0 = dist;
            }
            // The end marker (all ones) has no place inside an LZMA2 chunk.
            if (rep0 >= history || rep0 >= dictSize) return false;
        }

        len += 2;
        if (len > end - pos) return false;
        const uint32_t dist = rep0 + 1;
        processed += len;
        if (pos >= dist) {
            const uint8_t* src = dict + pos - dist;
            uint8_t* dst = dict + pos;
            pos += len;
            if (dist >= len && len >= 16) {
                std::memcpy(dst, src, len);
            } else {
                do *dst++ = *src++;
                while (--len);
            }
        } else {
            uint32_t src;
            if (!Behind(pos, dist, wrapEnd, &src)) return false;
            do {
                dict[pos++] = dict[src++];
                if (src == wrapEnd) src = 0;
            } while (--len);
        }
    }
    // The range decoder must end cleanly on the chunk's last byte, as
    // liblzma's does: a corrupt payload is an error, not a short success.
    NORMALIZE;
    if (code != 0 || in != inEnd) return false;

    m_state = state;
    m_rep[0] = rep0;
    m_rep[1] = rep1;
    m_rep[2] = rep2;
    m_rep[3] = rep3;
    m_processed = processed;
    return true;
}

CLzma2Decoder::Result CLzma2Decoder::Code(const uint8_t* in, size_t inSize, size_t* inUsed, uint8_t* out,
                                          size_t outSize, size_t* outUsed)
{
    size_t ip = 0, op = 0;
    Result result = kOk;
    for (;;) {
        if (m_pending > 0) {
            size_t n = outSize - op < m_pending ? outSize - op : m_pending;
            if (n == 0) break;  // out may be null when outSize is 0
            std::memcpy(out + op, m_ring.get() + m_pendingAt, n);
            op += n;
            m_pendingAt += static_cast<uint32_t>(n);
            m_pending -= static_cast<uint32_t>(n);
            if (m_pending > 0) break;
        }
        if (m_stage == kEnd) {
            result = kStreamEnd;
            break;
        }
        if (m_stage == kFailed) {
            result = kError;
            break;
        }
        if (ip == inSize) break;

        if (m_stage == kControl) {
            m_control = in[ip++];
            m_headerHave = 0;
            if (m_control == 0) {
                m_stage = kEnd;
                continue;
            }
            if (m_control == 1 || m_control == 2) m_headerNeed = 2;
            else if (m_control >= 0x80) m_headerNeed = ((m_control >> 5) & 3) >= 2 ? 5 : 4;
            else {
                m_stage = kFailed;
                continue;
            }
            m_stage = kHeader;
        } else if (m_stage == kHeader) {
            while (m_headerHave < m_headerNeed && ip < inSize) m_header[m_headerHave++] = in[ip++];
            if (m_headerHave == m_headerNeed) m_stage = StartChunk() ? kPacked : kFailed;
        } else if (m_stage == kPacked) {
            bool stored = m_control < 0x80;
            uint32_t want = m_packed - m_chunkHave;
            uint32_t take = inSize - ip < want ? static_cast<uint32_t>(inSize - ip) : want;
            uint8_t* target = stored ? m_ring.get() + m_pos : m_chunk.data();
            std::memcpy(target + m_chunkHave, in + ip, take);
            ip += take;
            m_chunkHave += take;
            if (m_chunkHave < m_packed) continue;
            if (!stored) {
                std::memset(m_chunk.data() + m_packed, 0, kPadding);
                if (!DecodeLzmaChunk()) {
                    m_stage = kFailed;
                    continue;
                }
            } else {
                m_processed += m_unpacked;
            }
            m_pendingAt = m_pos;
            m_pending = m_unpacked;
            m_pos += m_unpacked;
            m_filled = m_filled + m_unpacked > m_dictSize ? m_dictSize : m_filled + m_unpacked;
            m_stage = kControl;
        }
    }
    *inUsed = ip;
    *outUsed = op;
    return result;
}

} // namespace SevenZCore
