// GBK texts: scanning them character by character, and the program's fixed
// texts, written as their GBK bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace dnsbatch {

// A byte of 80 hex or above starts a two-byte character; any other byte is
// a character of its own.
constexpr bool isLeadByte(char byte)
{
    return static_cast<unsigned char>(byte) >= 0x80;
}

// The text as a text: the bytes before the first 00 byte.
constexpr std::string_view untilZeroByte(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

namespace gbk {
inline constexpr std::string_view kNoNamesLoaded = "\xB5\xBC\xC8\xEB" "0" "\xB8\xF6\xD3\xF2\xC3\xFB";  // 导入0个域名
inline constexpr std::string_view kInformation = "\xD0\xC5\xCF\xA2\xA3\xBA";                         // 信息：
inline constexpr std::string_view kExportFileName =
    "\xB5\xBC\xB3\xF6\xB5\xC4\xCE\xC4\xB1\xBE.txt";  // 导出的文本.txt
}  // namespace gbk

}  // namespace dnsbatch
