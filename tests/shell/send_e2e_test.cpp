// Run by send_e2e.py inside a private network and mount namespace, where
// this process may listen on port 53 and /etc/hosts names dns.test. The real
// window, offscreen: a list loaded through the real dialog, "DNS查询"
// pressed, and what a listener on port 53 receives.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "application.h"
#include "domain_list.h"
#include "gui_driver.h"
#include "main_window.h"
#include "query_encoder.h"
#include "workflow.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;

struct Received {
    std::string bytes;
    uint16_t fromPort;
    bool operator==(const Received &) const = default;
};

class SendEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        listener_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(53);
        ASSERT_EQ(::bind(listener_, reinterpret_cast<sockaddr *>(&any), sizeof any), 0) << "port 53";
        timeval timeout{0, 300'000};
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

        dir_ = fs::temp_directory_path() / fs::path("dnsbatch-发送-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        workflow_.initDomainList();
        wireWindow(window_, workflow_);
        window_.showCentred();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        ASSERT_TRUE(window_.endpoint().isOpen());
    }
    void TearDown() override
    {
        ::close(listener_);
        fs::remove_all(dir_);
    }

    void loadThroughDialog(const std::string &content)
    {
        const fs::path file = dir_ / fs::path("域名列表.txt");
        test::loadThroughDialog(window_, file, content);
        EXPECT_EQ(window_.findChild<QLineEdit *>(QStringLiteral("编辑框1"))->text(), QString::fromStdString(file.string()));
    }

    QPushButton *button(const char *name) { return test::button(window_, name); }

    std::vector<Received> receiveAll()
    {
        std::vector<Received> received;
        for (;;) {
            std::string buffer(65536, '\0');
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(listener_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&from), &length);
            if (n < 0)
                return received;
            buffer.resize(static_cast<size_t>(n));
            received.push_back({buffer, ntohs(from.sin_port)});
        }
    }

    static std::vector<Received> queriesFor(const DomainList &names)
    {
        std::vector<Received> queries;
        for (const std::string &name : names)
            queries.push_back({encodeQuery(trimSpaces(name), 0), MainWindow::kEndpointPort});
        return queries;
    }

    int listener_ = -1;
    fs::path dir_;
    MainWindow window_;
    Workflow workflow_{window_, [](std::string_view) { return std::string(); }};
};

const char kList[] = "a.example\r\n \xA1\xA1" "b.example \r\n\r\n\xD6\xD0\xCE\xC4.example\r\nlast.example";

TEST_F(SendEndToEnd, ListFromTheDialogGoesOutInOrderFromPort19730)
{
    loadThroughDialog(kList);
    window_.setEditText(EditBox::server, "127.0.0.1");
    button("按钮1")->click();
    EXPECT_EQ(receiveAll(), queriesFor(splitLines(kList)));
}

TEST_F(SendEndToEnd, HostNameIsResolvedThroughTheSystem)
{
    loadThroughDialog("a.example\r\nb.example");
    window_.setEditText(EditBox::server, "dns.test");  // 127.0.0.1 in this namespace's /etc/hosts
    button("按钮1")->click();
    EXPECT_EQ(receiveAll(), queriesFor({"a.example", "b.example"}));

    window_.setEditText(EditBox::server, "no-such-name.invalid");
    button("按钮1")->click();
    EXPECT_TRUE(receiveAll().empty());
}

TEST_F(SendEndToEnd, EmptyServerBoxBroadcasts)
{
    if (!std::getenv("DNSBATCH_E2E_BROADCAST"))
        GTEST_SKIP() << "this namespace has no route for 255.255.255.255";
    loadThroughDialog("a.example");
    window_.setEditText(EditBox::server, "");
    button("按钮1")->click();
    EXPECT_EQ(receiveAll(), queriesFor({"a.example"}));
}

}  // namespace
}  // namespace dnsbatch
