#include "workflow.h"

#include <algorithm>
#include <utility>

#include "export_file.h"
#include "files.h"
#include "gbk_text.h"
#include "native_path.h"
#include "query_encoder.h"
#include "response_decoder.h"
#include "result_rows.h"

namespace dnsbatch {

namespace {
constexpr uint16_t kDnsPort = 53;
constexpr int32_t kTypeA = 1;
constexpr int32_t kClassIn = 1;
}

Workflow::Workflow(Controls &controls, LocationLookup lookupLocation)
    : controls_(controls), lookupLocation_(std::move(lookupLocation)), exportDirectory_(executableDirectory())
{
}

void Workflow::initDomainList()
{
    domainList_.clear();
}

void Workflow::releaseDomainList()
{
    DomainList().swap(domainList_);
}

void Workflow::loadDomainList()
{
    if (!controls_.openFileDialog())
        return;
    // The path box carries the path: the file is read from what it holds.
    controls_.setEditText(EditBox::path, controls_.dialogFileName());
    const std::string path = controls_.editText(EditBox::path);
    const std::string content = readWholeFile(nativePath(path));
    domainList_ = splitLines(untilZeroByte(content));
}

void Workflow::sendQueries()
{
    if (domainList_.empty()) {
        controls_.messageBox(gbk::kNoNamesLoaded, gbk::kInformation);
        return;
    }
    // Back-pressure: any datagram that comes back counts as an answer (no
    // reply is matched to its query). Queries written off after a wait in
    // vain no longer hold the window.
    const uint64_t base = controls_.datagramsArrived();
    uint64_t sent = 0;
    uint64_t writtenOff = 0;
    const size_t count = domainList_.size();
    for (size_t i = 0; i < count; ++i) {
        while (pacing_.window > 0) {
            const uint64_t answered = controls_.datagramsArrived() - base;
            const uint64_t settled = answered + writtenOff;
            if (settled >= sent || sent - settled < pacing_.window)
                break;
            if (!controls_.waitForDatagram(base + answered, pacing_.wait)) {
                writtenOff = sent - std::min(sent, answered);
                break;
            }
        }
        const std::string query = encodeQuery(trimSpaces(domainList_[i]), 0);
        // The server box is read again for every query; a failed send is
        // not retried and not shown.
        controls_.sendDatagram(controls_.editText(EditBox::server), kDnsPort, query);
        ++sent;
    }
}

}  // namespace dnsbatch

namespace dnsbatch {

// Nothing of the reply is checked (ID, flags, sender): every A/IN answer
// becomes a row. A reply without a question, or an answer with fewer than
// four bytes of data, has no row to give.
void Workflow::onReplyArrived()
{
    const DnsResponse response = decodeResponse(controls_.takeData());
    const int32_t count = response.header.anCount;
    if (count < 1 || response.questions.empty())
        return;
    const std::string &queriedName = response.questions.front().name;
    for (const DnsRecord &answer : response.answers) {
        if (answer.type != kTypeA || answer.dnsClass != kClassIn)
            continue;
        const std::string address = formatIPv4(answer.rdata);
        if (address.empty())
            continue;
        const int row = controls_.appendRow(queriedName);
        controls_.setCellText(row, 1, answer.name);
        controls_.setCellText(row, 2, address);
        controls_.setCellText(row, 3, lookupLocation_(address));
    }
}

void Workflow::exportResults()
{
    if (exportDirectory_.empty())
        return;
    std::string path = exportDirectory_;
    if (path.back() != '/')
        path += '/';
    path += nativePath(gbk::kExportFileName);
    writeExportFile(controls_, path);
}

}  // namespace dnsbatch
