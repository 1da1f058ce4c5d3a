// Round-trip fuzz target: liblzma encodes a fuzz-chosen plaintext with
// fuzz-chosen lc, lp, pb, dictionary size and preset; CLzma2Decoder must give
// the plaintext back, whatever pieces it is fed in.
// Input: [lc/lp] [pb/preset] [dictionary class] [odd bytes] [repeats]
// [noise KB] [piece seed, 2 bytes], then the text to repeat.
#include "FuzzSupport.h"

#include <lzma.h>

#include <cstring>

namespace {

const size_t kMaxPlain = 5u << 19;  // 2.5 MB: past one chunk's 2 MB, yet quick

// Copies of the text, each with one byte changed so matches must end, and
// incompressible noise in the middle so stored chunks show up too.
Lzma2Fuzz::Bytes Plaintext(const uint8_t* text, size_t size, uint8_t repeats, uint8_t noiseKb, uint16_t seed)
{
    Lzma2Fuzz::Bytes plain;
    // Mostly short; one header in four asks for more than one chunk's worth.
    static const unsigned kScale[4] = {0, 2, 4, 12};
    size_t copies = 1 + (repeats & 63) * (size_t(1) << kScale[repeats >> 6]);
    for (size_t k = 0; k < copies && plain.size() + size <= kMaxPlain; ++k) {
        plain.insert(plain.end(), text, text + size);
        if (size != 0 && k != 0) plain[plain.size() - size + k % size] ^= uint8_t(k);
        if (k == copies / 2) {
            uint32_t s = seed * 2246822519u + 7;
            for (size_t i = 0; i < size_t(noiseKb) * 1024 && plain.size() < kMaxPlain; ++i) {
                s = s * 1103515245u + 12345u;
                plain.push_back(uint8_t(s >> 24));
            }
        }
    }
    return plain;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8) return 0;
    lzma_options_lzma options;
    const uint8_t preset = (data[1] / 5) % 10;
    if (lzma_lzma_preset(&options, preset | (data[1] >= 200 ? LZMA_PRESET_EXTREME : 0))) __builtin_trap();
    options.lc = data[0] % 5;
    options.lp = (data[0] / 5) % 5;
    if (options.lc + options.lp > 4) options.lp = 4 - options.lc;  // LZMA2's limit
    options.pb = data[1] % 5;
    // Up to 3 MB: the encoder's match finder for anything larger costs
    // more per run than the rest of the round trip.
    options.dict_size = Lzma2Fuzz::DictSize(data[2], data[3], 20);
    if (options.dict_size < LZMA_DICT_SIZE_MIN) options.dict_size = LZMA_DICT_SIZE_MIN;
    const uint16_t seed = uint16_t(data[6] | (data[7] << 8));
    const Lzma2Fuzz::Bytes plain = Plaintext(data + 8, size - 8, data[4], data[5], seed);

    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&strm, filters) != LZMA_OK) __builtin_trap();
    Lzma2Fuzz::Bytes packed(plain.size() + plain.size() / 16 + 4096);
    strm.next_in = plain.data();
    strm.avail_in = plain.size();
    strm.next_out = packed.data();
    strm.avail_out = packed.size();
    if (lzma_code(&strm, LZMA_FINISH) != LZMA_STREAM_END) __builtin_trap();
    packed.resize(strm.total_out);
    lzma_end(&strm);

    Lzma2Fuzz::Run ours = Lzma2Fuzz::DecodeInPieces(packed.data(), packed.size(), options.dict_size, seed, SIZE_MAX);
    if (ours.outcome != Lzma2Fuzz::kEnd || ours.inUsed != packed.size() || ours.out != plain) __builtin_trap();
    return 0;
}
