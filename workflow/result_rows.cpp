#include "result_rows.h"

namespace dnsbatch {

std::string formatIPv4(std::string_view data)
{
    if (data.size() < 4)
        return {};
    std::string text;
    text.reserve(15);
    for (size_t i = 0; i < 4; ++i) {
        if (i)
            text += '.';
        text += std::to_string(static_cast<unsigned char>(data[i]));
    }
    return text;
}

}  // namespace dnsbatch
