#include "https_fetcher.h"

#include <curl/curl.h>

#include <mutex>

namespace dnsbatch {

namespace {

constexpr const char *kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct Body {
    std::string bytes;
    size_t limit;
};

// Keeps what fits under the limit; anything more ends the transfer (curl
// then reports a write error, and the bytes kept so far are the result).
size_t appendBody(char *data, size_t size, size_t count, void *userdata) noexcept
{
    auto *body = static_cast<Body *>(userdata);
    const size_t length = size * count;
    const size_t room = body->limit - body->bytes.size();
    try {
        body->bytes.append(data, length < room ? length : room);
    } catch (...) {
        return 0;
    }
    return length <= room ? length : 0;
}

}  // namespace

CurlFetcher::CurlFetcher(FetchLimits limits) : limits_(limits)
{
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    handle_ = curl_easy_init();
    headers_ = curl_slist_append(headers_, "Accept: */*");
    if (limits_.reuseConnection)
        headers_ = curl_slist_append(headers_, "Connection: keep-alive");
    if (!handle_)
        return;
    curl_easy_setopt(handle_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(handle_, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle_, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers_);
    curl_easy_setopt(handle_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, limits_.maxRedirects);
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(handle_, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeout.count()));
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, appendBody);
    if (!limits_.reuseConnection) {
        curl_easy_setopt(handle_, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(handle_, CURLOPT_FORBID_REUSE, 1L);
    }
}

CurlFetcher::~CurlFetcher()
{
    if (handle_)
        curl_easy_cleanup(handle_);
    curl_slist_free_all(headers_);
}

std::string CurlFetcher::fetch(const std::string &url)
{
    if (!handle_ || std::chrono::steady_clock::now() < quietUntil_)
        return {};
    Body body{{}, limits_.maxBodyBytes};
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &body);
    // Whatever it reports, the body so far is the answer.
    if (curl_easy_perform(handle_) == CURLE_OPERATION_TIMEDOUT)
        quietUntil_ = std::chrono::steady_clock::now() + limits_.coolOff;
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);
    return std::move(body.bytes);
}

}  // namespace dnsbatch
