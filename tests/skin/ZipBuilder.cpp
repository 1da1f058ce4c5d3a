#include "ZipBuilder.h"

#include <zlib.h>

namespace ZipTest {

namespace {

void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xffff);
    Put16(s, v >> 16);
}

// The traditional zip cipher, encrypting side.
class Cipher {
public:
    explicit Cipher(const std::string& password)
    {
        for (char c : password) Update(static_cast<uint8_t>(c));
    }
    uint8_t Encrypt(uint8_t plain)
    {
        uint8_t cipher = static_cast<uint8_t>(plain ^ KeyByte());
        Update(plain);
        return cipher;
    }
    uint8_t Decrypt(uint8_t cipher)
    {
        uint8_t plain = static_cast<uint8_t>(cipher ^ KeyByte());
        Update(plain);
        return plain;
    }

private:
    uint8_t KeyByte() const
    {
        uint32_t temp = (m_keys[2] & 0xffff) | 2;
        return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
    }
    void Update(uint8_t b)
    {
        const z_crc_t* table = get_crc_table();
        m_keys[0] = table[(m_keys[0] ^ b) & 0xff] ^ (m_keys[0] >> 8);
        m_keys[1] = (m_keys[1] + (m_keys[0] & 0xff)) * 134775813 + 1;
        m_keys[2] = table[(m_keys[2] ^ (m_keys[1] >> 24)) & 0xff] ^ (m_keys[2] >> 8);
    }
    uint32_t m_keys[3] = {0x12345678, 0x23456789, 0x34567890};
};

} // namespace

uint8_t DecryptedCheckByte(const std::string& header, const std::string& password)
{
    Cipher cipher(password);
    uint8_t plain = 0;
    for (size_t i = 0; i < 12 && i < header.size(); ++i) plain = cipher.Decrypt(static_cast<uint8_t>(header[i]));
    return plain;
}

const std::vector<Field> kLocalFields = {
    {6, 2, "local flags"},         {8, 2, "local method"},       {14, 4, "local crc"},
    {18, 4, "local compressed"},   {22, 4, "local uncompressed"}, {26, 2, "local name length"},
    {28, 2, "local extra length"},
};
const std::vector<Field> kCentralFields = {
    {4, 2, "made by"},           {8, 2, "central flags"},       {10, 2, "central method"},
    {16, 4, "central crc"},      {20, 4, "central compressed"}, {24, 4, "central uncompressed"},
    {28, 2, "central name length"}, {30, 2, "central extra length"}, {32, 2, "comment length"},
    {38, 4, "external attributes"}, {42, 4, "local header offset"},
};
const std::vector<Field> kEndFields = {
    {8, 2, "entries on disk"},   {10, 2, "total entries"}, {12, 4, "directory size"},
    {16, 4, "directory offset"}, {20, 2, "archive comment length"},
};

uint32_t Crc32(const std::string& data)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string& data)
{
    z_stream s = {};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

std::string Build(const std::vector<Item>& items, Layout* layout, const std::string& prefix,
                  const std::string& comment)
{
    std::string zip = prefix;
    std::string central;
    Layout local;
    uint32_t seed = 12345;
    for (const Item& item : items) {
        uint32_t crc = Crc32(item.data);
        std::string payload = item.deflate ? Deflate(item.data) : item.data;
        uint16_t flags = 0x0800; // names are UTF-8
        if (!item.password.empty()) {
            flags |= 1;
            Cipher cipher(item.password);
            std::string encrypted;
            for (int i = 0; i < 11; ++i) {
                seed = seed * 1103515245 + 12345;
                encrypted += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(seed >> 16)));
            }
            uint8_t check = static_cast<uint8_t>(item.descriptor ? (item.dosTime >> 8) : (crc >> 24));
            encrypted += static_cast<char>(cipher.Encrypt(check));
            for (char c : payload) encrypted += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(c)));
            payload = encrypted;
        }
        if (item.descriptor) flags |= 8;
        std::string extra;
        if (item.unixTime) {
            Put16(extra, 0x5455);
            Put16(extra, static_cast<uint32_t>(1 + 4 * item.unixTimes.size()));
            extra += static_cast<char>(item.unixTimeFlags);
            for (uint32_t t : item.unixTimes) Put32(extra, t);
        }
        uint16_t method = item.deflate ? 8 : 0;
        size_t offset = zip.size() - prefix.size();
        local.local.push_back(zip.size());

        Put32(zip, 0x04034b50);
        Put16(zip, 20);
        Put16(zip, flags);
        Put16(zip, method);
        Put16(zip, item.dosTime);
        Put16(zip, item.dosDate);
        Put32(zip, item.descriptor ? 0 : crc);
        Put32(zip, item.descriptor ? 0 : static_cast<uint32_t>(payload.size()));
        Put32(zip, item.descriptor ? 0 : static_cast<uint32_t>(item.data.size()));
        Put16(zip, static_cast<uint32_t>(item.name.size()));
        Put16(zip, static_cast<uint32_t>(extra.size()));
        zip += item.name;
        zip += extra;
        zip += payload;
        if (item.descriptor) {
            Put32(zip, 0x08074b50);
            Put32(zip, crc);
            Put32(zip, static_cast<uint32_t>(payload.size()));
            Put32(zip, static_cast<uint32_t>(item.data.size()));
        }

        std::string header;
        Put32(header, 0x02014b50);
        Put16(header, (static_cast<uint32_t>(item.host) << 8) | 20);
        Put16(header, 20);
        Put16(header, flags);
        Put16(header, method);
        Put16(header, item.dosTime);
        Put16(header, item.dosDate);
        Put32(header, crc);
        Put32(header, static_cast<uint32_t>(payload.size()));
        Put32(header, static_cast<uint32_t>(item.data.size()));
        Put16(header, static_cast<uint32_t>(item.name.size()));
        Put16(header, 0);
        Put16(header, 0);
        Put16(header, 0);
        Put16(header, 0);
        Put32(header, item.external);
        Put32(header, static_cast<uint32_t>(offset));
        header += item.name;
        central += header;
    }
    size_t centralOffset = zip.size() - prefix.size();
    size_t at = zip.size();
    for (size_t i = 0; i < items.size(); ++i) {
        local.central.push_back(at);
        at += 46 + items[i].name.size();
    }
    zip += central;
    local.end = zip.size();
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, static_cast<uint32_t>(items.size()));
    Put16(zip, static_cast<uint32_t>(items.size()));
    Put32(zip, static_cast<uint32_t>(central.size()));
    Put32(zip, static_cast<uint32_t>(centralOffset));
    Put16(zip, static_cast<uint32_t>(comment.size()));
    zip += comment;
    if (layout) *layout = local;
    return zip;
}

} // namespace ZipTest
