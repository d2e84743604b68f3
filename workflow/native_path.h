// Texts inside the program are GBK; the file system names files in UTF-8.
// Paths are converted here, and only here, on their way to the file system.
//
// The conversion is GB18030, the superset of GBK that covers all of Unicode:
// for every character GBK has, the bytes are exactly the GBK bytes, and a
// path with a character GBK lacks still comes back whole.
#pragma once

#include <string>
#include <string_view>

namespace dnsbatch {

// The file system's bytes for a path text; empty when the text is not valid
// GB18030.
std::string nativePath(std::string_view pathText);

// The path text for file-system bytes; empty when they are not valid UTF-8.
std::string pathText(std::string_view nativePath);

}  // namespace dnsbatch
