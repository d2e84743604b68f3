#include "udp_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dnsbatch {

namespace {

constexpr int kReceiveBufferBytes = 8 << 20;
constexpr auto kSendWaitLimit = std::chrono::seconds(5);

bool resolve(std::string_view address, in_addr &out)
{
    const std::string text(address);
    if (text.empty()) {
        out.s_addr = htonl(INADDR_BROADCAST);
        return true;
    }
    if (inet_pton(AF_INET, text.c_str(), &out) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    out = reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

}  // namespace

UdpEndpoint::UdpEndpoint(uint16_t port, Notify notify) : notify_(std::move(notify))
{
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    wakeup_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (socket_ < 0 || wakeup_ < 0) {
        close();
        return;
    }
    // Ask for a large receive queue; the force variant works with
    // CAP_NET_ADMIN, the plain one up to net.core.rmem_max.
    const int size = kReceiveBufferBytes;
    if (::setsockopt(socket_, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    socklen_t length = sizeof local;
    if (::bind(socket_, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr *>(&local), &length) != 0) {
        close();
        return;
    }
    localPort_ = ntohs(local.sin_port);
    receiver_ = std::thread([this] { receive(); });
}

UdpEndpoint::~UdpEndpoint()
{
    if (receiver_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeup_, &one, sizeof one);
        receiver_.join();
    }
    close();
}

void UdpEndpoint::close()
{
    if (socket_ >= 0)
        ::close(socket_);
    if (wakeup_ >= 0)
        ::close(wakeup_);
    socket_ = -1;
    wakeup_ = -1;
}

void UdpEndpoint::receive()
{
    // 65,507 bytes is the most an IPv4 UDP datagram carries.
    std::string buffer(65536, '\0');
    pollfd fds[2] = {{socket_, POLLIN, 0}, {wakeup_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        for (;;) {
            const ssize_t n = ::recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    break;
                continue;  // an error the socket reports (ICMP unreachable...): nothing arrived
            }
            bool wasEmpty = false;
            {
                std::lock_guard lock(mutex_);
                arrivals_.fetch_add(1);
                if (n > 0) {
                    const size_t charge = static_cast<size_t>(n) + kPerDatagramCharge;
                    if (queuedBytes_ + charge > kQueueLimitBytes) {
                        dropped_.fetch_add(1);
                    } else {
                        wasEmpty = queue_.empty();
                        queue_.emplace_back(buffer.data(), static_cast<size_t>(n));
                        queuedBytes_ += charge;
                    }
                }
            }
            arrived_.notify_all();
            if (wasEmpty && notify_)
                notify_();
        }
    }
}

std::optional<UdpEndpoint::Taken> UdpEndpoint::takeNext()
{
    std::lock_guard lock(mutex_);
    if (queue_.empty())
        return std::nullopt;
    Taken taken{std::move(queue_.front()), false};
    queue_.pop_front();
    queuedBytes_ -= taken.datagram.size() + kPerDatagramCharge;
    taken.moreWaiting = !queue_.empty();
    return taken;
}

bool UdpEndpoint::waitForArrival(uint64_t seen, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return arrivals_.load() > seen; });
}

bool UdpEndpoint::send(std::string_view address, uint16_t port, std::string_view bytes)
{
    if (socket_ < 0)
        return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (!resolve(address, to.sin_addr))
        return false;

    const bool broadcast = address.empty();
    int on = 1;
    if (broadcast)
        ::setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);

    bool sent = false;
    const auto giveUp = std::chrono::steady_clock::now() + kSendWaitLimit;
    for (;;) {
        const ssize_t n = ::sendto(socket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to),
                                   sizeof to);
        if (n >= 0) {
            sent = static_cast<size_t>(n) == bytes.size();
            break;
        }
        if (errno == EINTR)
            continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS) ||
            std::chrono::steady_clock::now() >= giveUp)
            break;
        // The send buffer is full: wait until it drains, then send again.
        pollfd writable{socket_, POLLOUT, 0};
        ::poll(&writable, 1, errno == ENOBUFS ? 1 : 100);
    }

    if (broadcast) {
        on = 0;
        ::setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    }
    return sent;
}

}  // namespace dnsbatch
