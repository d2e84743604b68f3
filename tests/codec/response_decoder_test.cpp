#include <gtest/gtest.h>

#include <algorithm>

#include "decode_limits.h"
#include "hex.h"
#include "response_decoder.h"

namespace dnsbatch {
namespace {

using test::hex;

const std::string kWorkedReply = hex(
    "00 00 81 80 00 01 00 01 00 00 00 00 02 61 62 03 63 64 65 00 00 01 00 01"
    " C0 0C 00 01 00 01 00 00 01 2C 00 04 01 02 03 04");

DnsHeader header(int32_t id, int32_t qr, int32_t opcode, int32_t aa, int32_t tc, int32_t rd, int32_t ra,
                 int32_t rcode, int32_t qd, int32_t an, int32_t ns, int32_t ar)
{
    return DnsHeader{id, qr, opcode, aa, tc, rd, ra, rcode, qd, an, ns, ar};
}

TEST(DecodeResponse, WorkedReply)
{
    const DnsResponse r = decodeResponse(kWorkedReply);
    EXPECT_EQ(r.header, header(0, 1, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0));
    ASSERT_EQ(r.questions.size(), 1u);
    EXPECT_EQ(r.questions[0], (DnsQuestion{"ab.cde", 1, 1}));
    ASSERT_EQ(r.answers.size(), 1u);
    EXPECT_EQ(r.answers[0], (DnsRecord{"ab.cde", 1, 1, 300, 4, hex("01 02 03 04")}));
    EXPECT_TRUE(r.authority.empty());
    EXPECT_TRUE(r.additional.empty());
}

TEST(DecodeHeader, ResetsCursorAndLeavesItAt12)
{
    int32_t cursor = 999;
    decodeHeader(kWorkedReply, cursor);
    EXPECT_EQ(cursor, 12);
}

struct HeaderCase {
    const char *label;
    std::string bytes;
    DnsHeader expected;
};

void PrintTo(const HeaderCase &c, std::ostream *os) { *os << c.label; }


class DecodeHeaderFields : public testing::TestWithParam<HeaderCase> {};

TEST_P(DecodeHeaderFields, SplitsFlagsAndSignExtends)
{
    int32_t cursor = 0;
    EXPECT_EQ(decodeHeader(GetParam().bytes, cursor), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeHeaderFields,
    testing::Values(
        HeaderCase{"flags_8180", hex("00 00 81 80 00 00 00 00 00 00 00 00"), header(0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0)},
        HeaderCase{"flags_8583", hex("00 00 85 83 00 00 00 00 00 00 00 00"), header(0, 1, 0, 1, 0, 1, 1, 3, 0, 0, 0, 0)},
        HeaderCase{"z_bits_ignored", hex("00 00 81 A0 00 00 00 00 00 00 00 00"), header(0, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0)},
        HeaderCase{"flags_7800", hex("00 00 78 00 00 00 00 00 00 00 00 00"), header(0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
        HeaderCase{"tc_only", hex("00 00 02 00 00 00 00 00 00 00 00 00"), header(0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0)},
        HeaderCase{"all_ones", hex("FF FF FF FF FF FF 80 00 7F FF 12 34"),
                   header(-1, 1, 15, 1, 1, 1, 1, 15, -1, -32768, 32767, 0x1234)},
        // Shorter than a header: the missing bytes read as 0.
        HeaderCase{"short_message", hex("12 34 81"), header(0x1234, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0)},
        HeaderCase{"empty_message", "", header(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)}),
    [](const testing::TestParamInfo<HeaderCase> &info) { return std::string(info.param.label); });

// A header with the given counts, followed by the given body.
std::string message(const char *counts, const std::string &body)
{
    return hex("00 00 81 80") + hex(counts) + body;
}

const std::string kQuestion = hex("02 61 62 03 63 64 65 00 00 01 00 01");  // ab.cde A IN, at offset 12

TEST(DecodeResponse, HeaderOnly)
{
    const DnsResponse r = decodeResponse(message("00 00 00 00 00 00 00 00", ""));
    EXPECT_EQ(r.header.qdCount, 0);
    EXPECT_TRUE(r.questions.empty() && r.answers.empty() && r.authority.empty() && r.additional.empty());
}

TEST(DecodeResponse, NegativeCountsSelectNothingAndNextSectionStartsThere)
{
    // anCount FFFF: the record after the question is read as authority.
    const std::string record = hex("C0 0C 00 01 00 01 00 00 00 05 00 04 0A 00 00 01");
    const DnsResponse r = decodeResponse(message("00 01 FF FF 00 01 80 00", kQuestion + record + record));
    EXPECT_EQ(r.header.anCount, -1);
    EXPECT_EQ(r.header.arCount, -32768);
    EXPECT_TRUE(r.answers.empty());
    ASSERT_EQ(r.authority.size(), 1u);
    EXPECT_EQ(r.authority[0], (DnsRecord{"ab.cde", 1, 1, 5, 4, hex("0A 00 00 01")}));
    EXPECT_TRUE(r.additional.empty());
}

TEST(DecodeResponse, SectionsInOrderAndTrailingBytesIgnored)
{
    const std::string cname = hex("C0 0C 00 05 00 01 00 00 00 3C 00 05 02 78 79 C0 0C");  // target raw: xy + pointer
    const std::string aaaa = hex("C0 0C 00 1C 00 01 00 00 00 3C 00 10") + std::string(16, '\x20');
    const std::string ns = hex("C0 0C 00 02 00 01 FF FF FF FF 00 02 C0 0C");
    const std::string extra = hex("00  00 FF  80 03  00 00 00 00  00 00");  // type 255, class 0x8003, ttl 0
    const DnsResponse r = decodeResponse(message("00 01 00 02 00 01 00 01", kQuestion + cname + aaaa + ns + extra + "junk"));
    ASSERT_EQ(r.answers.size(), 2u);
    EXPECT_EQ(r.answers[0], (DnsRecord{"ab.cde", 5, 1, 60, 5, hex("02 78 79 C0 0C")}));
    EXPECT_EQ(r.answers[1].type, 28);
    EXPECT_EQ(r.answers[1].rdata, std::string(16, '\x20'));
    ASSERT_EQ(r.authority.size(), 1u);
    EXPECT_EQ(r.authority[0].ttl, -1);
    ASSERT_EQ(r.additional.size(), 1u);
    EXPECT_EQ(r.additional[0], (DnsRecord{"", 255, -32765, 0, 0, ""}));
}

TEST(DecodeResponse, RecordDataLengths)
{
    struct Case {
        const char *label;
        std::string records;  // announced as two answers
        DnsRecord first;
        DnsRecord second;
    };
    const Case cases[] = {
        // rdLength 0: no data, the cursor stays.
        {"zero_length", hex("C0 0C 00 01 00 01 00 00 00 01 00 00  C0 0C 00 10 00 01 00 00 00 01 00 01 41"),
         DnsRecord{"ab.cde", 1, 1, 1, 0, ""}, DnsRecord{"ab.cde", 16, 1, 1, 1, "A"}},
        // rdLength FFFE: no data, the cursor moves back 2 and the second
        // record starts on the length field itself (FF FE 00 ...).
        {"negative_length_moves_back", hex("C0 0C 00 01 00 01 00 00 00 01 FF FE"),
         DnsRecord{"ab.cde", 1, 1, 1, -2, ""}, DnsRecord{"", 0, 0, 0, 0, ""}},
        // Data cut at the end of the message; rdLength keeps the declared value.
        {"cut_at_end", hex("C0 0C 00 01 00 01 00 00 00 01 00 08 01 02 03"),
         DnsRecord{"ab.cde", 1, 1, 1, 8, hex("01 02 03")}, DnsRecord{"", 0, 0, 0, 0, ""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const DnsResponse r = decodeResponse(message("00 01 00 02 00 00 00 00", kQuestion + c.records));
        ASSERT_EQ(r.answers.size(), 2u);
        EXPECT_EQ(r.answers[0], c.first);
        EXPECT_EQ(r.answers[1], c.second);
    }
}

TEST(DecodeResponse, NegativeLengthRereadsTheRecord)
{
    // rdLength FFF4 moves the cursor back over the whole 12-byte record, so
    // each of the three announced answers is the same record.
    const std::string record = hex("C0 0C 00 01 00 01 00 00 00 07 FF F4");
    const DnsResponse r = decodeResponse(message("00 01 00 03 00 00 00 00", kQuestion + record));
    ASSERT_EQ(r.answers.size(), 3u);
    for (const DnsRecord &answer : r.answers)
        EXPECT_EQ(answer, (DnsRecord{"ab.cde", 1, 1, 7, -12, ""}));
}

TEST(DecodeResponse, CountsLargerThanTheMessageReadZeros)
{
    const DnsResponse r = decodeResponse(message("00 02 00 03 00 00 00 00", kQuestion));
    ASSERT_EQ(r.questions.size(), 2u);
    EXPECT_EQ(r.questions[1], (DnsQuestion{"", 0, 0}));
    ASSERT_EQ(r.answers.size(), 3u);
    for (const DnsRecord &answer : r.answers)
        EXPECT_EQ(answer, (DnsRecord{"", 0, 0, 0, 0, ""}));

    const DnsResponse most = decodeResponse(message("7F FF 7F FF 7F FF 7F FF", ""));
    EXPECT_EQ(most.questions.size(), 32'767u);
    EXPECT_EQ(most.additional.size(), 32'767u);
    EXPECT_EQ(most.questions.back(), (DnsQuestion{"", 0, 0}));
    EXPECT_EQ(most.additional.back(), (DnsRecord{"", 0, 0, 0, 0, ""}));
}

// Every prefix of a few real replies decodes (the sanitizer build checks
// that nothing outside the message is touched), and the whole reply decodes
// to what the prefix would have become.
TEST(DecodeResponse, EveryPrefixOfRealRepliesDecodes)
{
    const std::string replies[] = {
        kWorkedReply,
        message("00 01 00 02 00 01 00 01",
                kQuestion + hex("C0 0C 00 05 00 01 00 00 00 3C 00 05 02 78 79 C0 0C") +
                    hex("C0 24 00 01 00 01 00 00 00 3C 00 04 C0 A8 01 0A") +
                    hex("C0 0F 00 02 00 01 00 00 0E 10 00 05 02 6E 73 C0 0F") +
                    hex("C0 45 00 01 00 01 00 00 0E 10 00 04 C0 00 02 35")),
        message("00 01 00 00 00 01 00 00",
                hex("03 6E 78 64 03 63 64 65 00 00 01 00 01 C0 10 00 06 00 01 00 00 00 3C 00 18") +
                    hex("02 6E 73 C0 10 04 72 6F 6F 74 C0 10 00 00 00 01 00 00 0E 10 00 00 01 2C")),
    };
    for (const std::string &reply : replies) {
        for (size_t n = 0; n <= reply.size(); ++n) {
            const DnsResponse r = decodeResponse(std::string_view(reply).substr(0, n));
            // Missing bytes read as zeros, so every count is met in full.
            EXPECT_EQ(r.questions.size(), static_cast<size_t>(std::max(0, r.header.qdCount)));
            EXPECT_EQ(r.answers.size(), static_cast<size_t>(std::max(0, r.header.anCount)));
            EXPECT_EQ(r.authority.size(), static_cast<size_t>(std::max(0, r.header.nsCount)));
            EXPECT_EQ(r.additional.size(), static_cast<size_t>(std::max(0, r.header.arCount)));
        }
        EXPECT_EQ(decodeResponse(reply).header.qdCount, 1);
    }
    const DnsResponse cname = decodeResponse(replies[1]);
    ASSERT_EQ(cname.answers.size(), 2u);
    EXPECT_EQ(cname.answers[1].name, "xy.ab.cde");
    EXPECT_EQ(cname.additional[0].name, "ns.cde");
}

int64_t decodedBytes(const DnsResponse &r)
{
    int64_t total = 0;
    for (const DnsQuestion &q : r.questions)
        total += static_cast<int64_t>(q.name.size());
    for (const auto *section : {&r.answers, &r.authority, &r.additional})
        for (const DnsRecord &record : *section)
            total += static_cast<int64_t>(record.name.size() + record.rdata.size());
    return total;
}

// A record at 12 whose owner is a pointer to a long name at 24 and whose
// rdLength FFF4 moves the cursor back to 12: 32,767 announced answers would
// each re-read the whole name, about 2 GB of text from one datagram.
std::string rereadingLongName(int nameBytes)
{
    std::string reply = hex("00 00 81 80 00 00 7F FF 7F FF 7F FF  C0 18 00 01 00 01 00 00 00 01 FF F4");
    for (int written = 0; written + 64 <= nameBytes; written += 64)
        reply += hex("3F") + std::string(63, 'n');
    return reply + hex("00");
}

TEST(DecodeResponseGuard, RereadingALongNameStopsAtTheOutputBudget)
{
    const std::string reply = rereadingLongName(65'000);
    ASSERT_LE(reply.size(), 65'535u);
    const DnsResponse r = decodeResponse(reply);
    ASSERT_FALSE(r.answers.empty());
    EXPECT_LT(r.answers.size(), 100u);
    EXPECT_EQ(r.answers.front().name.size(), (65'000u / 64) * 64 - 1);  // 63-byte labels and their stops
    EXPECT_EQ(r.answers.back(), r.answers.front());
    EXPECT_TRUE(r.authority.empty() && r.additional.empty());
    EXPECT_LE(decodedBytes(r), DecodeBudget::kOutputBytes);
}

TEST(DecodeResponseGuard, ChainsOfPointersStopAtTheHopBudget)
{
    // The record's owner is a chain of 63 pointers without a loop; every
    // re-read of the record follows them all again.
    std::string reply = hex("00 00 81 80 00 00 7F FF 7F FF 7F FF  C0 18 00 01 00 01 00 00 00 01 FF F4");
    for (int i = 0; i < 63; ++i) {
        const int next = 24 + 2 * (i + 1);
        reply.push_back(static_cast<char>(0xC0 | (next >> 8)));
        reply.push_back(static_cast<char>(next & 0xFF));
    }
    reply += hex("01 7A 00");
    const DnsResponse r = decodeResponse(reply);
    ASSERT_FALSE(r.answers.empty());
    EXPECT_EQ(r.answers.front().name, "z");
    EXPECT_LE(static_cast<int64_t>(r.answers.size()) * 64, DecodeBudget::kPointerHops);
    EXPECT_GE(static_cast<int64_t>(r.answers.size() + 1) * 64, DecodeBudget::kPointerHops);
}

TEST(DecodeResponseGuard, RereadingRecordDataStopsAtTheOutputBudget)
{
    // Answer A at 12 carries 30,000 bytes of data; answer B right after it
    // has rdLength -30,022 and sends the cursor back to A.
    std::string reply = hex("00 00 81 80 00 00 7F FF 00 00 00 00  00 00 01 00 01 00 00 00 01 75 30");
    reply += std::string(30'000, 'd');
    reply += hex("00 00 01 00 01 00 00 00 01 8A BA");
    const DnsResponse r = decodeResponse(reply);
    ASSERT_GE(r.answers.size(), 2u);
    EXPECT_EQ(r.answers[0].rdata.size(), 30'000u);
    EXPECT_EQ(r.answers[1].rdLength, -30'022);
    EXPECT_EQ(r.answers[2], r.answers[0]);
    EXPECT_LT(r.answers.size(), 32'767u);
    EXPECT_LE(decodedBytes(r), DecodeBudget::kOutputBytes);
}

}  // namespace
}  // namespace dnsbatch
