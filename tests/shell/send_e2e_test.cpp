// Run by send_e2e.py inside a private network and mount namespace, where
// this process may listen on port 53 and /etc/hosts names dns.test. The real
// window, offscreen: a list loaded through the real dialog, "DNS查询"
// pressed, and what a listener on port 53 receives.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

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
        ASSERT_TRUE(test::startWired(window_, workflow_));
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

// A UDP server on port 53 that reads every query and answers only every
// other one (answers = 2) or none at all (answers = 0).
class Responder {
public:
    Responder(int fd, int answerEvery) : fd_(fd), every_(answerEvery), thread_([this] { run(); }) {}
    ~Responder()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::string> queries()
    {
        std::lock_guard lock(mutex_);
        return queries_;
    }

private:
    void run()
    {
        while (!stop_) {
            std::string buffer(65536, '\0');
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&from), &length);
            if (n < 0)
                continue;
            buffer.resize(static_cast<size_t>(n));
            size_t seen;
            {
                std::lock_guard lock(mutex_);
                queries_.push_back(buffer);
                seen = queries_.size();
            }
            if (every_ > 0 && seen % static_cast<size_t>(every_) == 0) {
                buffer[2] = static_cast<char>(0x81);  // a reply with no answers
                ::sendto(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&from), length);
            }
        }
    }

    int fd_;
    int every_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> queries_;
    std::thread thread_;
};

std::string manyNames(int count)
{
    std::string list;
    for (int i = 0; i < count; ++i)
        list += "name" + std::to_string(i) + ".example\r\n";
    return list;
}

// Back-pressure: the burst waits for answers once 200 queries are out, at
// most 250 ms at a time, so it always ends, each query sent exactly once.
TEST_F(SendEndToEnd, BurstEndsWhenTheServerAnswersEveryOtherQuery)
{
    constexpr int kNames = 3000;
    loadThroughDialog(manyNames(kNames));
    window_.setEditText(EditBox::server, "127.0.0.1");
    std::vector<std::string> queries;
    double seconds;
    {
        Responder responder(listener_, 2);
        const auto start = std::chrono::steady_clock::now();
        button("按钮1")->click();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        QTest::qWait(300);
        queries = responder.queries();
    }
    std::sort(queries.begin(), queries.end());
    EXPECT_EQ(queries.size(), static_cast<size_t>(kNames));
    EXPECT_EQ(std::unique(queries.begin(), queries.end()), queries.end());  // none twice
    EXPECT_LT(seconds, kNames / 200.0 * 0.25 + 2.0);
    std::printf("%d names, every other one answered: sent in %.2f s\n", kNames, seconds);
}

TEST_F(SendEndToEnd, SilentServerGetsTheWholeListWithinTheBound)
{
    constexpr int kNames = 2000;
    loadThroughDialog(manyNames(kNames));
    window_.setEditText(EditBox::server, "127.0.0.1");
    std::vector<std::string> queries;
    double seconds;
    {
        Responder responder(listener_, 0);
        const auto start = std::chrono::steady_clock::now();
        button("按钮1")->click();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        QTest::qWait(300);
        queries = responder.queries();
    }
    EXPECT_EQ(queries.size(), static_cast<size_t>(kNames));
    EXPECT_LE(seconds, kNames / 200 * 0.25 + 1.0);
    std::printf("%d names, none answered: sent in %.2f s\n", kNames, seconds);

    // Nobody at all at the address: the same bound.
    window_.setEditText(EditBox::server, "127.0.0.2");
    const auto start = std::chrono::steady_clock::now();
    button("按钮1")->click();
    EXPECT_LE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), kNames / 200 * 0.25 + 1.0);
}

}  // namespace
}  // namespace dnsbatch
