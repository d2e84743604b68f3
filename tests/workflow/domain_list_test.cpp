#include <gtest/gtest.h>

#include "domain_list.h"

namespace dnsbatch {
namespace {

struct SplitCase {
    const char *label;
    std::string text;
    DomainList lines;
};

void PrintTo(const SplitCase &c, std::ostream *os) { *os << c.label; }

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, CutsAtCrLfStartingACharacter)
{
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLines,
    testing::Values(
        SplitCase{"two_names", "a.com\r\nb.com\r\n", {"a.com", "b.com"}},
        SplitCase{"no_final_crlf", "a.com\r\nb.com", {"a.com", "b.com"}},
        SplitCase{"empty_line_inside", "a.com\r\n\r\nb.com", {"a.com", "", "b.com"}},
        SplitCase{"just_crlf", "\r\n", {""}},
        SplitCase{"empty_text", "", {}},
        SplitCase{"no_crlf", "a.com", {"a.com"}},
        SplitCase{"lf_only", "a.com\nb.com\n", {"a.com\nb.com\n"}},
        SplitCase{"lone_cr", "a.com\rb.com", {"a.com\rb.com"}},
        SplitCase{"cr_cr_lf", "a.com\r\r\nb.com\r\r\n", {"a.com\r", "b.com\r"}},
        // An odd run of bytes of 80 and above takes the CR as its last
        // character's second byte: no cut there.
        SplitCase{"odd_high_run_swallows_cr", "\xD6\xD0\xB9\r\nb.com\r\nc", {"\xD6\xD0\xB9\r\nb.com", "c"}},
        SplitCase{"even_high_run_keeps_cut", "\xD6\xD0\r\nb", {"\xD6\xD0", "b"}},
        SplitCase{"utf8_name_line", "\xE4\xB8\xAD.cn\r\nb", {"\xE4\xB8\xAD.cn", "b"}},
        SplitCase{"byte_order_mark_stays", "\xEF\xBB\xBF" "a.com\r\nb", {"\xEF\xBB\xBF" "a.com", "b"}},
        SplitCase{"dangling_lead_at_end", "a\r\n\xD6", {"a", "\xD6"}}),
    [](const testing::TestParamInfo<SplitCase> &info) { return std::string(info.param.label); });

struct TrimCase {
    const char *label;
    std::string text;
    std::string trimmed;
};

void PrintTo(const TrimCase &c, std::ostream *os) { *os << c.label; }

class TrimSpaces : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimSpaces, RemovesAsciiAndFullWidthSpacesAtBothEnds)
{
    EXPECT_EQ(trimSpaces(GetParam().text), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimSpaces,
    testing::Values(
        TrimCase{"nothing_to_trim", "a.com", "a.com"},
        TrimCase{"ascii_and_full_width", "  a.com\xA1\xA1", "a.com"},
        TrimCase{"full_width_leading", "\xA1\xA1 a.com ", "a.com"},
        TrimCase{"inner_spaces_stay", " a b\xA1\xA1" "c ", "a b\xA1\xA1" "c"},
        TrimCase{"tab_stays", "\ta.com ", "\ta.com"},
        TrimCase{"cr_and_lf_stay", "a.com\r", "a.com\r"},
        TrimCase{"only_spaces", "  \xA1\xA1 ", ""},
        TrimCase{"empty", "", ""},
        TrimCase{"dangling_lead_dropped_spaces_before_it_stay", "a.com \xD6", "a.com "},
        TrimCase{"dangling_lead_after_only_spaces", "  \xD6", ""},
        // A1 as the second byte of a character is not half a space.
        TrimCase{"a1_as_second_byte", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        TrimCase{"gbk_name", "\xA1\xA1\xD6\xD0\xCE\xC4.cn\xA1\xA1", "\xD6\xD0\xCE\xC4.cn"}),
    [](const testing::TestParamInfo<TrimCase> &info) { return std::string(info.param.label); });

}  // namespace
}  // namespace dnsbatch
