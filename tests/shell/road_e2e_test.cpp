// The whole road, run by road_e2e.py inside a private network and mount
// namespace with nsd on 127.0.0.1:53 (zone test.example) and nginx as the
// location service at iplocation.example. The real window, offscreen.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "application.h"
#include "gui_driver.h"
#include "location_lookup.h"
#include "main_window.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;
using test::Rows;

// The locations the test service gives, as GBK bytes.
const std::string kBeijing = "\xB1\xB1\xBE\xA9\xCA\xD0 \xC1\xAA\xCD\xA8";     // 北京市 联通
const std::string kShanghai = "\xC9\xCF\xBA\xA3\xCA\xD0 \xB5\xE7\xD0\xC5";    // 上海市 电信
const std::string kShenzhen = "\xB9\xE3\xB6\xAB\xCA\xA1\xC9\xEE\xDB\xDA\xCA\xD0";  // 广东省深圳市
const std::string kChina = "\xD6\xD0\xB9\xFA";                                  // 中国
const std::string kGbkName = "\xD6\xD0\xCE\xC4.test.example";                   // 中文.test.example

class Road : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / fs::path("dnsbatch-全程-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ASSERT_TRUE(test::startWired(window_, workflow_));
        std::error_code ignored;
        fs::remove(exportFile(), ignored);
    }
    void TearDown() override
    {
        fs::remove_all(dir_);
        std::error_code ignored;
        fs::remove(exportFile(), ignored);
    }

    static fs::path exportFile()
    {
        return fs::read_symlink("/proc/self/exe").parent_path() / fs::path("导出的文本.txt");
    }

    void query(const std::string &list)
    {
        test::loadThroughDialog(window_, dir_ / fs::path("名单.txt"), list);
        window_.setEditText(EditBox::server, "127.0.0.1");
        test::button(window_, "按钮1")->click();
    }

    // Waits until count rows have come, then a little longer for any extra.
    Rows rowsOnceThereAre(int count, int timeoutMs = 20000)
    {
        (void)QTest::qWaitFor([&] { return window_.rowCount() >= count; }, timeoutMs);
        QTest::qWait(300);
        return test::shownRows(window_);
    }

    static Rows sorted(Rows rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    fs::path dir_;
    MainWindow window_;
    Workflow workflow_{window_, [](std::string_view address) { return lookupLocation(address); }};
};

TEST_F(Road, ListToRowsToTheExportFile)
{
    query("multi.test.example\r\nalias.test.example\r\nv6only.test.example\r\nmissing.test.example\r\n" + kGbkName +
          "\r\n");
    const Rows rows = rowsOnceThereAre(5);
    EXPECT_EQ(sorted(rows), sorted({
                                {"multi.test.example", "multi.test.example", "192.0.2.1", kBeijing},
                                {"multi.test.example", "multi.test.example", "192.0.2.2", kShanghai},
                                {"multi.test.example", "multi.test.example", "192.0.2.3", kShenzhen},
                                {"alias.test.example", "target.test.example", "192.0.2.4", "LOC-4"},
                                {kGbkName, kGbkName, "192.0.2.5", kChina},
                            }));

    QTest::mouseClick(test::resultList(window_)->viewport(), Qt::RightButton, {}, QPoint(300, 300));
    std::string expected;
    for (const auto &row : rows)
        expected += row[0] + "," + row[1] + "," + row[2] + "\r\n";
    std::ifstream in(exportFile(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), expected);
}

TEST_F(Road, CraftedDatagramsGiveExactlyTheirRows)
{
    test::sendToEndpoint("\x01");
    test::sendToEndpoint(std::string(2000, '\x5A'));
    // hand.example with two answers: one owned through a pointer to the
    // question, one through a pointer into the middle of it (example).
    const std::string reply = std::string("\xAB\xCD\x81\x80\x00\x01\x00\x02\x00\x00\x00\x00", 12) +
                              std::string("\x04hand\x07" "example\x00\x00\x01\x00\x01", 18) +
                              std::string("\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\xC0\x00\x02\x01", 16) +
                              std::string("\xC0\x11\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\xCB\x00\x71\x09", 16);
    test::sendToEndpoint(reply);
    const Rows rows = rowsOnceThereAre(2);
    EXPECT_EQ(rows, (Rows{{"hand.example", "hand.example", "192.0.2.1", kBeijing},
                          {"hand.example", "example", "203.0.113.9", ""}}));
}

// No DNS server at the address: every query comes back as an ICMP port
// unreachable. The endpoint keeps working, and a reply that comes later
// still gives its row.
TEST_F(Road, ServerAbsentThenALateReplyStillArrives)
{
    std::string list;
    for (int i = 0; i < 500; ++i)
        list += "absent" + std::to_string(i) + ".test.example\r\n";
    test::loadThroughDialog(window_, dir_ / fs::path("名单.txt"), list);
    window_.setEditText(EditBox::server, "127.0.0.9");  // nobody listens there
    test::button(window_, "按钮1")->click();
    ASSERT_TRUE(window_.endpoint().isOpen());
    const std::string reply = std::string("\x00\x00\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00", 12) +
                              std::string("\x04late\x07" "example\x00\x00\x01\x00\x01", 18) +
                              std::string("\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\xC0\x00\x02\x04", 16);
    test::sendToEndpoint(reply);
    EXPECT_EQ(rowsOnceThereAre(1), (Rows{{"late.example", "late.example", "192.0.2.4", "LOC-4"}}));
}

// road_e2e.py runs this with the executable's folder mounted read-only.
TEST_F(Road, ExportIntoAReadOnlyFolderLeavesNothingAndGoesOn)
{
    window_.appendRow("a.example");
    window_.setCellText(0, 2, "192.0.2.1");
    QTest::mouseClick(test::resultList(window_)->viewport(), Qt::RightButton, {}, QPoint(10, 5));
    EXPECT_FALSE(fs::exists(exportFile()));
    EXPECT_EQ(window_.rowCount(), 1);  // and the window carries on
}

// The location service is down (road_e2e.py runs this with nginx stopped,
// and again with a listener that never answers): every reply still gives
// its rows, with the 归属 cell empty.
TEST_F(Road, ThousandNamesWithTheLocationServiceDown)
{
    std::string list;
    Rows expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "bulk" + std::to_string(i) + ".test.example";
        list += name + "\r\n";
        expected.push_back({name, name, "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1), ""});
    }
    const auto start = std::chrono::steady_clock::now();
    query(list);
    const Rows rows = rowsOnceThereAre(1000, 120000);
    EXPECT_EQ(sorted(rows), sorted(expected));
    std::printf("1000 names, %d rows in %.1f s\n", window_.rowCount(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace
}  // namespace dnsbatch
