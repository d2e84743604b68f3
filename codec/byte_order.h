// Byte-order helpers. Every multi-byte DNS field is big-endian (RFC 1035
// section 2.3.2); the codec reads fields as little-endian values and turns
// them around with these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dnsbatch {

// The value with its two low-order bytes exchanged; the upper 16 bits stay.
constexpr int32_t swap16(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    return static_cast<int32_t>((v & 0xFFFF0000u) | ((v & 0xFFu) << 8) | ((v >> 8) & 0xFFu));
}

// The four bytes of the value in reverse order.
constexpr int32_t swap32(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    return static_cast<int32_t>((v << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24));
}

// The same bytes, last one first.
std::string reverseBytes(std::string_view bytes);

}  // namespace dnsbatch
