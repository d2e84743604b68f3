// A stand-in for the main window: it records what the workflow does to the
// controls and answers with what the test set up.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls.h"

namespace dnsbatch::test {

struct SentDatagram {
    std::string address;
    uint16_t port;
    std::string bytes;
    bool operator==(const SentDatagram &) const = default;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    bool operator==(const ShownMessage &) const = default;
};

class FakeControls : public Controls {
public:
    std::map<EditBox, std::string> boxes{{EditBox::path, ""}, {EditBox::server, "211.138.156.66"}};
    // What the next openings of the dialog answer: a path, or nothing (cancel).
    std::vector<std::string> dialogAnswers;
    int dialogOpenings = 0;
    std::string fileName;
    std::vector<ShownMessage> messages;
    std::vector<SentDatagram> sent;
    bool sendSucceeds = true;
    std::function<void()> afterSend;
    std::string currentData;
    std::vector<std::vector<std::string>> rows;

    std::function<void()> afterSetEditText;  // runs between the dialog and the read in loadDomainList
    std::string editText(EditBox box) override { return boxes[box]; }
    void setEditText(EditBox box, std::string_view text) override
    {
        boxes[box] = std::string(text);
        if (afterSetEditText)
            afterSetEditText();
    }

    bool openFileDialog() override
    {
        const size_t i = static_cast<size_t>(dialogOpenings++);
        if (i >= dialogAnswers.size() || dialogAnswers[i].empty())
            return false;
        fileName = dialogAnswers[i];
        return true;
    }
    std::string dialogFileName() override { return fileName; }

    void messageBox(std::string_view text, std::string_view caption) override
    {
        messages.push_back({std::string(text), std::string(caption)});
    }

    bool sendDatagram(std::string_view address, uint16_t port, std::string_view bytes) override
    {
        sent.push_back({std::string(address), port, std::string(bytes)});
        if (afterSend)
            afterSend();
        return sendSucceeds;
    }
    std::string takeData() override { return currentData; }

    // Datagrams "received": tests raise the count (in afterSend, say).
    uint64_t arrived = 0;
    int waits = 0;
    std::chrono::milliseconds waited{0};
    uint64_t datagramsArrived() override { return arrived; }
    bool waitForDatagram(uint64_t seen, std::chrono::milliseconds timeout) override
    {
        ++waits;
        if (arrived > seen)
            return true;
        waited += timeout;  // nothing comes: the whole timeout passes
        return false;
    }

    int appendRow(std::string_view column0) override
    {
        rows.push_back({std::string(column0), "", "", ""});
        return static_cast<int>(rows.size()) - 1;
    }
    void setCellText(int row, int column, std::string_view text) override
    {
        rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = std::string(text);
    }
    int rowCount() override { return static_cast<int>(rows.size()); }
    std::string cellText(int row, int column) override
    {
        return rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column));
    }
    void removeAllRows() override { rows.clear(); }
};

}  // namespace dnsbatch::test
