#include "location_lookup.h"

#include <algorithm>

#include "https_fetcher.h"

namespace dnsbatch {

std::string locationUrl(std::string_view address)
{
    std::string url = "https://";
    url += kLocationHost;
    url += kLocationPath;
    url += address;
    url += kLocationQueryTail;
    return url;
}

int64_t findMarker(std::string_view text, std::string_view marker)
{
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, marker.size(), marker) == 0)
            return static_cast<int64_t>(i) + 1;
        i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    }
    return -1;
}

// With a and b the 1-based positions of the markers, the location is the
// b - a - 13 bytes from position a + 13: empty when that length is not
// positive (no closing marker, or it comes first), cut at the end of the
// text. A closing marker with no opening one gives no location either.
std::string extractLocation(std::string_view body)
{
    const std::string_view text = body.substr(0, body.find('\0'));
    const int64_t a = findMarker(text, kOpeningMarker);
    if (a < 0)
        return {};
    const int64_t b = findMarker(text, kClosingMarker);
    const auto markerSize = static_cast<int64_t>(kOpeningMarker.size());
    const int64_t start = a + markerSize;
    const int64_t length = b - a - markerSize;
    const auto textSize = static_cast<int64_t>(text.size());
    if (length <= 0 || start > textSize)
        return {};
    return std::string(text.substr(static_cast<size_t>(start - 1),
                                   static_cast<size_t>(std::min(length, textSize - (start - 1)))));
}

std::string lookupLocation(std::string_view address, HttpsFetcher &fetcher)
{
    return extractLocation(fetcher.fetch(locationUrl(address)));
}

std::string lookupLocation(std::string_view address)
{
    static CurlFetcher fetcher;
    return lookupLocation(address, fetcher);
}

}  // namespace dnsbatch
