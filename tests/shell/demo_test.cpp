// Run by scripts/demo in place of dnsbatch (see tests/shell/CMakeLists.txt):
// the demo's server and sample list, driven through the real window as the
// demo asks a user to: load the list, type the address, press "DNS查询".
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gui_driver.h"
#include "location_lookup.h"
#include "native_path.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

TEST(Demo, SampleListGivesTheSampleRows)
{
    const char *list = std::getenv("DNSBATCH_DEMO_LIST");
    const char *server = std::getenv("DNSBATCH_DEMO_SERVER");
    ASSERT_TRUE(list && server) << "run through scripts/demo";

    MainWindow window;
    Workflow workflow(window, [](std::string_view address) { return lookupLocation(address); });
    ASSERT_TRUE(test::startWired(window, workflow));
    std::ifstream in(list, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    test::loadThroughDialog(window, list, content);
    window.setEditText(EditBox::server, server);
    test::button(window, "按钮1")->click();
    (void)QTest::qWaitFor([&] { return window.rowCount() >= 6; }, 10000);
    QTest::qWait(300);

    test::Rows rows = test::shownRows(window);
    std::sort(rows.begin(), rows.end());
    const std::string gbkName = "\xD6\xD0\xCE\xC4.demo.example";
    test::Rows expected = {
        {"www.demo.example", "www.demo.example", "192.0.2.10", ""},
        {"www.demo.example", "www.demo.example", "192.0.2.11", ""},
        {"mail.demo.example", "www.demo.example", "192.0.2.10", ""},
        {"mail.demo.example", "www.demo.example", "192.0.2.11", ""},
        {"ftp.demo.example", "ftp.demo.example", "198.51.100.7", ""},
        {gbkName, gbkName, "203.0.113.5", ""},
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);

    // Run under a real X server, it can take the README's screenshot.
    if (const char *shot = std::getenv("DNSBATCH_SCREENSHOT")) {
        test::resultList(window)->selectRow(1);
        QTest::qWait(500);
        EXPECT_TRUE(window.screen()->grabWindow(0).save(QString::fromLocal8Bit(shot), "PNG"));
    }
}

}  // namespace
}  // namespace dnsbatch
