#pragma once
// Writes small zip archives in memory for tests that need exact control over the
// bytes: methods, flags, host system, attributes, extra fields, encryption, and
// the offsets of every header field (for the mutation tests).
#include <cstdint>
#include <string>
#include <vector>

namespace ZipTest {

struct Item {
    std::string name;                 // stored bytes (UTF-8)
    std::string data;
    bool deflate = false;
    std::string password;             // non-empty: traditional zip encryption
    uint8_t host = 3;                 // high byte of version-made-by (0 = FAT, 3 = Unix)
    uint32_t external = 0x81a40000;   // -rw-r--r-- regular file
    uint16_t dosTime = 0x28a4;        // 05:05:08
    uint16_t dosDate = 0x5264;        // 2021-03-04
    bool unixTime = false;            // add a "UT" block to the local extra field
    uint8_t unixTimeFlags = 1;
    std::vector<uint32_t> unixTimes;  // in flag-bit order
    bool descriptor = false;          // sizes and CRC after the data (flag bit 3)
};

// Offsets of one item's headers inside the built archive.
struct Layout {
    std::vector<size_t> local;   // local header of item i
    std::vector<size_t> central; // central header of item i
    size_t end = 0;              // end-of-central-directory record
};

std::string Build(const std::vector<Item>& items, Layout* layout = nullptr, const std::string& prefix = "",
                  const std::string& comment = "");

std::string Deflate(const std::string& data);

// The last byte of an item's 12-byte encryption header as a reader with this
// password decrypts it: the byte the password check compares.
uint8_t DecryptedCheckByte(const std::string& header, const std::string& password);
uint32_t Crc32(const std::string& data);

// Field offsets (relative to their header) and widths, for mutation.
struct Field {
    size_t offset;
    int width; // 2 or 4 bytes
    const char* what;
};
extern const std::vector<Field> kLocalFields;
extern const std::vector<Field> kCentralFields;
extern const std::vector<Field> kEndFields;

} // namespace ZipTest
