// A read-only cursor over one received message.
//
// Any host can send us any bytes, so the cursor never trusts a count or a
// length: a read that starts outside the message yields 0, a read that runs
// over the end yields the bytes present followed by zeros, and no read ever
// touches memory outside the message. The position is a 64-bit count: the
// worst a message can ask for (98,301 records, each moving by a 16-bit
// length plus a name) stays far inside it, so no arithmetic on it overflows.
#pragma once

#include <cstdint>
#include <string_view>

#include "byte_order.h"

namespace dnsbatch {

class WireCursor {
public:
    explicit WireCursor(std::string_view message, int64_t position = 0)
        : message_(message), position_(position)
    {
    }

    std::string_view message() const { return message_; }
    int64_t position() const { return position_; }
    void seek(int64_t position) { position_ = position; }
    void skip(int64_t count) { position_ += count; }

    bool inside(int64_t position) const
    {
        return position >= 0 && position < static_cast<int64_t>(message_.size());
    }

    uint8_t byteAt(int64_t position) const
    {
        return inside(position) ? static_cast<uint8_t>(message_[static_cast<size_t>(position)]) : 0;
    }

    uint8_t readU8() { return byteAt(position_++); }

    // A 16-bit field: the two bytes taken as a little-endian value, put into
    // network order by swap16, then sign-extended from 16 bits.
    int32_t read16()
    {
        const int32_t raw = byteAt(position_) | (byteAt(position_ + 1) << 8);
        position_ += 2;
        return static_cast<int16_t>(static_cast<uint16_t>(swap16(raw) & 0xFFFF));
    }

    // A 32-bit field, likewise through swap32.
    int32_t read32()
    {
        const uint32_t raw = static_cast<uint32_t>(byteAt(position_)) |
                             (static_cast<uint32_t>(byteAt(position_ + 1)) << 8) |
                             (static_cast<uint32_t>(byteAt(position_ + 2)) << 16) |
                             (static_cast<uint32_t>(byteAt(position_ + 3)) << 24);
        position_ += 4;
        return swap32(static_cast<int32_t>(raw));
    }

    // The bytes of [position, position + count) that the message holds,
    // starting at position; empty when position is outside the message.
    std::string_view presentBytes(int64_t position, int64_t count) const
    {
        if (count <= 0 || !inside(position))
            return {};
        const int64_t available = static_cast<int64_t>(message_.size()) - position;
        return message_.substr(static_cast<size_t>(position),
                               static_cast<size_t>(count < available ? count : available));
    }

private:
    std::string_view message_;
    int64_t position_;
};

}  // namespace dnsbatch
