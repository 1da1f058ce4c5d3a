// The LZMA2 decoder that stands in for liblzma's, against streams made by
// liblzma's own encoder: fed in odd pieces, through the liblzma entry points,
// and with damaged input.
#include "Lzma2Decoder.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <random>
#include <string>
#include <vector>

using SevenZCore::CLzma2Decoder;

namespace {

typedef std::vector<uint8_t> Bytes;

// Text, noise and long repeats, so every kind of chunk and match shows up.
Bytes SampleData(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes data;
    const char* words[] = {"alpha ", "beta ", "视频 ", "gamma\n", "delta ", "qualité "};
    while (data.size() < size) {
        switch (rng() % 4) {
        case 0:
            for (int i = 0; i < 2000; ++i) {
                const char* w = words[rng() % 6];
                data.insert(data.end(), w, w + strlen(w));
            }
            break;
        case 1:
            for (int i = 0; i < 30000; ++i) data.push_back(uint8_t(rng()));
            break;
        case 2:
            if (data.size() > 5000) {
                size_t from = rng() % (data.size() - 4000);
                Bytes copy(data.begin() + from, data.begin() + from + 4000);
                data.insert(data.end(), copy.begin(), copy.end());
            }
            break;
        default:
            data.insert(data.end(), 1000 + rng() % 5000, uint8_t(rng()));
        }
    }
    data.resize(size);
    return data;
}

Bytes Encode(const Bytes& data, uint32_t dictSize, bool x86)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = dictSize;
    lzma_filter filters[3] = {{LZMA_FILTER_X86, nullptr}, {LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    EXPECT_EQ(LZMA_OK, lzma_raw_encoder(&strm, x86 ? filters : filters + 1));
    Bytes out(data.size() + data.size() / 2 + 4096);
    strm.next_in = data.data();
    strm.avail_in = data.size();
    strm.next_out = out.data();
    strm.avail_out = out.size();
    EXPECT_EQ(LZMA_STREAM_END, lzma_code(&strm, LZMA_FINISH));
    out.resize(strm.total_out);
    lzma_end(&strm);
    return out;
}

// Decodes with input and output offered in random small pieces.
CLzma2Decoder::Result DecodeInPieces(const Bytes& packed, uint32_t dictSize, Bytes* out, unsigned seed)
{
    CLzma2Decoder decoder;
    if (!decoder.Init(dictSize)) return CLzma2Decoder::kError;
    std::mt19937 rng(seed);
    size_t inAt = 0;
    out->clear();
    for (int idle = 0; idle < 3;) {
        size_t inSize = std::min<size_t>(packed.size() - inAt, 1 + rng() % 5000);
        uint8_t piece[70000];
        size_t outSize = 1 + rng() % sizeof(piece);
        size_t inUsed = 0, outUsed = 0;
        CLzma2Decoder::Result result = decoder.Code(packed.data() + inAt, inSize, &inUsed, piece, outSize, &outUsed);
        inAt += inUsed;
        out->insert(out->end(), piece, piece + outUsed);
        if (result != CLzma2Decoder::kOk) return result;
        idle = (inUsed == 0 && outUsed == 0) ? idle + 1 : 0;
    }
    return CLzma2Decoder::kOk;
}

Bytes DecodeWithLiblzmaApi(const Bytes& packed, uint32_t dictSize, bool x86, lzma_ret* last)
{
    lzma_options_lzma options = {};
    options.dict_size = dictSize;
    lzma_filter filters[3] = {{LZMA_FILTER_X86, nullptr}, {LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    EXPECT_EQ(LZMA_OK, lzma_raw_decoder(&strm, x86 ? filters : filters + 1));
    Bytes out(8 << 20);
    strm.next_in = packed.data();
    strm.avail_in = packed.size();
    strm.next_out = out.data();
    strm.avail_out = out.size();
    do *last = lzma_code(&strm, LZMA_RUN);
    while (*last == LZMA_OK);
    out.resize(strm.total_out);
    lzma_end(&strm);
    return out;
}

} // namespace

TEST(Lzma2Decoder, DecodesInAnyPiecesAcrossManyRingWraps)
{
    // A 64 KB dictionary makes the ring wrap every ~2 MB of output.
    Bytes data = SampleData(7 << 20, 1);
    Bytes packed = Encode(data, 1 << 16, false);
    for (unsigned seed = 1; seed <= 3; ++seed) {
        Bytes out;
        ASSERT_EQ(CLzma2Decoder::kStreamEnd, DecodeInPieces(packed, 1 << 16, &out, seed));
        ASSERT_EQ(data.size(), out.size());
        EXPECT_TRUE(data == out) << "seed " << seed;
    }
}

TEST(Lzma2Decoder, LiblzmaEntryPointsUseItForPlainLzma2AndLiblzmaForTheRest)
{
    Bytes data = SampleData(3 << 20, 2);
    for (bool x86 : {false, true}) {
        lzma_ret last = LZMA_OK;
        Bytes out = DecodeWithLiblzmaApi(Encode(data, 1 << 20, x86), 1 << 20, x86, &last);
        EXPECT_EQ(LZMA_STREAM_END, last) << "x86 " << x86;
        EXPECT_TRUE(data == out) << "x86 " << x86;
    }
}

TEST(Lzma2Decoder, DamagedOrCutStreamsFailCleanly)
{
    Bytes data = SampleData(1 << 20, 3);
    Bytes packed = Encode(data, 1 << 16, false);
    std::mt19937 rng(4);
    int failures = 0;
    for (int round = 0; round < 300; ++round) {
        Bytes broken = packed;
        for (int i = 0; i < 1 + round % 4; ++i) broken[rng() % broken.size()] ^= uint8_t(1 + rng() % 255);
        Bytes out;
        CLzma2Decoder::Result result = DecodeInPieces(broken, 1 << 16, &out, round);
        if (result != CLzma2Decoder::kStreamEnd || out != data) ++failures;
    }
    EXPECT_GT(failures, 250);  // no crash above all; nearly every damaged stream is noticed here or by the CRC

    // A dictionary size no 32-bit process can hold is refused, not wrapped around.
    CLzma2Decoder huge;
    EXPECT_FALSE(huge.Init(0xFFFFFFFFu));

    lzma_ret last = LZMA_OK;
    Bytes cut(packed.begin(), packed.begin() + packed.size() / 2);
    Bytes out = DecodeWithLiblzmaApi(cut, 1 << 16, false, &last);
    EXPECT_EQ(LZMA_BUF_ERROR, last);
    EXPECT_LT(out.size(), data.size());
}
