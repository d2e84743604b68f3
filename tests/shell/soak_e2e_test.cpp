// Hostile datagrams at port 19730 while the real window runs (offscreen)
// with the location service unreachable: random bytes of random length,
// truncations and bit flips of real replies, and crafted worst cases. The
// program must not crash, must raise one event per datagram, must keep its
// memory bounded, and must still turn the next genuine reply into its row.
//
// Run by soak_e2e.py in a private network namespace. DNSBATCH_SOAK_DATAGRAMS
// sets how many (20,000 unless told).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "gui_driver.h"
#include "location_lookup.h"

namespace dnsbatch {
namespace {

std::string hostileDatagram(std::mt19937 &rng, uint64_t i)
{
    static const std::string realReply(
        "\x00\x00\x81\x80\x00\x01\x00\x02\x00\x00\x00\x00\x02\x61\x62\x03\x63\x64\x65\x00\x00\x01\x00\x01"
        "\xC0\x0C\x00\x05\x00\x01\x00\x00\x00\x3C\x00\x05\x02\x78\x79\xC0\x0C"
        "\xC0\x24\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\xC0\xA8\x01\x0A",
        57);
    std::string d;
    switch (i % 6) {
    case 0: {  // random bytes, random length up to 65,507
        d.resize(std::uniform_int_distribution<size_t>(1, 65507)(rng));
        for (char &c : d)
            c = static_cast<char>(rng());
        break;
    }
    case 1:  // a truncation of a real reply
        d = realReply.substr(0, std::uniform_int_distribution<size_t>(1, realReply.size())(rng));
        break;
    case 2: {  // bit flips in a real reply
        d = realReply;
        for (int flips = 0; flips < 3; ++flips)
            d[rng() % d.size()] ^= static_cast<char>(1 << (rng() % 8));
        break;
    }
    case 3:  // a pointer loop in the question and answer names
        d = std::string("\x00\x00\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00\xC0\x0C\x00\x01\x00\x01"
                        "\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x01\x00\x04\x01\x02\x03\x04",
                        34);
        break;
    case 4:  // negative and huge counts, nothing behind them
        d = std::string("\x00\x00\x81\x80\x7F\xFF\x80\x00\x7F\xFF\xFF\xFF", 12);
        break;
    default: {  // 32,767 records re-reading one long name through a negative rdLength
        d = std::string("\x00\x00\x81\x80\x00\x00\x7F\xFF\x7F\xFF\x7F\xFF\xC0\x18\x00\x01\x00\x01\x00\x00\x00\x01\xFF\xF4", 24);
        while (d.size() + 64 < 65000)
            d += '\x3F' + std::string(63, 'n');
        d += '\0';
    }
    }
    return d;
}

long peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(Soak, HostileDatagramsThenOneGenuineReply)
{
    const char *env = std::getenv("DNSBATCH_SOAK_DATAGRAMS");
    const uint64_t total = env ? std::strtoull(env, nullptr, 10) : 20000;

    MainWindow window;
    Workflow workflow(window, [](std::string_view address) { return lookupLocation(address); });
    ASSERT_TRUE(test::startWired(window, workflow));
    std::atomic<uint64_t> events{0};
    window.setHandlers({[] {}, [] {}, [&] {
                            ++events;
                            workflow.onReplyArrived();
                        },
                        [] {}});

    // The sender keeps at most 2,000 datagrams ahead of the window, so that
    // every one reaches the program (the point is the decoder, not a flood).
    std::atomic<bool> done{false};
    std::thread sender([&] {
        std::mt19937 rng(20261211);
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        int size = 8 << 20;
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(MainWindow::kEndpointPort);
        for (uint64_t i = 0; i < total; ++i) {
            while (i - events.load() > 2000)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const std::string d = hostileDatagram(rng, i);
            ::sendto(fd, d.data(), d.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
        }
        ::close(fd);
        done = true;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done && events.load() >= total; }, 30 * 60 * 1000));
    sender.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(events.load(), total);
    EXPECT_EQ(window.endpoint().dropped(), 0u);
    std::printf("%llu hostile datagrams, %llu events, %d rows, %.1f s, peak RSS %ld MiB\n",
                static_cast<unsigned long long>(total), static_cast<unsigned long long>(events.load()),
                window.rowCount(), seconds, peakRssMiB());
    EXPECT_LT(peakRssMiB(), 1024);

    // And then a genuine reply still gives exactly its row.
    window.clearResults();
    const std::string genuine(
        "\x12\x34\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00\x04real\x07" "example\x00\x00\x01\x00\x01"
        "\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04\xC6\x33\x64\x07",
        46);
    test::sendToEndpoint(genuine);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.rowCount() >= 1; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(test::shownRows(window), (test::Rows{{"real.example", "real.example", "198.51.100.7", ""}}));
}

}  // namespace
}  // namespace dnsbatch
