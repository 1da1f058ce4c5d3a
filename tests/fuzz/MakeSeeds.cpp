// Writes the seed corpus of the LZMA2 fuzz targets (kept in the repository;
// rerun only to change it): streams of every chunk kind, lc/lp/pb and
// dictionary variations, each checked against liblzma before it is written.
//   clang++ -std=c++17 -I7zCore tests/fuzz/MakeSeeds.cpp -llzma -o /tmp/make-seeds
//   /tmp/make-seeds tests/fuzz/corpus tests/extract/lzma2-cases
#include <lzma.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "make-seeds: %s\n", what.c_str());
    std::exit(1);
}

Bytes Text(size_t size, unsigned seed)
{
    const char* words[] = {"frame ", "codec ", "视频 ", "qualité ", "1080 ", "render\n"};
    Bytes out;
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        const char* w = words[(seed >> 16) % 6];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(size);
    return out;
}

// Over 2 MB from a few hundred packed bytes.
Bytes Repeat(const Bytes& block, size_t times)
{
    Bytes out;
    for (size_t i = 0; i < times; ++i) out.insert(out.end(), block.begin(), block.end());
    return out;
}

Bytes Noise(size_t size, unsigned seed)
{
    Bytes out(size);
    for (auto& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 24);
    }
    return out;
}

struct Piece {
    Bytes data;
    bool flushAfter;  // end the chunk here (LZMA_SYNC_FLUSH)
};

// A raw LZMA2 stream of the pieces; without the end marker when open is set,
// so another stream can follow. presetDict continues an earlier stream's history.
Bytes Encode(const std::vector<Piece>& pieces, unsigned lc, unsigned lp, unsigned pb, uint32_t dictSize,
             bool open = false, const Bytes* presetDict = nullptr)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.lc = lc;
    options.lp = lp;
    options.pb = pb;
    options.dict_size = dictSize;
    if (presetDict) {
        options.preset_dict = presetDict->data();
        options.preset_dict_size = uint32_t(presetDict->size());
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&strm, filters) != LZMA_OK) Fail("encoder options");
    Bytes out(64 << 20);
    strm.next_out = out.data();
    strm.avail_out = out.size();
    for (size_t i = 0; i < pieces.size(); ++i) {
        strm.next_in = pieces[i].data.data();
        strm.avail_in = pieces[i].data.size();
        bool last = i + 1 == pieces.size();
        lzma_action action = last ? LZMA_FINISH : pieces[i].flushAfter ? LZMA_SYNC_FLUSH : LZMA_RUN;
        lzma_ret ret;
        do ret = lzma_code(&strm, action);
        while (ret == LZMA_OK && (strm.avail_in != 0 || action != LZMA_RUN));
        if (ret != (last ? LZMA_STREAM_END : LZMA_OK) && !(ret == LZMA_STREAM_END && action == LZMA_SYNC_FLUSH))
            Fail("encoding");
    }
    out.resize(strm.total_out);
    lzma_end(&strm);
    if (open) out.pop_back();  // the end marker
    return out;
}

Bytes Join(const std::vector<Piece>& pieces)
{
    Bytes all;
    for (const Piece& p : pieces) all.insert(all.end(), p.data.begin(), p.data.end());
    return all;
}

// liblzma must decode the stream to its end, to expected when given.
void Check(const Bytes& stream, uint32_t dictSize, const Bytes* expected, const std::string& name)
{
    lzma_options_lzma options = {};
    options.dict_size = dictSize;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&strm, filters) != LZMA_OK) Fail("decoder options");
    Bytes out(64 << 20);
    strm.next_in = stream.data();
    strm.avail_in = stream.size();
    strm.next_out = out.data();
    strm.avail_out = out.size();
    lzma_ret ret = lzma_code(&strm, LZMA_RUN);
    out.resize(strm.total_out);
    lzma_end(&strm);
    if (ret != LZMA_STREAM_END) Fail(name + ": liblzma does not decode it");
    if (expected && out != *expected) Fail(name + ": liblzma decodes it to something else");
}

