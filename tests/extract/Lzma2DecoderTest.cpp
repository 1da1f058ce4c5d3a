// The LZMA2 decoder that stands in for liblzma's, against streams made by
// liblzma's own encoder: fed in odd pieces, through the liblzma entry points,
// and with damaged input.
#include "Lzma2Decoder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using SevenZCore::CLzma2Decoder;

// liblzma's own decoder, which the build renames so the shim can sit in front.
extern "C" {
lzma_ret real_lzma_raw_decoder(lzma_stream* strm, const lzma_filter* filters);
lzma_ret real_lzma_code(lzma_stream* strm, lzma_action action);
void real_lzma_end(lzma_stream* strm);
}

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

namespace {

// liblzma's verdict: true when it decodes the stream to its end marker.
bool ReferenceDecode(const Bytes& packed, uint32_t dictSize, Bytes* out)
{
    lzma_options_lzma options = {};
    options.dict_size = dictSize;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    EXPECT_EQ(LZMA_OK, real_lzma_raw_decoder(&strm, filters));
    out->assign(8 << 20, 0);
    strm.next_in = packed.data();
    strm.avail_in = packed.size();
    strm.next_out = out->data();
    strm.avail_out = out->size();
    lzma_ret ret = real_lzma_code(&strm, LZMA_RUN);
    out->resize(strm.total_out);
    real_lzma_end(&strm);
    return ret == LZMA_STREAM_END;
}

// Our decoder, offered everything at once.
CLzma2Decoder::Result DecodeAtOnce(CLzma2Decoder& decoder, const Bytes& packed, Bytes* out)
{
    out->assign(8 << 20, 0);
    size_t inUsed = 0, outUsed = 0;
    CLzma2Decoder::Result result = decoder.Code(packed.data(), packed.size(), &inUsed, out->data(), out->size(), &outUsed);
    out->resize(outUsed);
    return result;
}

// A raw LZMA2 stream, each piece ending its own chunk; open leaves off the
// end marker so another stream can follow.
Bytes EncodeChunks(const std::vector<Bytes>& pieces, uint32_t dictSize, bool open, const Bytes* presetDict = nullptr,
                   unsigned lc = 3, unsigned lp = 0, unsigned pb = 2)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = dictSize;
    options.lc = lc;
    options.lp = lp;
    options.pb = pb;
    if (presetDict) {
        options.preset_dict = presetDict->data();
        options.preset_dict_size = static_cast<uint32_t>(presetDict->size());
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    EXPECT_EQ(LZMA_OK, lzma_raw_encoder(&strm, filters));
    Bytes out(1 << 20);
    strm.next_out = out.data();
    strm.avail_out = out.size();
    for (size_t i = 0; i < pieces.size(); ++i) {
        strm.next_in = pieces[i].data();
        strm.avail_in = pieces[i].size();
        bool last = i + 1 == pieces.size();
        EXPECT_EQ(LZMA_STREAM_END, lzma_code(&strm, last ? LZMA_FINISH : LZMA_SYNC_FLUSH));
    }
    out.resize(strm.total_out);
    lzma_end(&strm);
    if (open) out.pop_back();
    return out;
}

// Text only, so it always packs into LZMA chunks.
Bytes Words(size_t size, unsigned seed)
{
    const char* words[] = {"frame ", "codec ", "视频 ", "qualité ", "1080 ", "render\n"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[rng() % 6];
        out.insert(out.end(), w, w + strlen(w));
    }
    out.resize(size);
    return out;
}

Bytes Noise(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out(size);
    for (uint8_t& b : out) b = uint8_t(rng());
    return out;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes ReadCase(const char* name)
{
    std::string bytes;
    std::wstring path = TestSupport::SourceFolder() + L"tests\\extract\\lzma2-cases\\" +
                        TestSupport::FromUtf8(name) + L".lzma2";
    EXPECT_TRUE(TestSupport::ReadFileBytes(path, &bytes)) << name;
    return Bytes(bytes.begin(), bytes.end());
}

// Where each LZMA chunk's packed bytes start, and how many there are.
struct LzmaChunk {
    size_t header, data, packed;
};
std::vector<LzmaChunk> LzmaChunks(const Bytes& stream)
{
    std::vector<LzmaChunk> chunks;
    size_t at = 0;
    while (at < stream.size() && stream[at] != 0) {
        uint8_t control = stream[at];
        if (control < 0x80) {
            at += 3 + ((stream[at + 1] << 8) | stream[at + 2]) + 1;
            continue;
        }
        size_t packed = ((stream[at + 3] << 8) | stream[at + 4]) + 1;
        size_t data = at + (control >= 0xC0 ? 6 : 5);
        chunks.push_back({at, data, packed});
        at = data + packed;
    }
    return chunks;
}

} // namespace

TEST(Lzma2Decoder, SharedCasesGetLiblzmasVerdict)
{
    // expected: the size liblzma decodes to, or 0 where it reports a data error.
    struct Case {
        const char* name;
        uint32_t dictSize;
        size_t expected;
    } cases[] = {
        // One byte too many inside the chunk, or the last packed byte changed.
        {"corrupt-extra_00", 4096, 0},
        {"corrupt-extra_55", 4096, 0},
        {"corrupt-extra_ff", 4096, 0},
        {"corrupt-lastxor_01", 4096, 0},
        {"corrupt-lastxor_02", 4096, 0},
        {"corrupt-lastxor_10", 4096, 0},
        {"corrupt-fuzzer_min_accepts_invalid", 4096, 0},
        {"corrupt-fuzzer_min_accepts_partial", 4096, 0},
        // A declared 4100 reaches as far as 4112, as liblzma rounds it up.
        {"dict4100-control_dist4100_ok", 4100, 4300},
        {"dict4100-dictround_4101", 4100, 4301},
        {"dict4100-dictround_4108", 4100, 4308},
        {"dict4100-dictround_4112", 4100, 4312},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes packed = ReadCase(c.name), reference, out;
        bool ends = ReferenceDecode(packed, c.dictSize, &reference);
        ASSERT_EQ(c.expected != 0, ends);
        if (ends) {
            ASSERT_EQ(c.expected, reference.size());
        }

        CLzma2Decoder decoder;
        ASSERT_TRUE(decoder.Init(c.dictSize));
        CLzma2Decoder::Result atOnce = DecodeAtOnce(decoder, packed, &out);
        EXPECT_EQ(ends ? CLzma2Decoder::kStreamEnd : CLzma2Decoder::kError, atOnce);
        if (ends) {
            EXPECT_TRUE(out == reference);
        }
        for (unsigned seed = 1; seed <= 3; ++seed) {
            CLzma2Decoder::Result inPieces = DecodeInPieces(packed, c.dictSize, &out, seed);
            EXPECT_EQ(atOnce, inPieces) << "seed " << seed;
            if (ends) {
                EXPECT_TRUE(out == reference) << "seed " << seed;
            }
        }
    }
    // A 4096 dictionary stays 4096: the 4112 match is out of its reach.
    CLzma2Decoder strict;
    Bytes out;
    ASSERT_TRUE(strict.Init(4096));
    EXPECT_EQ(CLzma2Decoder::kError, DecodeAtOnce(strict, ReadCase("dict4100-dictround_4112"), &out));
}

TEST(Lzma2Decoder, DamagedChunkEndsGetLiblzmasVerdict)
{
    // Three LZMA chunks, the last after a stored one.
    Bytes text = Words(6000, 5), noise = Noise(1000, 6);
    const Bytes packed = EncodeChunks({Bytes(text.begin(), text.begin() + 3000), Bytes(text.begin() + 3000, text.end()), noise,
                                       Bytes(text.begin() + 1000, text.begin() + 2500)},
                                      1 << 16, false);
    const std::vector<LzmaChunk> chunks = LzmaChunks(packed);
    ASSERT_EQ(3u, chunks.size());

    std::vector<Bytes> damaged;
    for (const LzmaChunk& c : chunks) {
        const size_t end = c.data + c.packed;
        for (size_t at = end - 4; at < end; ++at)
            for (uint8_t x : {0x01, 0x10, 0x80, 0xFF}) {
                damaged.push_back(packed);
                damaged.back()[at] ^= x;
            }
        // One byte more or one less than the range decoder uses.
        for (uint8_t extra : {0x00, 0x55, 0xFF}) {
            Bytes longer = packed;
            longer.insert(longer.begin() + end, extra);
            size_t size = c.packed;  // the field holds size - 1
            longer[c.header + 3] = uint8_t(size >> 8);
            longer[c.header + 4] = uint8_t(size);
            damaged.push_back(longer);
        }
        Bytes shorter = packed;
        shorter.erase(shorter.begin() + end - 1);
        shorter[c.header + 3] = uint8_t((c.packed - 2) >> 8);
        shorter[c.header + 4] = uint8_t(c.packed - 2);
        damaged.push_back(shorter);
    }
    int refused = 0;
    for (size_t i = 0; i < damaged.size(); ++i) {
        Bytes reference, out;
        bool ends = ReferenceDecode(damaged[i], 1 << 16, &reference);
        refused += !ends;
        CLzma2Decoder decoder;
        ASSERT_TRUE(decoder.Init(1 << 16));
        CLzma2Decoder::Result result = DecodeInPieces(damaged[i], 1 << 16, &out, unsigned(i));
        EXPECT_EQ(ends, result == CLzma2Decoder::kStreamEnd) << "case " << i;
        if (ends) {
            EXPECT_TRUE(out == reference) << "case " << i;
        }
    }
    EXPECT_GT(refused, int(damaged.size()) * 3 / 4);  // the cases do damage what matters
}

TEST(Lzma2Decoder, StreamsJoinedByResetsDecodeAsLiblzmaDoes)
{
    // 1001 bytes before each reset: the position contexts restart with the dictionary.
    Bytes a = Words(1001, 7), b = Words(5000, 8), noise = Noise(700, 9);
    struct Join {
        const char* name;
        Bytes packed, plain;
    } joins[] = {
        {"dictionary reset", Cat(EncodeChunks({a}, 4096, true), EncodeChunks({b}, 4096, false, nullptr, 2, 2, 2)),
         Cat(a, b)},
        {"stored chunk with dictionary reset", Cat(Cat(EncodeChunks({a}, 4096, true), EncodeChunks({noise}, 4096, true)),
                                                    EncodeChunks({b}, 4096, false)),
         Cat(Cat(a, noise), b)},
        // New properties, same dictionary: the second half continues the first's history.
        {"properties reset",
         Cat(EncodeChunks({a}, 4096, true), EncodeChunks({Bytes(a.begin() + 10, a.end())}, 4096, false, &a, 0, 1, 3)),
         Cat(a, Bytes(a.begin() + 10, a.end()))},
    };
    for (const Join& j : joins) {
        SCOPED_TRACE(j.name);
        Bytes reference, out;
        ASSERT_TRUE(ReferenceDecode(j.packed, 4096, &reference));
        ASSERT_TRUE(reference == j.plain);
        EXPECT_EQ(CLzma2Decoder::kStreamEnd, DecodeInPieces(j.packed, 4096, &out, 10));
        EXPECT_TRUE(out == j.plain);
    }
}

TEST(Lzma2Decoder, HistoryBeforeAResetIsOutOfReach)
{
    // The second half of a stream, its first chunk relabelled as starting a
    // fresh dictionary: its matches reach into history it no longer has. The
    // ring is never cleared, so that history still sits in it, right behind
    // in mid-stream and from the last decode when the decoder is reused.
    Bytes a = Words(20000, 11);
    Bytes head = EncodeChunks({a}, 1 << 16, true);
    Bytes tail = EncodeChunks({Bytes(a.begin() + 5000, a.begin() + 15000)}, 1 << 16, false, &a);
    ASSERT_EQ(0xC0, tail[0] & 0xE0);
    Bytes out, reference;
    CLzma2Decoder decoder;
    ASSERT_TRUE(decoder.Init(1 << 16));
    ASSERT_EQ(CLzma2Decoder::kStreamEnd, DecodeAtOnce(decoder, Cat(head, tail), &out));
    tail[0] |= 0xE0;

    EXPECT_FALSE(ReferenceDecode(Cat(head, tail), 1 << 16, &reference));
    ASSERT_TRUE(decoder.Init(1 << 16));
    EXPECT_EQ(CLzma2Decoder::kError, DecodeAtOnce(decoder, Cat(head, tail), &out));
    EXPECT_TRUE(out == a);  // the first stream, nothing of the second

    EXPECT_FALSE(ReferenceDecode(tail, 1 << 16, &reference));
    ASSERT_TRUE(decoder.Init(1 << 16));
    EXPECT_EQ(CLzma2Decoder::kError, DecodeAtOnce(decoder, tail, &out));
    EXPECT_TRUE(out.empty());

    // A valid stream after that decodes in full on the same decoder.
    ASSERT_TRUE(decoder.Init(1 << 16));
    EXPECT_EQ(CLzma2Decoder::kStreamEnd, DecodeAtOnce(decoder, Cat(head, Bytes{0}), &out));
    EXPECT_TRUE(out == a);
}

TEST(Lzma2Decoder, CallWithoutOutputBufferLeavesOutputPending)
{
    Bytes data = Words(100000, 12);
    Bytes packed = EncodeChunks({data}, 1 << 16, false);
    CLzma2Decoder decoder;
    ASSERT_TRUE(decoder.Init(1 << 16));
    size_t inUsed = 0, outUsed = 0;
    EXPECT_EQ(CLzma2Decoder::kOk, decoder.Code(packed.data(), packed.size(), &inUsed, nullptr, 0, &outUsed));
    EXPECT_EQ(0u, outUsed);
    EXPECT_EQ(packed.size() - 1, inUsed);  // the whole chunk, not the end marker behind it
    EXPECT_EQ(CLzma2Decoder::kOk, decoder.Code(nullptr, 0, &inUsed, nullptr, 0, &outUsed));
    Bytes out(data.size());
    size_t more = 0;
    EXPECT_EQ(CLzma2Decoder::kStreamEnd,
              decoder.Code(packed.data() + packed.size() - 1, 1, &inUsed, out.data(), out.size(), &more));
    EXPECT_TRUE(out == data);
}
