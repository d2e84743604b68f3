// The query burst against a real DNS server: the share of answers that come
// back to port 19730, and the time to send the list, with the burst paced
// by the answers (as shipped) and unpaced (window 0, benchmark only).
//
// Needs nsd on 127.0.0.1:53 serving bulk0.test.example ... : run it through
// bench/burst_bench.py, which sets that up in a private namespace.
//
//   bench_burst NAMES WINDOW WAIT_MS     prints one line of figures
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "controls.h"
#include "native_path.h"
#include "udp_endpoint.h"
#include "workflow.h"

namespace {

using namespace dnsbatch;
using Clock = std::chrono::steady_clock;

// The window's control operations without a window: the server box holds
// 127.0.0.1, the dialog picks the list file, sends go through the endpoint.
class HeadlessControls final : public Controls {
public:
    explicit HeadlessControls(std::string listPath) : listPath_(std::move(listPath)) {}
    UdpEndpoint endpoint{19730, nullptr};

    std::string editText(EditBox box) override { return box == EditBox::server ? "127.0.0.1" : path_; }
    void setEditText(EditBox box, std::string_view text) override
    {
        if (box == EditBox::path)
            path_ = std::string(text);
    }
    bool openFileDialog() override { return true; }
    std::string dialogFileName() override { return listPath_; }
    void messageBox(std::string_view, std::string_view) override {}
    bool sendDatagram(std::string_view address, uint16_t port, std::string_view bytes) override
    {
        return endpoint.send(address, port, bytes);
    }
    std::string takeData() override { return {}; }
    uint64_t datagramsArrived() override { return endpoint.arrivals(); }
    bool waitForDatagram(uint64_t seen, std::chrono::milliseconds timeout) override
    {
        return endpoint.waitForArrival(seen, timeout);
    }
    int appendRow(std::string_view) override { return 0; }
    void setCellText(int, int, std::string_view) override {}
    int rowCount() override { return 0; }
    std::string cellText(int, int) override { return {}; }
    void removeAllRows() override {}

private:
    std::string listPath_;
    std::string path_;
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s NAMES WINDOW WAIT_MS\n", argv[0]);
        return 2;
    }
    const int names = std::atoi(argv[1]);
    const Pacing pacing{static_cast<uint64_t>(std::atoll(argv[2])), std::chrono::milliseconds(std::atoi(argv[3]))};

    const auto listFile = std::filesystem::temp_directory_path() / ("bench-burst-" + std::to_string(names) + ".txt");
    {
        std::ofstream out(listFile, std::ios::binary);
        for (int i = 0; i < names; ++i)
            out << "bulk" << i << ".test.example\r\n";
    }
    HeadlessControls controls(pathText(listFile.string()));
    if (!controls.endpoint.isOpen()) {
        std::fprintf(stderr, "port 19730 is taken\n");
        return 1;
    }
    Workflow workflow(controls, [](std::string_view) { return std::string(); });
    workflow.setPacing(pacing);
    workflow.loadDomainList();

    const auto start = Clock::now();
    workflow.sendQueries();
    const double sendSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    // Answers still on their way: wait until none has come for 500 ms.
    uint64_t seen = controls.endpoint.arrivals();
    while (controls.endpoint.waitForArrival(seen, std::chrono::milliseconds(500)))
        seen = controls.endpoint.arrivals();
    const double allSeconds = std::chrono::duration<double>(Clock::now() - start).count() - 0.5;
    std::printf("names=%d window=%llu wait_ms=%lld send_s=%.3f answers=%llu share=%.4f%% last_answer_s=%.3f dropped_here=%llu\n",
                names, static_cast<unsigned long long>(pacing.window), static_cast<long long>(pacing.wait.count()),
                sendSeconds, static_cast<unsigned long long>(seen), 100.0 * static_cast<double>(seen) / names, allSeconds,
                static_cast<unsigned long long>(controls.endpoint.dropped()));
    std::filesystem::remove(listFile);
    return 0;
}
