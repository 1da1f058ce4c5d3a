// liblzma's raw decoder entry points, as libarchive calls them. A plain LZMA2
// chain (what 7-Zip writes for most payloads) goes to CLzma2Decoder, which is
// markedly faster on 32-bit x86; every other chain (LZMA, or LZMA2 behind a
// branch filter) goes on to liblzma itself, whose own entry points the build
// renames to real_lzma_*.
#include "Lzma2Decoder.h"

#include <lzma.h>

#include <new>

extern "C" {
lzma_ret real_lzma_raw_decoder(lzma_stream* strm, const lzma_filter* filters);
lzma_ret real_lzma_code(lzma_stream* strm, lzma_action action);
void real_lzma_end(lzma_stream* strm);
}

namespace {

// A stream of ours carries this marker in reserved_ptr1 and its state in
// reserved_ptr2; liblzma requires both to be null on its own streams.
char g_marker;

struct ShimStream {
    SevenZCore::CLzma2Decoder decoder;
    int idleCalls = 0;
};

ShimStream* Ours(lzma_stream* strm)
{
    return strm->reserved_ptr1 == &g_marker ? static_cast<ShimStream*>(strm->reserved_ptr2) : nullptr;
}

void ReleaseOurs(lzma_stream* strm)
{
    delete Ours(strm);
    strm->reserved_ptr1 = nullptr;
    strm->reserved_ptr2 = nullptr;
}

} // namespace

extern "C" lzma_ret lzma_raw_decoder(lzma_stream* strm, const lzma_filter* filters) noexcept
{
    if (strm == nullptr || filters == nullptr) return LZMA_PROG_ERROR;
    ReleaseOurs(strm);
    if (filters[0].id != LZMA_FILTER_LZMA2 || filters[0].options == nullptr || filters[1].id != LZMA_VLI_UNKNOWN)
        return real_lzma_raw_decoder(strm, filters);
    real_lzma_end(strm);  // a decoder liblzma made earlier on this stream
    ShimStream* ours = new (std::nothrow) ShimStream;
    if (ours == nullptr || !ours->decoder.Init(static_cast<const lzma_options_lzma*>(filters[0].options)->dict_size)) {
        delete ours;
        return LZMA_MEM_ERROR;
    }
    strm->reserved_ptr1 = &g_marker;
    strm->reserved_ptr2 = ours;
    strm->total_in = strm->total_out = 0;
    return LZMA_OK;
}

extern "C" lzma_ret lzma_code(lzma_stream* strm, lzma_action action) noexcept
{
    ShimStream* ours = Ours(strm);
    if (ours == nullptr) return real_lzma_code(strm, action);
    if ((strm->next_in == nullptr && strm->avail_in != 0) || (strm->next_out == nullptr && strm->avail_out != 0))
        return LZMA_PROG_ERROR;
    size_t inUsed = 0, outUsed = 0;
    SevenZCore::CLzma2Decoder::Result result =
        ours->decoder.Code(strm->next_in, strm->avail_in, &inUsed, strm->next_out, strm->avail_out, &outUsed);
    strm->next_in += inUsed;
    strm->avail_in -= inUsed;
    strm->total_in += inUsed;
    strm->next_out += outUsed;
    strm->avail_out -= outUsed;
    strm->total_out += outUsed;
    if (result == SevenZCore::CLzma2Decoder::kStreamEnd) return LZMA_STREAM_END;
    if (result == SevenZCore::CLzma2Decoder::kError) return LZMA_DATA_ERROR;
    // As liblzma does: a second call in a row that can make no progress is an error.
    if (inUsed == 0 && outUsed == 0) return ++ours->idleCalls >= 2 ? LZMA_BUF_ERROR : LZMA_OK;
    ours->idleCalls = 0;
    return LZMA_OK;
}

extern "C" void lzma_end(lzma_stream* strm) noexcept
{
    if (strm == nullptr) return;
    if (Ours(strm) != nullptr) ReleaseOurs(strm);
    else real_lzma_end(strm);
}
