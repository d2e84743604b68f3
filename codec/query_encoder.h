// Building a DNS query message (RFC 1035 section 4.1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dnsbatch {

// The complete query for one name: the given ID, RD set, one question of
// QTYPE A and QCLASS IN. The name is split at full stops into labels and
// validated in no way (label length, total length, characters); 00 bytes are
// dropped first. Never fails, never returns an empty message.
std::string encodeQuery(std::string_view name, uint16_t id);

}  // namespace dnsbatch
