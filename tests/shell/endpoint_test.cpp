// The UDP endpoint on its own: what arrives, in what order, and sending.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "udp_endpoint.h"

namespace dnsbatch {
namespace {

using namespace std::chrono_literals;

// A plain UDP socket on 127.0.0.1 to talk to the endpoint.
class Peer {
public:
    Peer()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr *>(&local), sizeof local);
        socklen_t length = sizeof local;
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&local), &length);
        port_ = ntohs(local.sin_port);
        timeval timeout{2, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    ~Peer() { ::close(fd_); }
    uint16_t port() const { return port_; }

    void sendTo(uint16_t port, const std::string &bytes) const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        ASSERT_EQ(::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to),
                  static_cast<ssize_t>(bytes.size()));
    }

    std::string receive() const
    {
        std::string buffer(65536, '\0');
        const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
        buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return buffer;
    }

private:
    int fd_;
    uint16_t port_;
};

// Collects what the endpoint hands over, the way the window does: a notice,
// then takeNext() until nothing more waits.
class Collector {
public:
    UdpEndpoint::Notify notify()
    {
        return [this] {
            std::lock_guard lock(mutex_);
            ++notices_;
            changed_.notify_all();
        };
    }

    std::vector<std::string> drain(UdpEndpoint &endpoint, size_t expected)
    {
        std::vector<std::string> taken;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (taken.size() < expected && std::chrono::steady_clock::now() < deadline) {
            while (auto next = endpoint.takeNext())
                taken.push_back(std::move(next->datagram));
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 10ms);
        }
        return taken;
    }

    int notices()
    {
        std::lock_guard lock(mutex_);
        return notices_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int notices_ = 0;
};

TEST(UdpEndpoint, TakesEveryDatagramWholeAndInOrder)
{
    Collector collector;
    UdpEndpoint endpoint(0, collector.notify());
    ASSERT_TRUE(endpoint.isOpen());
    Peer peer;
    const std::vector<std::string> sent = {"\x01", "", std::string(2000, 'x'), std::string(65507, 'y'), "last"};
    for (const std::string &datagram : sent)
        peer.sendTo(endpoint.localPort(), datagram);

    const std::vector<std::string> taken = collector.drain(endpoint, 4);
    ASSERT_EQ(taken.size(), 4u);  // the empty datagram raises nothing
    EXPECT_EQ(taken[0], "\x01");
    EXPECT_EQ(taken[1], std::string(2000, 'x'));
    EXPECT_EQ(taken[2], std::string(65507, 'y'));
    EXPECT_EQ(taken[3], "last");
    EXPECT_EQ(endpoint.arrivals(), 5u);
    EXPECT_FALSE(endpoint.takeNext().has_value());
}

TEST(UdpEndpoint, DatagramsArrivingWhileNobodyTakesThemAllWait)
{
    // The owner is busy (takes nothing) while a burst far larger than a
    // default socket queue arrives; afterwards every datagram is there.
    Collector collector;
    UdpEndpoint endpoint(0, collector.notify());
    Peer peer;
    constexpr int kBurst = 5000;
    for (int i = 0; i < kBurst; ++i)
        peer.sendTo(endpoint.localPort(), "datagram " + std::to_string(i) + std::string(200, '.'));
    const std::vector<std::string> taken = collector.drain(endpoint, kBurst);
    ASSERT_EQ(taken.size(), static_cast<size_t>(kBurst));
    for (int i = 0; i < kBurst; ++i)
        ASSERT_EQ(taken[static_cast<size_t>(i)], "datagram " + std::to_string(i) + std::string(200, '.'));
    EXPECT_EQ(endpoint.dropped(), 0u);
}

TEST(UdpEndpoint, NoticeOnlyWhenTheQueueWasEmpty)
{
    Collector collector;
    UdpEndpoint endpoint(0, collector.notify());
    Peer peer;
    for (int i = 0; i < 3; ++i)
        peer.sendTo(endpoint.localPort(), "x");
    ASSERT_TRUE(endpoint.waitForArrival(2, 2s));
    EXPECT_EQ(collector.notices(), 1);
    auto first = endpoint.takeNext();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->moreWaiting);
    endpoint.takeNext();
    auto last = endpoint.takeNext();
    ASSERT_TRUE(last);
    EXPECT_FALSE(last->moreWaiting);
}

TEST(UdpEndpoint, SendsFromItsOwnPort)
{
    UdpEndpoint endpoint(0, nullptr);
    Peer server;
    ASSERT_TRUE(endpoint.send("127.0.0.1", server.port(), "query"));
    EXPECT_EQ(server.receive(), "query");
    ASSERT_TRUE(endpoint.send("localhost", server.port(), "by name"));
    EXPECT_EQ(server.receive(), "by name");
    server.sendTo(endpoint.localPort(), "reply");
    EXPECT_TRUE(endpoint.waitForArrival(0, 2s));
}

TEST(UdpEndpoint, UnresolvableNamesAndClosedEndpointsFailQuietly)
{
    UdpEndpoint endpoint(0, nullptr);
    EXPECT_FALSE(endpoint.send("no-such-host.invalid", 53, "q"));
    EXPECT_FALSE(endpoint.send("\xD6\xD0\xCE\xC4", 53, "q"));

    UdpEndpoint second(endpoint.localPort(), nullptr);  // the port is taken
    EXPECT_FALSE(second.isOpen());
    EXPECT_FALSE(second.send("127.0.0.1", 53, "q"));
    EXPECT_FALSE(second.takeNext().has_value());
}

TEST(UdpEndpoint, WaitForArrivalTimesOut)
{
    UdpEndpoint endpoint(0, nullptr);
    EXPECT_FALSE(endpoint.waitForArrival(endpoint.arrivals(), 20ms));
}

}  // namespace
}  // namespace dnsbatch
