// The UDP endpoint 数据报1: one IPv4 socket bound to all interfaces, that
// sends queries and takes every datagram that arrives.
//
// The kernel queues only a few hundred small datagrams on a socket, and the
// window's handlers block (a send burst, a host-name lookup, one HTTPS
// request per result row). So a receiver thread does nothing but move
// datagrams from the socket into our own queue, as fast as they come; the
// window then takes them one at a time, in arrival order, on its own thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace dnsbatch {

class UdpEndpoint {
public:
    // Called on the receiver thread whenever a datagram lands in an empty
    // queue: the owner then takes datagrams until takeNext() says no more
    // are waiting.
    using Notify = std::function<void()>;

    // Binds 0.0.0.0:port (0 for any free port). Without a socket (the port
    // is taken, say) the endpoint stays closed: sends fail, nothing arrives.
    UdpEndpoint(uint16_t port, Notify notify);
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint &) = delete;
    UdpEndpoint &operator=(const UdpEndpoint &) = delete;

    bool isOpen() const { return socket_ >= 0; }
    uint16_t localPort() const { return localPort_; }

    // One datagram to port of address: dotted-decimal IPv4 as it is, any
    // other non-empty text resolved (blocking) to its first IPv4 address,
    // empty text to 255.255.255.255 with broadcast allowed for this send. A
    // full send buffer is waited out; true when the whole datagram went out.
    bool send(std::string_view address, uint16_t port, std::string_view bytes);

    struct Taken {
        std::string datagram;
        bool moreWaiting;
    };
    // The oldest datagram not yet taken, and whether others wait behind it.
    std::optional<Taken> takeNext();

    // Datagrams received since the endpoint opened (empty ones included).
    uint64_t arrivals() const { return arrivals_.load(); }
    // Waits until arrivals() exceeds seen or the timeout passes; true when a
    // datagram arrived.
    bool waitForArrival(uint64_t seen, std::chrono::milliseconds timeout);
    // Datagrams dropped because the queue held kQueueLimitBytes already.
    uint64_t dropped() const { return dropped_.load(); }

    // What the queue may hold (payload plus a per-datagram charge for its
    // bookkeeping) before further datagrams are dropped.
    static constexpr size_t kQueueLimitBytes = size_t{256} << 20;
    static constexpr size_t kPerDatagramCharge = 64;

private:
    void receive();
    void close();

    int socket_ = -1;
    int wakeup_ = -1;  // eventfd that tells the receiver thread to stop
    uint16_t localPort_ = 0;
    Notify notify_;

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::string> queue_;
    size_t queuedBytes_ = 0;
    std::atomic<uint64_t> arrivals_{0};
    std::atomic<uint64_t> dropped_{0};
    std::thread receiver_;
};

}  // namespace dnsbatch
