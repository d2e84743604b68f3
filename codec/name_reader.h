// Reading domain names out of a received message (RFC 1035 section 4.1.4).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dnsbatch {

class WireCursor;
struct DecodeBudget;

// The name that starts at cursor, as its labels joined by full stops, with
// compression pointers followed. cursor ends just after the name's closing
// 00 byte or after the two bytes of the pointer that ended it. Never fails.
std::string readName(std::string_view message, int32_t &cursor);

// The same on the decoder's own cursor, charging the message's budget.
std::string readName(WireCursor &cursor, DecodeBudget &budget);

}  // namespace dnsbatch
