// Differential fuzz target: CLzma2Decoder against liblzma on the same raw
// LZMA2 stream. Input: [dictionary class] [odd bytes] [piece seed, 2 bytes]
// then the stream. Where liblzma decodes to the end, ours must give the same
// bytes and stop at the same place; where liblzma refuses or wants more
// input, ours must not report success. Whatever both put out must agree.
#include "FuzzSupport.h"

#include <lzma.h>

#include <algorithm>
#include <cstring>

namespace {

const size_t kCap = 8u << 20;  // a few bytes of LZMA2 can ask for gigabytes

struct Reference {
    Lzma2Fuzz::Outcome outcome;
    Lzma2Fuzz::Bytes out;
    size_t inUsed;
};

Reference DecodeWithLiblzma(const uint8_t* data, size_t size, uint32_t dictSize)
{
    Reference ref{Lzma2Fuzz::kIncomplete, {}, 0};
    static Lzma2Fuzz::Bytes buffer(kCap);  // filled once: a fresh 8 MB per run would dominate
    lzma_options_lzma options;
    std::memset(&options, 0, sizeof options);
    options.dict_size = dictSize;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream strm = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&strm, filters) != LZMA_OK) __builtin_trap();
    strm.next_in = data;
    strm.avail_in = size;
    strm.next_out = buffer.data();
    strm.avail_out = buffer.size();
    lzma_ret ret = lzma_code(&strm, LZMA_RUN);
    if (ret == LZMA_STREAM_END) ref.outcome = Lzma2Fuzz::kEnd;
    else if (ret == LZMA_OK && strm.avail_out == 0) ref.outcome = Lzma2Fuzz::kCapped;
    else if (ret == LZMA_OK) ref.outcome = Lzma2Fuzz::kIncomplete;
    else if (ret == LZMA_DATA_ERROR) ref.outcome = Lzma2Fuzz::kError;
    else __builtin_trap();  // memory or option trouble: the harness is wrong
    ref.out.assign(buffer.begin(), buffer.begin() + strm.total_out);
    ref.inUsed = strm.total_in;
    lzma_end(&strm);
    return ref;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    const uint32_t dictSize = Lzma2Fuzz::DictSize(data[0], data[1]);
    const uint16_t seed = uint16_t(data[2] | (data[3] << 8));
    data += 4;
    size -= 4;

    Reference ref = DecodeWithLiblzma(data, size, dictSize);
    Lzma2Fuzz::Run ours = Lzma2Fuzz::DecodeInPieces(data, size, dictSize, seed, kCap);

    const size_t common = std::min(ref.out.size(), ours.out.size());
    if (!std::equal(ref.out.begin(), ref.out.begin() + common, ours.out.begin())) __builtin_trap();
    switch (ref.outcome) {
    case Lzma2Fuzz::kEnd:
        if (ours.outcome != Lzma2Fuzz::kEnd || ours.out.size() != ref.out.size() || ours.inUsed != ref.inUsed)
            __builtin_trap();
        break;
    case Lzma2Fuzz::kError:
    case Lzma2Fuzz::kIncomplete:
        if (ours.outcome == Lzma2Fuzz::kEnd) __builtin_trap();
        break;
    case Lzma2Fuzz::kCapped:
        break;
    }
    return 0;
}
