#include "response_decoder.h"

#include <algorithm>

#include "decode_limits.h"
#include "name_reader.h"
#include "wire_cursor.h"

namespace dnsbatch {

namespace {

//                                  1  1  1  1  1  1
//    0  1  2  3  4  5  6  7  8  9  0  1  2  3  4  5
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |                      ID                       |
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |QR|   Opcode  |AA|TC|RD|RA|   Z    |   RCODE   |
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  |                    QDCOUNT                    |
//  |                    ANCOUNT                    |
//  |                    NSCOUNT                    |
//  |                    ARCOUNT                    |
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
// The column numbers above count from the most significant bit; as shifts,
// QR is bit 15 and RCODE bits 0-3. Z (bits 4-6) is not decoded.
DnsHeader readHeader(WireCursor &cursor)
{
    cursor.seek(0);
    DnsHeader header;
    header.id = cursor.read16();
    const int32_t flags = cursor.read16();
    header.qr = (flags >> 15) & 1;
    header.opcode = (flags >> 11) & 15;
    header.aa = (flags & 0x0400) ? 1 : 0;
    header.tc = (flags & 0x0200) ? 1 : 0;
    header.rd = (flags & 0x0100) ? 1 : 0;
    header.ra = (flags & 0x0080) ? 1 : 0;
    header.rcode = flags & 15;
    header.qdCount = cursor.read16();
    header.anCount = cursor.read16();
    header.nsCount = cursor.read16();
    header.arCount = cursor.read16();
    return header;
}

//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  /                     QNAME                     /
//  |                     QTYPE                     |
//  |                     QCLASS                    |
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
DnsQuestion readQuestion(WireCursor &cursor, DecodeBudget &budget)
{
    DnsQuestion question;
    question.name = readName(cursor, budget);
    question.type = cursor.read16();
    question.dnsClass = cursor.read16();
    return question;
}

//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//  /                     NAME                      /
//  |                     TYPE                      |
//  |                     CLASS                     |
//  |                      TTL                      |   32 bits
//  |                   RDLENGTH                    |
//  /                     RDATA                     /
//  +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
// RDATA holds the RDLENGTH bytes at the cursor that the message has, none
// when RDLENGTH is 0 or negative or the cursor stands outside the message.
// The cursor then moves by RDLENGTH as declared: forward past data cut short
// at the end, backward when RDLENGTH is negative.
DnsRecord readRecord(WireCursor &cursor, DecodeBudget &budget)
{
    DnsRecord record;
    record.name = readName(cursor, budget);
    record.type = cursor.read16();
    record.dnsClass = cursor.read16();
    record.ttl = cursor.read32();
    record.rdLength = cursor.read16();
    const std::string_view data = cursor.presentBytes(cursor.position(), record.rdLength);
    if (budget.outputBytes < static_cast<int64_t>(data.size())) {
        budget.exhausted = true;
        return record;
    }
    budget.outputBytes -= static_cast<int64_t>(data.size());
    record.rdata.assign(data);
    cursor.skip(record.rdLength);
    return record;
}

// Room for the entries of a section that the message could really hold, so
// that a forged count of 32,767 does not reserve for 32,767.
size_t plausibleEntries(int32_t count, const WireCursor &cursor, size_t smallestEntry)
{
    const size_t fit = cursor.message().size() / smallestEntry + 1;
    return std::min(static_cast<size_t>(count), fit);
}

// Past the end of the message every field reads as 0 and rdLength 0 never
// moves the cursor back, so from a record that starts there on, all the
// remaining entries are empty ones: made at once rather than read.
bool pastTheEnd(const WireCursor &cursor)
{
    return cursor.position() >= static_cast<int64_t>(cursor.message().size());
}

bool readRecords(int32_t count, WireCursor &cursor, DecodeBudget &budget, std::vector<DnsRecord> &records)
{
    if (count < 1)
        return true;
    records.reserve(plausibleEntries(count, cursor, 11));
    for (int32_t i = 0; i < count; ++i) {
        if (pastTheEnd(cursor)) {
            records.resize(static_cast<size_t>(count));
            cursor.skip(int64_t{11} * (count - i));
            return true;
        }
        DnsRecord record = readRecord(cursor, budget);
        if (budget.exhausted)
            return false;
        records.push_back(std::move(record));
    }
    return true;
}

}  // namespace

DnsHeader decodeHeader(std::string_view message, int32_t &cursor)
{
    WireCursor wire(message);
    const DnsHeader header = readHeader(wire);
    cursor = static_cast<int32_t>(wire.position());
    return header;
}

DnsResponse decodeResponse(std::string_view message)
{
    WireCursor cursor(message);
    DecodeBudget budget;
    DnsResponse response;
    response.header = readHeader(cursor);

    const int32_t qdCount = response.header.qdCount;
    if (qdCount >= 1) {
        response.questions.reserve(plausibleEntries(qdCount, cursor, 5));
        for (int32_t i = 0; i < qdCount; ++i) {
            if (pastTheEnd(cursor)) {
                response.questions.resize(static_cast<size_t>(qdCount));
                cursor.skip(int64_t{5} * (qdCount - i));
                break;
            }
            DnsQuestion question = readQuestion(cursor, budget);
            if (budget.exhausted)
                return response;
            response.questions.push_back(std::move(question));
        }
    }
    if (readRecords(response.header.anCount, cursor, budget, response.answers) &&
        readRecords(response.header.nsCount, cursor, budget, response.authority))
        readRecords(response.header.arCount, cursor, budget, response.additional);
    return response;
}

}  // namespace dnsbatch
