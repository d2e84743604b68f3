#include "query_encoder.h"

#include "byte_order.h"

namespace dnsbatch {

std::string reverseBytes(std::string_view bytes)
{
    return std::string(bytes.rbegin(), bytes.rend());
}

//                                  1  1  1  1  1  1
//    0  1  2  3  4  5  6  7  8  9  0  1  2  3  4  5
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |                      ID                       |
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |QR|   Opcode  |AA|TC|RD|RA|   Z    |   RCODE   |   01 00: RD only
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |                    QDCOUNT                    |   1
//  |                    ANCOUNT                    |   0
//  |                    NSCOUNT                    |   0
//  |                    ARCOUNT                    |   0
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  /                     QNAME                     /   labels, then 00
//  |                     QTYPE                     |   1 (A)
//  |                     QCLASS                    |   1 (IN)
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
std::string encodeQuery(std::string_view name, uint16_t id)
{
    static constexpr char kFixedHeader[10] = {0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    static constexpr char kTypeAndClass[4] = {0x00, 0x01, 0x00, 0x01};

    std::string message;
    message.reserve(17 + name.size() + 1);

    const char idLittleEndian[2] = {static_cast<char>(id & 0xFF), static_cast<char>(id >> 8)};
    message += reverseBytes(std::string_view(idLittleEndian, 2));
    message.append(kFixedHeader, sizeof kFixedHeader);

    // Segments end at every full stop, even when empty; after the last full
    // stop a segment exists only if a byte follows it. 00 bytes do not count.
    std::string segment;
    bool pendingSegment = false;
    auto writeSegment = [&] {
        message.push_back(static_cast<char>(segment.size() & 0xFF));
        message += segment;
        segment.clear();
    };
    for (const char byte : name) {
        if (byte == '\0')
            continue;
        if (byte == '.') {
            writeSegment();
            pendingSegment = false;
        } else {
            segment.push_back(byte);
            pendingSegment = true;
        }
    }
    if (pendingSegment)
        writeSegment();

    message.push_back('\0');
    message.append(kTypeAndClass, sizeof kTypeAndClass);
    return message;
}

}  // namespace dnsbatch
