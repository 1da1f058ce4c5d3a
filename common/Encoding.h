#pragma once
// Base64 without line breaks and the MD5 digest, through OpenSSL's libcrypto.
#include <string>

// False when nothing could be decoded; otherwise *bytes holds the result.
bool Base64Decode(const std::string& text, std::string* bytes);
// False unless every byte was encoded; *text holds one unbroken line.
bool Base64Encode(const std::string& bytes, std::string* text);
// 32 lower-case hexadecimal digits (empty text if the digest fails).
std::string Md5Hex(const std::string& text);
