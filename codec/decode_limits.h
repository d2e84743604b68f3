// The bounds that keep decoding one datagram cheap whatever its bytes say.
//
// A well-formed message reads every byte of a name once and holds at most a
// few thousand records, so none of these is ever reached by one; they exist
// for messages built to make the decoder loop or explode (pointer loops,
// negative lengths re-reading the same long name tens of thousands of times).
#pragma once

#include <cstdint>

namespace dnsbatch {

// Compression pointers followed while reading one name. Real messages use
// one or two.
inline constexpr int kMaxPointerHops = 64;

// Work shared by all the names and record data of one message.
struct DecodeBudget {
    // Bytes of decoded text (names and record data) one message may yield.
    // An RFC-conformant 64 KiB message yields at most about 1.5 MiB.
    static constexpr int64_t kOutputBytes = int64_t{4} << 20;
    // Compression pointers followed over the whole message.
    static constexpr int64_t kPointerHops = int64_t{1} << 18;

    int64_t outputBytes = kOutputBytes;
    int64_t pointerHops = kPointerHops;
    bool exhausted = false;  // once set, the decoder reads no further record
};

}  // namespace dnsbatch
