#include "domain_list.h"

#include "gbk_text.h"

namespace dnsbatch {

namespace {

size_t characterSize(std::string_view text, size_t at)
{
    return isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

bool isSpaceAt(std::string_view text, size_t at, size_t size)
{
    return (size == 1 && text[at] == ' ') || (size == 2 && text[at] == '\xA1' && text[at + 1] == '\xA1');
}

}  // namespace

DomainList splitLines(std::string_view text)
{
    DomainList lines;
    size_t lineStart = 0;
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            lines.emplace_back(text.substr(lineStart, at - lineStart));
            at += 2;
            lineStart = at;
        } else {
            at += characterSize(text, at);
        }
    }
    if (lineStart < text.size())
        lines.emplace_back(text.substr(lineStart));
    return lines;
}

std::string trimSpaces(std::string_view text)
{
    // One pass over the characters: the first one that is not a space, the
    // end of the last one that is not, and whether the text ends in half a
    // character.
    size_t begin = text.size();
    size_t end = 0;
    bool danglingLead = false;
    for (size_t at = 0; at < text.size();) {
        const size_t size = characterSize(text, at);
        if (isLeadByte(text[at]) && size == 1) {
            danglingLead = true;
            break;
        }
        if (!isSpaceAt(text, at, size)) {
            if (begin == text.size())
                begin = at;
            end = at + size;
        }
        at += size;
    }
    if (danglingLead) {
        // The half character goes; the spaces before it stay.
        const size_t last = text.size() - 1;
        if (begin > last)
            begin = last;
        return std::string(text.substr(begin, last - begin));
    }
    if (begin >= end)
        return {};
    return std::string(text.substr(begin, end - begin));
}

}  // namespace dnsbatch
