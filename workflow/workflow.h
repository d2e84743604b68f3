// The lookup workflow: the handlers of the window's events, and the domain
// list they share.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "controls.h"
#include "domain_list.h"

namespace dnsbatch {

// Address text in, location text out; blocking, never failing.
using LocationLookup = std::function<std::string(std::string_view address)>;

// How sendQueries paces its burst so that a server's socket queue never
// overflows: at most `window` queries may be out without a datagram back;
// when the window is full it waits for one, up to `wait`, and when none
// comes it writes the outstanding queries off and goes on. window 0 sends
// without pause (for comparison in benchmarks).
struct Pacing {
    uint64_t window = 200;
    std::chrono::milliseconds wait{250};
};

class Workflow {
public:
    Workflow(Controls &controls, LocationLookup lookupLocation);

    // Start-up and the exit action.
    void initDomainList();
    void releaseDomainList();

    // The click of 按钮2 ("读入文件"): pick a list file and load its lines.
    void loadDomainList();
    // The click of 按钮1 ("DNS查询"): one query per name to the server.
    void sendQueries();
    // A datagram at 数据报1: one row per A/IN answer of the reply.
    void onReplyArrived();
    // A right-click in the list area of 超级列表框1: the rows to
    // "导出的文本.txt" beside the executable.
    void exportResults();

    // Where exportResults writes (the file system's bytes); the directory
    // of the executable unless a test says otherwise.
    void setExportDirectory(std::string nativeDirectory) { exportDirectory_ = std::move(nativeDirectory); }
    void setPacing(Pacing pacing) { pacing_ = pacing; }

    const DomainList &domainList() const { return domainList_; }

private:
    Controls &controls_;
    LocationLookup lookupLocation_;
    DomainList domainList_;
    std::string exportDirectory_;
    Pacing pacing_;
};

}  // namespace dnsbatch