void Write(const std::string& path, const Bytes& header, const Bytes& body)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) Fail("cannot write " + path);
    std::fwrite(header.data(), 1, header.size(), f);
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);
}

Bytes Read(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) Fail("cannot read " + path);
    Bytes out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

// The differential target's header: dictionary class and odd bytes, piece seed.
Bytes DiffHeader(uint8_t sizeClass, uint8_t extra, uint16_t seed)
{
    return {sizeClass, extra, uint8_t(seed), uint8_t(seed >> 8)};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) Fail("usage: make-seeds <corpus folder> <shared cases folder>");
    const std::string diff = std::string(argv[1]) + "/diff/", trip = std::string(argv[1]) + "/roundtrip/";
    const std::string cases = std::string(argv[2]) + "/";

    struct Seed {
        const char* name;
        std::vector<Piece> pieces;
        unsigned lc, lp, pb;
        uint32_t dictSize;
        Bytes header;
    };
    const Bytes text = Text(3000, 1), noise = Noise(700, 2);
    std::vector<Seed> seeds = {
        {"lzma-one-chunk", {{text, false}}, 3, 0, 2, 4096, DiffHeader(0, 0, 0x0102)},
        {"stored-only", {{noise, false}}, 3, 0, 2, 4096, DiffHeader(0, 0, 0x0300)},
        // LZMA, flush, stored, LZMA with a state reset, LZMA with none.
        {"mixed-chunks", {{text, true}, {noise, true}, {Text(500, 3), true}, {text, false}}, 3, 0, 2, 65536,
         DiffHeader(10, 0, 0x0201)},
        // Over 2 MB of output: several LZMA chunks in a row without resets.
        {"long-run", {{Repeat(Text(3000, 4), 1800), false}}, 3, 0, 2, 1u << 20, DiffHeader(18, 0, 0x0303)},
        {"lc0-lp0-pb0", {{text, false}}, 0, 0, 0, 4096, DiffHeader(0, 0, 0x0001)},
        {"lc4-lp0-pb4", {{text, false}}, 4, 0, 4, 8192, DiffHeader(2, 0, 0x0100)},
        {"lc0-lp4-pb1", {{text, false}}, 0, 4, 1, 4096, DiffHeader(0, 0, 0x0202)},
        {"lc1-lp3-pb3", {{text, true}, {text, false}}, 1, 3, 3, 4096, DiffHeader(0, 0, 0x0000)},
        {"lc2-lp2-pb0", {{text, false}}, 2, 2, 0, 4096, DiffHeader(0, 0, 0x0103)},
        // Dictionary sizes: below the minimum, odd, and up to 48 MB.
        {"dict-below-min", {{text, false}}, 3, 0, 2, 4096, DiffHeader(0xF0, 100, 0x0101)},
        {"dict-odd-4100", {{Text(9000, 5), false}}, 3, 0, 2, 4100, DiffHeader(0, 4, 0x0302)},
        {"dict-odd-1m", {{Text(40000, 6), false}}, 3, 0, 2, (1u << 20) + 5, DiffHeader(18, 5, 0x0203)},
        {"dict-48m", {{Text(20000, 7), false}}, 3, 0, 2, 3u << 24, DiffHeader(27, 255, 0x0001)},
    };
    for (const Seed& s : seeds) {
        Bytes stream = Encode(s.pieces, s.lc, s.lp, s.pb, s.dictSize);
        Bytes plain = Join(s.pieces);
        Check(stream, s.dictSize, &plain, s.name);
        Write(diff + s.name, s.header, stream);
    }

    // Two streams back to back: a dictionary reset in mid-stream, after an
    // odd number of bytes so the position contexts must restart too.
    {
        Bytes a = Text(1001, 8), b = Text(2000, 9);
        Bytes stream = Encode({{a, false}}, 3, 0, 2, 4096, true);
        Bytes second = Encode({{b, false}}, 0, 2, 2, 4096);
        stream.insert(stream.end(), second.begin(), second.end());
        Bytes plain = a;
        plain.insert(plain.end(), b.begin(), b.end());
        Check(stream, 4096, &plain, "dict-reset-midstream");
        Write(diff + "dict-reset-midstream", DiffHeader(0, 0, 0x0201), stream);

        // The same with a stored chunk that resets the dictionary.
        stream = Encode({{a, false}}, 3, 0, 2, 4096, true);
        second = Encode({{noise, false}}, 3, 0, 2, 4096);
        stream.insert(stream.end(), second.begin(), second.end());
        plain = a;
        plain.insert(plain.end(), noise.begin(), noise.end());
        Check(stream, 4096, &plain, "stored-reset-midstream");
        Write(diff + "stored-reset-midstream", DiffHeader(0, 0, 0x0102), stream);

        // New properties without a dictionary reset: the second stream
        // continues the first one's history through a preset dictionary.
        stream = Encode({{a, false}}, 3, 0, 2, 4096, true);
        Bytes c = a;
        c.insert(c.end(), a.begin() + 100, a.begin() + 900);
        Bytes tail(c.begin() + a.size(), c.end());
        second = Encode({{tail, false}}, 1, 1, 0, 4096, false, &a);
        if (second.empty() || (second[0] & 0xE0) != 0xC0) Fail("the preset dictionary did not give a properties reset");
        stream.insert(stream.end(), second.begin(), second.end());
        Check(stream, 4096, &c, "props-reset-midstream");
        Write(diff + "props-reset-midstream", DiffHeader(0, 0, 0x0300), stream);
    }

    // The shared cases, each under its declared dictionary.
    const char* shared[] = {"corrupt-extra_00", "corrupt-extra_55", "corrupt-extra_ff",
                            "corrupt-fuzzer_min_accepts_invalid", "corrupt-fuzzer_min_accepts_partial",
                            "corrupt-lastxor_01", "corrupt-lastxor_02", "corrupt-lastxor_10",
                            "dict4100-control_dist4100_ok", "dict4100-dictround_4101", "dict4100-dictround_4108",
                            "dict4100-dictround_4112"};
    for (const char* name : shared) {
        Bytes stream = Read(cases + name + ".lzma2");
        bool dict4100 = std::strncmp(name, "dict4100", 8) == 0;
        if (dict4100) Check(stream, 4100, nullptr, name);
        Write(diff + "case-" + name, DiffHeader(0, dict4100 ? 4 : 0, 0x0000), stream);
        Write(diff + "case-" + name + "-bytewise", DiffHeader(0, dict4100 ? 4 : 0, 0x0200), stream);
    }

    // Round trip: [lc/lp] [pb/preset] [dictionary class] [odd bytes] [repeats] [noise KB] [seed, 2 bytes] text.
    struct Trip {
        const char* name;
        Bytes header;
        Bytes text;
    };
    std::vector<Trip> trips = {
        {"text-default", {3, 2 + 6 * 5, 0, 0, 0, 0, 1, 0}, Text(2000, 10)},
        {"one-byte-long-run", {3, 2 + 1 * 5, 18, 0, 0xFF, 0, 2, 1}, {'a'}},
        {"repeats-and-noise", {0, 0 + 3 * 5, 10, 7, 40, 90, 3, 2}, Text(900, 11)},
        {"lp4-pb4-odd-dict", {4 * 5, 4 + 9 * 5, 1, 13, 20, 1, 4, 3}, Text(1500, 12)},
        {"lc4-extreme", {4, 200, 22, 255, 0x45, 2, 5, 0}, Text(3000, 13)},
        {"over-one-chunk", {1 + 5, 3 + 0 * 5, 12, 0, 0x7F, 0, 6, 1}, Text(1000, 14)},
    };
    for (const Trip& t : trips) Write(trip + t.name, t.header, t.text);
    std::printf("make-seeds: %zu differential and %zu round-trip seeds\n", seeds.size() + 3 + 2 * 12, trips.size());
    return 0;
}
