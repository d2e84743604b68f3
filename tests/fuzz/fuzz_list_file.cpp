// Arbitrary bytes as a list file: the split at CR LF and the trim of every
// line must take any bytes, and give back only bytes of the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "domain_list.h"
#include "gbk_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text = dnsbatch::untilZeroByte(std::string_view(reinterpret_cast<const char *>(data), size));
    size_t total = 0;
    for (const std::string &line : dnsbatch::splitLines(text)) {
        total += line.size();
        const std::string trimmed = dnsbatch::trimSpaces(line);
        if (trimmed.size() > line.size() || line.find(trimmed) == std::string::npos)
            __builtin_trap();
    }
    if (total > text.size())
        __builtin_trap();
    return 0;
}
