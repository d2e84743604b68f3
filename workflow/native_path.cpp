#include "native_path.h"

#include <iconv.h>

#include <cerrno>

namespace dnsbatch {

namespace {

std::string convert(std::string_view input, const char *from, const char *to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string output(input.size() * 4 + 4, '\0');
    char *in = const_cast<char *>(input.data());
    size_t inLeft = input.size();
    char *out = output.data();
    size_t outLeft = output.size();
    const size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1))
        return {};
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace

std::string nativePath(std::string_view pathText)
{
    return convert(pathText, "GB18030", "UTF-8");
}

std::string pathText(std::string_view nativePath)
{
    return convert(nativePath, "UTF-8", "GB18030");
}

}  // namespace dnsbatch
