#pragma once
// Shared by the LZMA2 fuzz targets: how an input's leading bytes choose the
// decoder's settings, and a decoder run fed in pieces those bytes choose.
#include "Lzma2Decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Lzma2Fuzz {

typedef std::vector<uint8_t> Bytes;

// Dictionary sizes from 4 KB to 48 MB in LZMA2's own 2^n / 3*2^n steps, plus
// up to 255 odd bytes; a class of 0xF0 or more gives a size below the minimum.
inline uint32_t DictSize(uint8_t sizeClass, uint8_t extra, unsigned classes = 28)
{
    if (sizeClass >= 0xF0) return extra;
    unsigned c = sizeClass % classes;
    return ((2u | (c & 1)) << (c / 2 + 11)) + extra;
}

// Piece sizes for input and output, from one byte to everything at once.
// A zero output piece stands for a call with no output buffer at all.
class Pieces {
public:
    Pieces(uint32_t seed, bool allowZero) : m_state(seed * 2654435761u + 1), m_allowZero(allowZero)
    {
        m_mode = Next32() % 4;
    }
    size_t Next(size_t left)
    {
        size_t n;
        uint32_t r = Next32();
        switch (m_mode) {
        case 0: n = 1; break;
        case 1: n = 1 + r % 16; break;
        case 2: n = 1 + r % (1u << (r % 17)); break;
        default: n = left; break;
        }
        if (m_allowZero && !m_lastZero && r % 7 == 0) n = 0;
        m_lastZero = n == 0;
        return n < left ? n : left;
    }

private:
    uint32_t Next32()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t m_state;
    unsigned m_mode;
    bool m_allowZero;
    bool m_lastZero = false;
};

enum Outcome { kEnd, kError, kIncomplete, kCapped };

struct Run {
    Outcome outcome = kIncomplete;
    Bytes out;
    size_t inUsed = 0;
};

// Decodes with the pieces two seeds choose; stops once cap bytes are out.
inline Run DecodeInPieces(const uint8_t* data, size_t size, uint32_t dictSize, uint16_t seed, size_t cap)
{
    Run run;
    SevenZCore::CLzma2Decoder decoder;
    if (!decoder.Init(dictSize)) __builtin_trap();  // every size the targets ask for fits
    Pieces inPieces(seed & 0xFF, false), outPieces(seed >> 8, true);
    std::vector<uint8_t> piece(1 << 16);
    for (;;) {
        size_t inSize = inPieces.Next(size - run.inUsed);
        size_t outSize = outPieces.Next(piece.size());
        size_t inUsed = 0, outUsed = 0;
        SevenZCore::CLzma2Decoder::Result result = decoder.Code(
            inSize ? data + run.inUsed : nullptr, inSize, &inUsed, outSize ? piece.data() : nullptr, outSize, &outUsed);
        if (inUsed > inSize || outUsed > outSize) __builtin_trap();
        run.inUsed += inUsed;
        run.out.insert(run.out.end(), piece.begin(), piece.begin() + outUsed);
        if (result == SevenZCore::CLzma2Decoder::kStreamEnd) {
            run.outcome = kEnd;
            return run;
        }
        if (result == SevenZCore::CLzma2Decoder::kError) {
            run.outcome = kError;
            return run;
        }
        if (run.out.size() >= cap) {
            run.outcome = kCapped;
            return run;
        }
        if (inUsed == 0 && outUsed == 0 && outSize != 0) {
            // With room for output and input on offer, no progress is a stall.
            if (inSize != 0) __builtin_trap();
            if (run.inUsed == size) return run;  // wants more input than there is
        }
    }
}

} // namespace Lzma2Fuzz
