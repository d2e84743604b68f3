#include <gtest/gtest.h>

#include <algorithm>

#include "hex.h"
#include "name_reader.h"

namespace dnsbatch {
namespace {

using test::hex;

// A 12-byte header of zeros (ID 0), the name cde at offset 12 (03 63 64 65
// 00, so offset 16 holds a 00 byte), and the bytes under test from offset 17.
const std::string kPrefix = hex("00 00 81 80 00 01 00 00 00 00 00 00  03 63 64 65 00");
constexpr int32_t kStart = 17;

struct NameCase {
    const char *label;
    std::string bytes;
    std::string name;
    int32_t moves;
};

void PrintTo(const NameCase &c, std::ostream *os) { *os << c.label; }


class ReadName : public testing::TestWithParam<NameCase> {};

TEST_P(ReadName, GivesTextAndMovesCursor)
{
    const NameCase &c = GetParam();
    const std::string message = kPrefix + c.bytes;
    int32_t cursor = kStart;
    EXPECT_EQ(readName(message, cursor), c.name);
    EXPECT_EQ(cursor, kStart + c.moves);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ReadName,
    testing::Values(NameCase{"root", hex("00"), "", 1},
                    NameCase{"labels", hex("02 61 62 03 63 64 65 00"), "ab.cde", 8},
                    NameCase{"labels_then_pointer", hex("02 61 62 C0 0C"), "ab.cde", 5},
                    NameCase{"pointer_alone", hex("C0 0C"), "cde", 2},
                    NameCase{"prefix_40_is_a_pointer", hex("02 61 62 40 0C"), "ab.cde", 5},
                    NameCase{"prefix_80_is_a_pointer", hex("02 61 62 80 0C"), "ab.cde", 5},
                    NameCase{"zero_byte_cuts_label_text", hex("04 61 00 62 63 00"), "a", 6},
                    NameCase{"full_stop_in_label_not_escaped", hex("03 61 2E 62 00"), "a.b", 5}),
    [](const testing::TestParamInfo<NameCase> &info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Pointers, ReadName,
    testing::Values(
        NameCase{"pointer_to_root_after_labels_keeps_stop", hex("02 61 62 C0 10"), "ab.", 5},
        NameCase{"pointer_to_root_alone", hex("C0 10"), "", 2},
        NameCase{"pointer_to_id_bytes", hex("02 61 62 C0 00"), "ab.", 5},
        NameCase{"pointer_far_past_end", hex("02 61 62 CC 0C"), "ab.", 5},
        NameCase{"pointer_far_past_end_alone", hex("CC 0C"), "", 2},
        // x.cde at 17, then ab + pointer to it from 21: a target that itself
        // ends in a pointer.
        NameCase{"chain_through_name_ending_in_pointer", hex("01 78 C0 0C  02 61 62 C0 11"), "x.cde", 4},
        // A pointer forward, to a name that lies after it.
        NameCase{"forward_pointer", hex("C0 13  03 66 6F 6F C0 0C"), "foo.cde", 2}),
    [](const testing::TestParamInfo<NameCase> &info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    AtTheEnd, ReadName,
    testing::Values(
        // Bytes past the end read as 0; the cursor counts on past the end.
        NameCase{"label_runs_past_end", hex("05 61 62"), "ab", 7},
        NameCase{"length_byte_is_last_byte", hex("03"), "", 5},
        NameCase{"pointer_second_byte_missing", hex("02 61 62 C0"), "ab.", 5},
        NameCase{"cursor_at_end", "", "", 1}),
    [](const testing::TestParamInfo<NameCase> &info) { return std::string(info.param.label); });

TEST(ReadName, ChainedAfterLabelsCursorStaysAfterFirstPointer)
{
    const std::string message = kPrefix + hex("01 78 C0 0C  02 61 62 C0 11");
    int32_t cursor = 21;
    EXPECT_EQ(readName(message, cursor), "ab.x.cde");
    EXPECT_EQ(cursor, 26);
}

TEST(ReadName, LongLabelsAndNamesHaveNoLimit)
{
    std::string bytes;
    std::string expected;
    for (int i = 0; i < 6; ++i) {
        const std::string label(63, static_cast<char>(0xB0 + i));
        bytes += hex("3F") + label;
        expected += (i ? "." : "") + label;
    }
    int32_t cursor = kStart;
    EXPECT_EQ(readName(kPrefix + bytes + hex("00"), cursor), expected);
    EXPECT_EQ(expected.size(), 383u);
}

TEST(ReadName, CursorOutsideTheMessageReadsZeros)
{
    int32_t cursor = -5;
    EXPECT_EQ(readName(kPrefix, cursor), "");
    EXPECT_EQ(cursor, -4);
    cursor = INT32_MAX;
    EXPECT_EQ(readName(kPrefix, cursor), "");
    EXPECT_EQ(cursor, INT32_MAX);  // saturates, never wraps
}

// Hostile names: each must end, and read as the guard says.
TEST(ReadNameGuard, PointerToItself)
{
    const std::string message = hex("00 00 00 00 00 00 00 00 00 00 00 00  C0 0C");
    int32_t cursor = 12;
    EXPECT_EQ(readName(message, cursor), "");
    EXPECT_EQ(cursor, 14);
}

TEST(ReadNameGuard, LoopBackToAFollowedTarget)
{
    // a at 12 points to 16; b at 16 points back to 12, then 16 is seen again.
    const std::string message = hex("00 00 00 00 00 00 00 00 00 00 00 00  01 61 C0 10  01 62 C0 0C");
    int32_t cursor = 12;
    EXPECT_EQ(readName(message, cursor), "a.b.a.");
    EXPECT_EQ(cursor, 16);
}

std::string pointerChain(int pointers)
{
    // Pointer i at offset 12 + 2i names offset 12 + 2(i + 1); the last one
    // names the label z.
    std::string message(12, '\0');
    for (int i = 0; i < pointers; ++i) {
        const int next = 12 + 2 * (i + 1);
        message.push_back(static_cast<char>(0xC0 | (next >> 8)));
        message.push_back(static_cast<char>(next & 0xFF));
    }
    return message + hex("01 7A 00");
}

TEST(ReadNameGuard, LongChainsWithoutLoopsReadUpToTheHopLimit)
{
    int32_t cursor = 12;
    EXPECT_EQ(readName(pointerChain(64), cursor), "z");
    EXPECT_EQ(cursor, 14);
    cursor = 12;
    EXPECT_EQ(readName(pointerChain(65), cursor), "");
    EXPECT_EQ(cursor, 14);
}

TEST(ReadNameGuard, NeverMoreLabelBytesThanTheMessageHolds)
{
    // 720 bytes of 02 read as labels "02 02" in three alignments; the three
    // pointers that follow the run (C0 C1, C1 C1, C1 02, overlapping) lead
    // into the run at a new alignment each time, so without the guard the
    // name would re-read the run about twice over.
    std::string message(12, '\0');
    message += std::string(720, '\x02');
    message += hex("C0 C1 C1 02");
    int32_t cursor = 12;
    const std::string name = readName(message, cursor);
    const auto labelBytes = static_cast<size_t>(std::count_if(name.begin(), name.end(), [](char c) { return c != '.'; }));
    EXPECT_GT(labelBytes, 480u);  // the first stretch at least
    EXPECT_LE(labelBytes, message.size());
    EXPECT_EQ(cursor, 12 + 720 + 2);
}

}  // namespace
}  // namespace dnsbatch
