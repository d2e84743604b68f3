// One blocking HTTPS GET at a time, returning the body bytes.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

typedef void CURL;
struct curl_slist;

namespace dnsbatch {

class HttpsFetcher {
public:
    virtual ~HttpsFetcher() = default;
    // The body of the reply to a GET of url, whatever the HTTP status; the
    // bytes received so far when the transfer breaks; empty when nothing
    // arrived. Never throws.
    virtual std::string fetch(const std::string &url) = 0;
};

struct FetchLimits {
    // A lookup blocks the window, so neither a dead host nor a server that
    // accepts and never answers may hold it for long.
    std::chrono::milliseconds connectTimeout{2000};
    std::chrono::milliseconds totalTimeout{4000};
    // A location reply is a few hundred bytes; an endless body is cut here.
    size_t maxBodyBytes = size_t{1} << 20;
    long maxRedirects = 10;
    // After a fetch that ran into a time-out, the following fetches give up
    // at once for this long: a service that has stopped answering would
    // otherwise hold the window for a time-out per result row.
    std::chrono::milliseconds coolOff{10000};
    // One connection kept open across fetches (HTTP/1.0 keep-alive where the
    // server agrees), so that a list of lookups costs one TLS handshake.
    bool reuseConnection = true;
};

// GET over libcurl: HTTP/1.0, a fixed User-Agent, Accept */*, no Referer, no
// cookies, redirects followed, certificates verified against the system's
// CA store. One long-lived handle; not for use from two threads at once.
// After a time-out it rests for limits.coolOff (see FetchLimits).
class CurlFetcher final : public HttpsFetcher {
public:
    explicit CurlFetcher(FetchLimits limits = {});
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher &) = delete;
    CurlFetcher &operator=(const CurlFetcher &) = delete;

    std::string fetch(const std::string &url) override;

private:
    FetchLimits limits_;
    CURL *handle_ = nullptr;
    curl_slist *headers_ = nullptr;
    std::chrono::steady_clock::time_point quietUntil_{};
};

}  // namespace dnsbatch
