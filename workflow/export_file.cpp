#include "export_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "controls.h"

namespace dnsbatch {

namespace {

constexpr auto kLockPatience = std::chrono::milliseconds(500);

bool lockExclusively(int fd)
{
    const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// All of line at the end of the file, or none of it.
void appendLine(int fd, off_t &size, const std::string &line)
{
    size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(fd, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // Take back the part that went out, so no half line stays.
            if (written > 0 && ::ftruncate(fd, size) == 0)
                ::lseek(fd, size, SEEK_SET);
            return;
        }
        written += static_cast<size_t>(n);
    }
    size += static_cast<off_t>(written);
}

}  // namespace

void writeExportFile(Controls &controls, const std::string &nativePath)
{
    const int fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (!lockExclusively(fd) || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return;
    }
    off_t size = 0;
    const int rows = controls.rowCount();  // read once: nothing can add rows meanwhile
    std::string line;
    for (int row = 0; row < rows; ++row) {
        line = controls.cellText(row, 0);
        line += ',';
        line += controls.cellText(row, 1);
        line += ',';
        line += controls.cellText(row, 2);
        line += "\r\n";
        appendLine(fd, size, line);
    }
    ::close(fd);  // closing releases the lock
}

}  // namespace dnsbatch
