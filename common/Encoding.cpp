#include "common/Encoding.h"

#include <openssl/bio.h>
#include <openssl/buffer.h>
#include <openssl/evp.h>

#include <limits.h>

namespace {

// A Base64 filter (no line breaks) pushed on a memory end, freed as one chain.
// head is null when either part could not be made.
struct BioChain {
    BIO* head;
    explicit BioChain(BIO* end) : head(nullptr)
    {
        BIO* filter = BIO_new(BIO_f_base64());
        if (end == nullptr || filter == nullptr) {
            BIO_free(end);
            BIO_free(filter);
            return;
        }
        BIO_set_flags(filter, BIO_FLAGS_BASE64_NO_NL);
        head = BIO_push(filter, end);
    }
    ~BioChain() { if (head != nullptr) BIO_free_all(head); }
    BioChain(const BioChain&) = delete;
    BioChain& operator=(const BioChain&) = delete;
};

} // namespace

bool Base64Decode(const std::string& text, std::string* bytes)
{
    if (bytes == nullptr || text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return false;
    BioChain chain(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (chain.head == nullptr) return false;
    // Decoded data is never longer than the text.
    std::string out(text.size(), '\0');
    int total = 0;
    for (;;) {
        int n = BIO_read(chain.head, &out[total], static_cast<int>(out.size()) - total);
        if (n <= 0) break;
        total += n;
        if (total >= static_cast<int>(out.size())) break;
    }
    if (total <= 0) return false;
    out.resize(total);
    bytes->swap(out);
    return true;
}

bool Base64Encode(const std::string& bytes, std::string* text)
{
    if (text == nullptr || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
    BIO* sink = BIO_new(BIO_s_mem());
    BioChain chain(sink);
    if (chain.head == nullptr) return false;
    int size = static_cast<int>(bytes.size());
    if (size > 0 && BIO_write(chain.head, bytes.data(), size) != size) return false;
    if (BIO_flush(chain.head) != 1) return false;
    BUF_MEM* memory = nullptr;
    BIO_get_mem_ptr(sink, &memory);
    if (memory == nullptr) return false;
    text->assign(memory->data, memory->length);
    return true;
}

std::string Md5Hex(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 0x0F]);
    }
    return hex;
}
