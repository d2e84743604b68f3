// Byte strings written as hexadecimal in tests: "02 61 62" and "026162" alike.
#pragma once

#include <string>
#include <string_view>

namespace dnsbatch::test {

inline std::string hex(std::string_view text)
{
    std::string bytes;
    int high = -1;
    for (const char c : text) {
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        else
            continue;
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<char>(high * 16 + nibble));
            high = -1;
        }
    }
    return bytes;
}

inline std::string toHex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!text.empty())
            text.push_back(' ');
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text;
}

}  // namespace dnsbatch::test
