// Decoding a received DNS message (RFC 1035 section 4.1).
#pragma once

#include <cstdint>
#include <string_view>

#include "dns_message.h"

namespace dnsbatch {

// The 12 header bytes. Sets cursor to 0 first and leaves it at 12.
DnsHeader decodeHeader(std::string_view message, int32_t &cursor);

// The whole message: header, questions, and the answer, authority and
// additional records in message order. Accepts any bytes and never fails.
// A section whose count is 0 or negative is empty. Reads past the end of the
// message yield zeros; a message built to make decoding explode stops being
// read once its budget (decode_limits.h) is spent, keeping the records read
// up to then.
DnsResponse decodeResponse(std::string_view message);

}  // namespace dnsbatch
