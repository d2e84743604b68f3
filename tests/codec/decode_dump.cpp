// Reads one message per line as hexadecimal from stdin and prints our
// decoding of each in a canonical form, closed by a line ".":
//
//   H id qr opcode aa tc rd ra rcode qdCount anCount nsCount arCount
//   Q name type dnsClass
//   A|N|R name type dnsClass ttl rdLength rdata      (answer, authority, additional)
//
// Names and rdata are written as lowercase hexadecimal, "-" when empty.
#include <cstdio>
#include <iostream>
#include <string>

#include "response_decoder.h"

namespace {

std::string fromHex(const std::string &line)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < line.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string toHex(const std::string &bytes)
{
    if (bytes.empty())
        return "-";
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        text.push_back(digits[static_cast<unsigned char>(c) >> 4]);
        text.push_back(digits[static_cast<unsigned char>(c) & 15]);
    }
    return text;
}

}  // namespace

int main()
{
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line)) {
        const dnsbatch::DnsResponse r = dnsbatch::decodeResponse(fromHex(line));
        const dnsbatch::DnsHeader &h = r.header;
        std::cout << "H " << h.id << ' ' << h.qr << ' ' << h.opcode << ' ' << h.aa << ' ' << h.tc << ' ' << h.rd
                  << ' ' << h.ra << ' ' << h.rcode << ' ' << h.qdCount << ' ' << h.anCount << ' ' << h.nsCount << ' '
                  << h.arCount << '\n';
        for (const auto &q : r.questions)
            std::cout << "Q " << toHex(q.name) << ' ' << q.type << ' ' << q.dnsClass << '\n';
        const std::pair<char, const std::vector<dnsbatch::DnsRecord> *> sections[] = {
            {'A', &r.answers}, {'N', &r.authority}, {'R', &r.additional}};
        for (const auto &[tag, records] : sections)
            for (const auto &rr : *records)
                std::cout << tag << ' ' << toHex(rr.name) << ' ' << rr.type << ' ' << rr.dnsClass << ' ' << rr.ttl
                          << ' ' << rr.rdLength << ' ' << toHex(rr.rdata) << '\n';
        std::cout << ".\n";
    }
    return 0;
}
