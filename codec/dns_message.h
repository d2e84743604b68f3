// Decoded DNS messages (RFC 1035 section 4.1).
//
// Every integer is a signed 32-bit value. 16-bit wire fields are
// sign-extended, so counts of 0x8000 and above come out negative; the TTL is
// the 32-bit wire value taken as signed. Names are texts: the label bytes as
// they stand in the message (GBK where they are not ASCII), joined by full
// stops. Record data stay raw bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dnsbatch {

struct DnsHeader {
    int32_t id = 0;
    int32_t qr = 0;
    int32_t opcode = 0;
    int32_t aa = 0;
    int32_t tc = 0;
    int32_t rd = 0;
    int32_t ra = 0;
    int32_t rcode = 0;
    int32_t qdCount = 0;
    int32_t anCount = 0;
    int32_t nsCount = 0;
    int32_t arCount = 0;

    bool operator==(const DnsHeader &) const = default;
};

struct DnsQuestion {
    std::string name;
    int32_t type = 0;
    int32_t dnsClass = 0;

    bool operator==(const DnsQuestion &) const = default;
};

struct DnsRecord {
    std::string name;
    int32_t type = 0;
    int32_t dnsClass = 0;
    int32_t ttl = 0;
    int32_t rdLength = 0;  // the declared length, as read
    std::string rdata;     // the bytes actually taken, never more than rdLength

    bool operator==(const DnsRecord &) const = default;
};

struct DnsResponse {
    DnsHeader header;
    std::vector<DnsQuestion> questions;
    std::vector<DnsRecord> answers;
    std::vector<DnsRecord> authority;
    std::vector<DnsRecord> additional;

    bool operator==(const DnsResponse &) const = default;
};

}  // namespace dnsbatch
