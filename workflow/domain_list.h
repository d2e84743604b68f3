// The list of domain names loaded from a list file, and the queries sent
// for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dnsbatch {

// The lines of the last loaded list file, untrimmed, in file order; empty
// lines included.
using DomainList = std::vector<std::string>;

// Cuts text at every CR LF that starts a character (a CR that is the second
// byte of a two-byte character is no line break). A final CR LF adds no
// empty entry; an empty text gives none.
DomainList splitLines(std::string_view text);

// Removes leading and trailing ASCII spaces (20) and full-width spaces
// (A1 A1), scanning character by character. A dangling lead byte at the end
// is dropped instead, and then nothing else is removed at the end.
std::string trimSpaces(std::string_view text);

}  // namespace dnsbatch
