// Exporting the results list: our one-pass export beside a faithful copy of
// the read-everything-and-rewrite-per-row algorithm, on the same rows.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "controls.h"
#include "export_file.h"
#include "files.h"

namespace {

using namespace dnsbatch;

class RowsOnly final : public Controls {
public:
    explicit RowsOnly(int rows)
    {
        for (int i = 0; i < rows; ++i)
            rows_.push_back({"name" + std::to_string(i) + ".example.com", "cdn" + std::to_string(i) + ".example.net",
                             "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." +
                                 std::to_string(i & 255)});
    }
    std::string editText(EditBox) override { return {}; }
    void setEditText(EditBox, std::string_view) override {}
    bool openFileDialog() override { return false; }
    std::string dialogFileName() override { return {}; }
    void messageBox(std::string_view, std::string_view) override {}
    bool sendDatagram(std::string_view, uint16_t, std::string_view) override { return false; }
    std::string takeData() override { return {}; }
    uint64_t datagramsArrived() override { return 0; }
    bool waitForDatagram(uint64_t, std::chrono::milliseconds) override { return false; }
    int appendRow(std::string_view) override { return 0; }
    void setCellText(int, int, std::string_view) override {}
    int rowCount() override { return static_cast<int>(rows_.size()); }
    std::string cellText(int row, int column) override
    {
        return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
    void removeAllRows() override {}

private:
    std::vector<std::array<std::string, 3>> rows_;
};

const std::string kPath = (std::filesystem::temp_directory_path() / "bench-export.txt").string();

bool writeWholeFile(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return ok;
}

// The algorithm as first specified: truncate, then for every row read the
// whole file back and write it again with the row's line added.
void quadraticExport(Controls &controls, const std::string &path)
{
    writeWholeFile(path, "");
    const int rows = controls.rowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string content = readWholeFile(path);
        const std::string line =
            controls.cellText(row, 0) + "," + controls.cellText(row, 1) + "," + controls.cellText(row, 2) + "\r\n";
        writeWholeFile(path, content + line);
    }
}

void BM_Export_OnePass(benchmark::State &state)
{
    RowsOnly rows(static_cast<int>(state.range(0)));
    for (auto _ : state)
        writeExportFile(rows, kPath);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(kPath));
}

void BM_Export_ReadAndRewritePerRow(benchmark::State &state)
{
    RowsOnly rows(static_cast<int>(state.range(0)));
    for (auto _ : state)
        quadraticExport(rows, kPath);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(kPath));
}

}  // namespace

BENCHMARK(BM_Export_OnePass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Export_ReadAndRewritePerRow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
