// Arbitrary bytes into the codec: as a received message, as a name read at
// a few cursors, and as a name to encode.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "name_reader.h"
#include "query_encoder.h"
#include "response_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const dnsbatch::DnsResponse response = dnsbatch::decodeResponse(bytes);
    if (response.answers.size() > 32767 || response.questions.size() > 32767)
        __builtin_trap();

    for (const int32_t start : {0, 12, static_cast<int32_t>(size) - 1, static_cast<int32_t>(size)}) {
        int32_t cursor = start;
        dnsbatch::readName(bytes, cursor);
    }

    const uint16_t id = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 0;
    const std::string query = dnsbatch::encodeQuery(bytes, id);
    if (query.size() < 17)
        __builtin_trap();
    return 0;
}
