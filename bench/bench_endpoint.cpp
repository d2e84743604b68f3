// 100,000 replies arrive while the window's handler is busy for two
// seconds: how many raise their event afterwards, with our endpoint (a
// receiver thread moving datagrams into the program's queue) beside a plain
// socket that only the event loop reads.
//
//   bench_endpoint [DATAGRAMS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "udp_endpoint.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBusy = std::chrono::seconds(2);

void burst(uint16_t port, int count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    std::string reply(60, 'r');  // about the size of an A reply
    for (int i = 0; i < count; ++i)
        ::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    ::close(fd);
}

void ours(int count)
{
    dnsbatch::UdpEndpoint endpoint(0, nullptr);
    std::thread sender(burst, endpoint.localPort(), count);
    std::this_thread::sleep_for(kBusy);  // the handler blocks
    sender.join();
    const auto start = Clock::now();
    int events = 0;
    while (endpoint.takeNext())
        ++events;
    std::printf("receiver thread: %d of %d raised their event, worked off in %.1f ms\n", events, count,
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
}

void plainSocket(int count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof local;
    ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length);
    std::thread sender(burst, ntohs(local.sin_port), count);
    std::this_thread::sleep_for(kBusy);  // the event loop is held by the handler
    sender.join();
    const auto start = Clock::now();
    int events = 0;
    char buffer[65536];
    while (::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0)
        ++events;
    std::printf("socket read by the event loop only: %d of %d raised their event, worked off in %.1f ms\n", events,
                count, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    ::close(fd);
}

}  // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    ours(count);
    plainSocket(count);
    return 0;
}
