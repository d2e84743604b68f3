// The location text of an IPv4 address, cut out of the reply of a web
// IP-location service.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dnsbatch {

class HttpsFetcher;

// The service's host. A name reserved for documentation, so that no real
// service is ever asked by accident: point it at a compatible service with
// an /etc/hosts entry.
inline constexpr std::string_view kLocationHost = "iplocation.example";
inline constexpr std::string_view kLocationPath = "/7xXHrzrkJMZ6nydnqleM7AKd/api.php?query=";
inline constexpr std::string_view kLocationQueryTail =
    "&co=&resource_id=6006&t=1459300568293&ie=utf8&oe=gbk&cb=op_aladdin_callback&format=json&tn=baidu"
    "&cb=jQuery110202758941224004708_1459300538281&_=1459300538289";
// The location is the text between these two, 13 bytes each.
inline constexpr std::string_view kOpeningMarker = "{\"location\":\"";
inline constexpr std::string_view kClosingMarker = "\", \"titlecont";

// https://, the host, the path and the address inserted unchanged, the tail.
std::string locationUrl(std::string_view address);

// The 1-based byte position of the first occurrence of marker in text, or
// -1. Only positions where a GBK character starts are tried: a byte of 80
// hex or above takes the byte after it along.
int64_t findMarker(std::string_view text, std::string_view marker);

// The location cut out of a reply body, empty when there is none.
std::string extractLocation(std::string_view body);

// One GET through fetcher, then extractLocation. Never fails.
std::string lookupLocation(std::string_view address, HttpsFetcher &fetcher);

// The same through the process's one CurlFetcher (one kept-open connection).
std::string lookupLocation(std::string_view address);

}  // namespace dnsbatch
