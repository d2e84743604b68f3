// Whole-file reads, and the directory that holds the running executable.
#pragma once

#include <string>

namespace dnsbatch {

// The whole content of the file; empty when the path is empty or the file
// cannot be opened or read.
std::string readWholeFile(const std::string &nativePath);

// The directory of the running executable, without a trailing separator
// (but "/" itself), in the file system's bytes; empty if it cannot be found.
std::string executableDirectory();

}  // namespace dnsbatch
