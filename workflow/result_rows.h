// Turning decoded replies into rows of the results list.
#pragma once

#include <string>
#include <string_view>

namespace dnsbatch {

// The dotted-decimal form of the first four bytes of data; the bytes after
// them are ignored. Empty when data holds fewer than four bytes: never a
// partial address.
std::string formatIPv4(std::string_view data);

}  // namespace dnsbatch
