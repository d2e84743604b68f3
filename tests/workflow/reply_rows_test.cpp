#include <gtest/gtest.h>

#include "fake_controls.h"
#include "reply_builder.h"
#include "result_rows.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

using test::build;
using test::FakeControls;
using test::ipv4;
using test::Reply;
using test::Rr;
using Rows = std::vector<std::vector<std::string>>;

TEST(FormatIPv4, DottedDecimalOfTheFirstFourBytes)
{
    EXPECT_EQ(formatIPv4(ipv4(0xC0, 0xA8, 1, 10)), "192.168.1.10");
    EXPECT_EQ(formatIPv4(ipv4(0, 0, 0, 0)), "0.0.0.0");
    EXPECT_EQ(formatIPv4(ipv4(255, 255, 255, 255)), "255.255.255.255");
    EXPECT_EQ(formatIPv4(ipv4(10, 0, 0, 1) + "\xFF\xFF"), "10.0.0.1");
    EXPECT_EQ(formatIPv4("\x01\x02\x03"), "");
    EXPECT_EQ(formatIPv4(""), "");
}

struct RowsCase {
    const char *label;
    std::string datagram;
    Rows rows;
};

void PrintTo(const RowsCase &c, std::ostream *os) { *os << c.label; }

// Locations the fake service knows; any other address has none.
std::string fakeLocation(std::string_view address)
{
    if (address == "192.0.2.1")
        return "\xB1\xB1\xBE\xA9";  // 北京
    if (address == "192.0.2.2")
        return "LOC-2";
    return "";
}

class ReplyRows : public testing::TestWithParam<RowsCase> {};

TEST_P(ReplyRows, EachAInAnswerBecomesARow)
{
    FakeControls controls;
    Workflow workflow(controls, fakeLocation);
    controls.currentData = GetParam().datagram;
    workflow.onReplyArrived();
    EXPECT_EQ(controls.rows, GetParam().rows);
}

const std::string kA1 = ipv4(192, 0, 2, 1);
const std::string kA2 = ipv4(192, 0, 2, 2);

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyRows,
    testing::Values(
        RowsCase{"two_a_answers",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, kA1}, {"n.example", 1, 1, kA2}}}),
                 {{"n.example", "n.example", "192.0.2.1", "\xB1\xB1\xBE\xA9"}, {"n.example", "n.example", "192.0.2.2", "LOC-2"}}},
        RowsCase{"cname_then_a",
                 build({.questions = {"n.example"},
                        .answers = {{"n.example", 5, 1, test::wireName("c.example")}, {"c.example", 1, 1, kA1}}}),
                 {{"n.example", "c.example", "192.0.2.1", "\xB1\xB1\xBE\xA9"}}},
        // Owner names through compression pointers to the question.
        RowsCase{"compressed_owner",
                 build({.questions = {"n.example"}, .answers = {{"\xC0\x0C", 1, 1, kA2}}}),
                 {{"n.example", "n.example", "192.0.2.2", "LOC-2"}}},
        RowsCase{"aaaa_only",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 28, 1, std::string(16, '\x20')}}}), {}},
        RowsCase{"class_3", build({.questions = {"n.example"}, .answers = {{"n.example", 1, 3, kA1}}}), {}},
        RowsCase{"rcode_3_no_answers", build({.flags = 0x8183, .questions = {"n.example"}}), {}},
        RowsCase{"a_only_in_authority_and_additional",
                 build({.questions = {"n.example"}, .authority = {{"n.example", 1, 1, kA1}}, .additional = {{"x", 1, 1, kA2}}}),
                 {}},
        RowsCase{"second_of_three_alone_is_a_in",
                 build({.questions = {"n.example"},
                        .answers = {{"n.example", 16, 1, "\x01t"}, {"n.example", 1, 1, kA2}, {"n.example", 1, 4, kA1}}}),
                 {{"n.example", "n.example", "192.0.2.2", "LOC-2"}}},
        RowsCase{"ancount_32768_or_more",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, kA1}}, .anCount = 0x8001}), {}},
        RowsCase{"id_not_zero_and_qr_zero",
                 build({.id = 0xBEEF, .flags = 0x0100, .questions = {"n.example"}, .answers = {{"n.example", 1, 1, kA1}}}),
                 {{"n.example", "n.example", "192.0.2.1", "\xB1\xB1\xBE\xA9"}}},
        RowsCase{"six_bytes_of_data",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, ipv4(10, 0, 0, 1) + "\xFF\xFF"}}}),
                 {{"n.example", "n.example", "10.0.0.1", ""}}},
        RowsCase{"no_question", build({.answers = {{"n.example", 1, 1, kA1}}}), {}},
        // A short answer gives no row; the next one of the same reply does.
        RowsCase{"short_data_then_good",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, "\x01\x02\x03"}, {"m.example", 1, 1, kA2}}}),
                 {{"n.example", "m.example", "192.0.2.2", "LOC-2"}}},
        RowsCase{"data_cut_by_the_end_of_the_message",
                 build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, kA1}}}).substr(0, 50), {}},
        RowsCase{"gbk_names",
                 build({.questions = {"\xD6\xD0\xCE\xC4.cn"}, .answers = {{"\xD6\xD0\xCE\xC4.cn", 1, 1, ipv4(1, 2, 3, 4)}}}),
                 {{"\xD6\xD0\xCE\xC4.cn", "\xD6\xD0\xCE\xC4.cn", "1.2.3.4", ""}}},
        RowsCase{"not_dns_at_all", std::string("\x01"), {}},
        RowsCase{"noise", std::string(2000, '\xA5'), {}}),
    [](const testing::TestParamInfo<RowsCase> &info) { return std::string(info.param.label); });

TEST(ReplyRows, SameReplyTwiceGivesItsRowsTwiceAndLocationIsAskedPerRow)
{
    FakeControls controls;
    std::vector<std::string> asked;
    Workflow workflow(controls, [&](std::string_view address) {
        asked.emplace_back(address);
        return std::string();
    });
    controls.currentData = build({.questions = {"n.example"}, .answers = {{"n.example", 1, 1, kA1}}});
    workflow.onReplyArrived();
    workflow.onReplyArrived();
    EXPECT_EQ(controls.rows, (Rows{{"n.example", "n.example", "192.0.2.1", ""}, {"n.example", "n.example", "192.0.2.1", ""}}));
    EXPECT_EQ(asked, (std::vector<std::string>{"192.0.2.1", "192.0.2.1"}));
}

TEST(ReplyRows, LocationIsAskedAfterTheFirstThreeCells)
{
    FakeControls controls;
    Rows seenDuringLookup;
    Workflow workflow(controls, [&](std::string_view) {
        seenDuringLookup = controls.rows;
        return std::string("L");
    });
    controls.currentData = build({.questions = {"n.example"}, .answers = {{"o.example", 1, 1, kA1}}});
    workflow.onReplyArrived();
    EXPECT_EQ(seenDuringLookup, (Rows{{"n.example", "o.example", "192.0.2.1", ""}}));
    EXPECT_EQ(controls.rows, (Rows{{"n.example", "o.example", "192.0.2.1", "L"}}));
}

}  // namespace
}  // namespace dnsbatch
