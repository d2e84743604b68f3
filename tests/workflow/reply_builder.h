// Builds DNS reply messages for tests, uncompressed unless told otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dnsbatch::test {

struct Rr {
    std::string owner;  // dotted text, or raw wire bytes when it starts with '\xC0'
    uint16_t type = 1;
    uint16_t dnsClass = 1;
    std::string rdata;
    uint32_t ttl = 60;
};

struct Reply {
    uint16_t id = 0;
    uint16_t flags = 0x8180;
    std::vector<std::string> questions;
    std::vector<Rr> answers, authority, additional;
    std::optional<uint16_t> anCount;  // instead of the number of answers
};

inline void put16(std::string &m, uint16_t v)
{
    m += static_cast<char>(v >> 8);
    m += static_cast<char>(v & 0xFF);
}

inline std::string wireName(const std::string &name)
{
    if (!name.empty() && name[0] == '\xC0')
        return name;
    std::string wire;
    size_t start = 0;
    while (start < name.size()) {
        size_t stop = name.find('.', start);
        if (stop == std::string::npos)
            stop = name.size();
        wire += static_cast<char>(stop - start);
        wire += name.substr(start, stop - start);
        start = stop + 1;
    }
    return wire + '\0';
}

inline std::string build(const Reply &r)
{
    std::string m;
    put16(m, r.id);
    put16(m, r.flags);
    put16(m, static_cast<uint16_t>(r.questions.size()));
    put16(m, r.anCount ? *r.anCount : static_cast<uint16_t>(r.answers.size()));
    put16(m, static_cast<uint16_t>(r.authority.size()));
    put16(m, static_cast<uint16_t>(r.additional.size()));
    for (const std::string &q : r.questions) {
        m += wireName(q);
        put16(m, 1);
        put16(m, 1);
    }
    for (const auto *section : {&r.answers, &r.authority, &r.additional}) {
        for (const Rr &rr : *section) {
            m += wireName(rr.owner);
            put16(m, rr.type);
            put16(m, rr.dnsClass);
            put16(m, static_cast<uint16_t>(rr.ttl >> 16));
            put16(m, static_cast<uint16_t>(rr.ttl & 0xFFFF));
            put16(m, static_cast<uint16_t>(rr.rdata.size()));
            m += rr.rdata;
        }
    }
    return m;
}

inline std::string ipv4(int a, int b, int c, int d)
{
    return {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(d)};
}

}  // namespace dnsbatch::test
