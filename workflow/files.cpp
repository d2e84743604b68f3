#include "files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace dnsbatch {

std::string readWholeFile(const std::string &nativePath)
{
    if (nativePath.empty())
        return {};
    const int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            content.clear();  // a failed read gives nothing, not a part
            break;
        }
    }
    ::close(fd);
    return content;
}

std::string executableDirectory()
{
    std::string path(4096, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace dnsbatch
