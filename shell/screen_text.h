// Program texts are GBK bytes; the screen shows Unicode. This is the one
// place where they meet. GB18030 is used both ways: for every character GBK
// has, its bytes are the GBK bytes, and it loses nothing of what a user can
// type or a file dialog can return.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace dnsbatch {

QString toScreen(std::string_view text);
std::string fromScreen(const QString &text);

}  // namespace dnsbatch
