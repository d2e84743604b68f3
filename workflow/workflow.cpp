#include "workflow.h"

#include <utility>

#include "files.h"
#include "gbk_text.h"
#include "native_path.h"
#include "query_encoder.h"

namespace dnsbatch {

namespace {
constexpr uint16_t kDnsPort = 53;
}

Workflow::Workflow(Controls &controls, LocationLookup lookupLocation)
    : controls_(controls), lookupLocation_(std::move(lookupLocation))
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
    const size_t count = domainList_.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string query = encodeQuery(trimSpaces(domainList_[i]), 0);
        // The server box is read again for every query; a failed send is
        // not retried and not shown.
        controls_.sendDatagram(controls_.editText(EditBox::server), kDnsPort, query);
    }
}

}  // namespace dnsbatch
