#include <gtest/gtest.h>

#include "location_lookup.h"

namespace dnsbatch {
namespace {

const std::string kOpen = "{\"location\":\"";
const std::string kClose = "\", \"titlecont";

struct ExtractCase {
    const char *label;
    std::string body;
    std::string location;
};

void PrintTo(const ExtractCase &c, std::ostream *os) { *os << c.label; }

class ExtractLocation : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractLocation, CutsBetweenTheMarkers)
{
    EXPECT_EQ(extractLocation(GetParam().body), GetParam().location);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractLocation,
    testing::Values(
        ExtractCase{"typical_reply",
                    "/**/op_aladdin_callback({\"status\":\"0\",\"data\":[" + kOpen + "\xB1\xB1\xBE\xA9\xCA\xD0 \xB5\xE7\xD0\xC5" +
                        kClose + "\":\"IP\"}]})",
                    "\xB1\xB1\xBE\xA9\xCA\xD0 \xB5\xE7\xD0\xC5"},
        ExtractCase{"inner_space_kept", kOpen + "A B" + kClose, "A B"},
        ExtractCase{"empty_json_string", kOpen + kClose, ""},
        ExtractCase{"empty_body", "", ""},
        ExtractCase{"no_closing_marker", kOpen + "A B\"}", ""},
        ExtractCase{"closing_marker_alone", "x" + kClose + "y", ""},
        ExtractCase{"closing_before_opening", kClose + kOpen + "A" + kClose, ""},
        ExtractCase{"opening_twice", kOpen + "A" + kOpen + "B" + kClose, "A" + kOpen + "B"},
        ExtractCase{"zero_byte_before_markers", std::string("x\0", 2) + kOpen + "A" + kClose, ""},
        ExtractCase{"zero_byte_inside_location", kOpen + std::string("A\0B", 3) + kClose, ""},
        ExtractCase{"capital_L_does_not_match", "{\"Location\":\"A" + kClose, ""},
        ExtractCase{"json_escapes_kept", kOpen + "\\u5317\\u4eac" + kClose, "\\u5317\\u4eac"},
        // D6 7B is one GBK character: its second byte 7B is not the start
        // of the opening marker, and the marker is found nowhere else.
        ExtractCase{"brace_as_second_byte", "\xD6" + kOpen + "A" + kClose, ""},
        // Here a real opening marker follows the character.
        ExtractCase{"brace_as_second_byte_then_marker", "\xD6" + kOpen + "A" + kOpen + "B" + kClose, "B"},
        ExtractCase{"closing_quote_as_second_byte", kOpen + "A\xB1" + kClose + "C" + kClose, "A\xB1" + kClose + "C"},
        ExtractCase{"lead_byte_last", kOpen + "A" + kClose + "\xB1", "A"},
        ExtractCase{"lead_byte_last_before_closing", kOpen + "A\xB1", ""},
        ExtractCase{"cut_mid_body_after_markers", "{\"data\":[" + kOpen + "X" + kClose + "\":\"unfinished", "X"}),
    [](const testing::TestParamInfo<ExtractCase> &info) { return std::string(info.param.label); });

TEST(FindMarker, OneBasedAndOnlyAtCharacterStarts)
{
    EXPECT_EQ(findMarker("ab{c", "{"), 3);
    EXPECT_EQ(findMarker("ab", "{"), -1);
    EXPECT_EQ(findMarker("\xB1{{", "{"), 3);
    EXPECT_EQ(findMarker("\xB1", "{"), -1);
}

TEST(LocationUrl, AddressGoesInUnchanged)
{
    EXPECT_EQ(locationUrl("192.0.2.1"),
              "https://iplocation.example/7xXHrzrkJMZ6nydnqleM7AKd/api.php?query=192.0.2.1&co=&resource_id=6006"
              "&t=1459300568293&ie=utf8&oe=gbk&cb=op_aladdin_callback&format=json&tn=baidu"
              "&cb=jQuery110202758941224004708_1459300538281&_=1459300538289");
    EXPECT_EQ(kOpeningMarker.size(), 13u);
    EXPECT_EQ(kClosingMarker.size(), 13u);
}

}  // namespace
}  // namespace dnsbatch
