#include <gtest/gtest.h>

#include "byte_order.h"
#include "hex.h"
#include "query_encoder.h"

namespace dnsbatch {
namespace {

using test::hex;
using test::toHex;

const std::string kHeaderId0 = hex("00 00 01 00 00 01 00 00 00 00 00 00");
const std::string kTypeAndClass = hex("00 01 00 01");

TEST(EncodeQuery, WorkedExampleWithBothIds)
{
    EXPECT_EQ(toHex(encodeQuery("ab.cde", 0)),
              "00 00 01 00 00 01 00 00 00 00 00 00 02 61 62 03 63 64 65 00 00 01 00 01");
    EXPECT_EQ(toHex(encodeQuery("ab.cde", 0x1234)),
              "12 34 01 00 00 01 00 00 00 00 00 00 02 61 62 03 63 64 65 00 00 01 00 01");
    EXPECT_EQ(toHex(encodeQuery("", 0xFF01).substr(0, 2)), "FF 01");
}

struct QnameCase {
    const char *label;
    std::string name;
    std::string qname;
};

void PrintTo(const QnameCase &c, std::ostream *os) { *os << c.label; }


class EncodeQname : public testing::TestWithParam<QnameCase> {};

TEST_P(EncodeQname, LabelsFollowTheFullStops)
{
    const QnameCase &c = GetParam();
    const std::string message = encodeQuery(c.name, 0);
    EXPECT_EQ(toHex(message), toHex(kHeaderId0 + c.qname + kTypeAndClass));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeQname,
    testing::Values(
        QnameCase{"empty", "", hex("00")},
        QnameCase{"trailing_stop", "ab.cde.", hex("02 61 62 03 63 64 65 00")},
        QnameCase{"single_stop", ".", hex("00 00")},
        QnameCase{"leading_stop", ".ab", hex("00 02 61 62 00")},
        QnameCase{"empty_middle", "ab..cd", hex("02 61 62 00 02 63 64 00")},
        QnameCase{"two_trailing_stops", "ab..", hex("02 61 62 00 00")},
        QnameCase{"gbk_counts_bytes", "\xD6\xD0.ab", hex("02 D6 D0 02 61 62 00")},
        QnameCase{"case_kept", "Ab.CdE", hex("02 41 62 03 43 64 45 00")},
        QnameCase{"zero_bytes_dropped", std::string("a\0b.\0c\0", 7), hex("02 61 62 01 63 00")},
        QnameCase{"only_zero_bytes", std::string("\0\0", 2), hex("00")},
        QnameCase{"no_escaping", "a\\.b", hex("02 61 5C 01 62 00")},
        QnameCase{"label_63", std::string(63, 'x'), hex("3F") + std::string(63, 'x') + hex("00")},
        QnameCase{"label_64_kept_whole", std::string(64, 'x'), hex("40") + std::string(64, 'x') + hex("00")},
        QnameCase{"label_256_wraps_length", std::string(256, 'x'), hex("00") + std::string(256, 'x') + hex("00")},
        QnameCase{"label_300_wraps_length", std::string(300, 'x'), hex("2C") + std::string(300, 'x') + hex("00")}),
    [](const testing::TestParamInfo<QnameCase> &info) { return std::string(info.param.label); });

TEST(EncodeQuery, NameOver255BytesIsEncodedInFull)
{
    std::string name;
    std::string qname;
    for (int i = 0; i < 10; ++i) {
        name += std::string(60, static_cast<char>('a' + i)) + ".";
        qname += hex("3C") + std::string(60, static_cast<char>('a' + i));
    }
    const std::string message = encodeQuery(name, 0);
    EXPECT_EQ(message.size(), 17u + 610u);
    EXPECT_EQ(message, kHeaderId0 + qname + hex("00") + kTypeAndClass);
}

TEST(ByteOrder, SwapsAndReverses)
{
    EXPECT_EQ(swap16(0x1234), 0x3412);
    EXPECT_EQ(swap16(0x7F00ABCD), 0x7F00CDAB);  // upper 16 bits stay
    EXPECT_EQ(swap32(0x12345678), 0x78563412);
    EXPECT_EQ(swap32(static_cast<int32_t>(0x800000FF)), static_cast<int32_t>(0xFF000080));
    EXPECT_EQ(reverseBytes(""), "");
    EXPECT_EQ(reverseBytes("abc"), "cba");
}

}  // namespace
}  // namespace dnsbatch
