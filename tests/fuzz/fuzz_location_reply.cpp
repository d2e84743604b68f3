// Arbitrary bytes as a location service's reply body: the marker search
// and the cut must take any bytes and return a part of the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "location_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view body(reinterpret_cast<const char *>(data), size);
    const std::string location = dnsbatch::extractLocation(body);
    if (!location.empty() && body.find(location) == std::string_view::npos)
        __builtin_trap();
    dnsbatch::findMarker(body, dnsbatch::kClosingMarker);
    return 0;
}
