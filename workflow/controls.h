// What the workflow needs of the main window: the control operations, and
// nothing else. Texts cross this interface as GBK byte strings; the window
// converts them for the screen.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace dnsbatch {

enum class EditBox {
    path,    // 编辑框1: the path of the last loaded list file
    server,  // 编辑框2: the DNS server's address or host name
};

class Controls {
public:
    virtual ~Controls() = default;

    // 编辑框1, 编辑框2: the whole text; replace the whole text.
    virtual std::string editText(EditBox box) = 0;
    virtual void setEditText(EditBox box, std::string_view text) = 0;

    // 通用对话框1: shows the open-file dialog modally; true when the user
    // confirmed a file, whose full path dialogFileName() then gives.
    virtual bool openFileDialog() = 0;
    virtual std::string dialogFileName() = 0;

    // A modal message box with an OK button and no icon.
    virtual void messageBox(std::string_view text, std::string_view caption) = 0;

    // 数据报1: one datagram to address (dotted IPv4, a host name, or empty
    // for the broadcast address) and port; true when all of it went out.
    virtual bool sendDatagram(std::string_view address, uint16_t port, std::string_view bytes) = 0;
    // The payload of the datagram whose arrival raised the current event;
    // empty outside that event.
    virtual std::string takeData() = 0;
    // The datagrams received so far, any sender, whether or not their
    // events have been raised yet; and a wait until that count exceeds
    // seen, true when it did within the timeout. They pace the query burst.
    virtual uint64_t datagramsArrived() = 0;
    virtual bool waitForDatagram(uint64_t seen, std::chrono::milliseconds timeout) = 0;

    // 超级列表框1: rows and columns count from 0.
    virtual int appendRow(std::string_view column0) = 0;
    virtual void setCellText(int row, int column, std::string_view text) = 0;
    virtual int rowCount() = 0;
    virtual std::string cellText(int row, int column) = 0;
    virtual void removeAllRows() = 0;
};

}  // namespace dnsbatch
