// The whole road through the real window (offscreen), timed: a list of
// names loaded and sent with "DNS查询", until the last row has come; then the
// list at scale: 100,000 rows appended, scrolled through and exported.
//
// Needs nsd (bulk0.test.example ...) and the location service: run it
// through bench/window_bench.py, which sets them up in a private namespace.
//
//   bench_window NAMES
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../tests/shell/gui_driver.h"
#include "location_lookup.h"

namespace {

using namespace dnsbatch;

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int names = argc > 1 ? std::atoi(argv[1]) : 10000;

    MainWindow window;
    Workflow workflow(window, [](std::string_view address) { return lookupLocation(address); });
    if (!test::startWired(window, workflow)) {
        std::fprintf(stderr, "the window or port 19730 is not available\n");
        return 1;
    }
    std::string list;
    for (int i = 0; i < names; ++i)
        list += "bulk" + std::to_string(i) + ".test.example\r\n";
    const auto file = std::filesystem::temp_directory_path() / "bench-window-list.txt";
    test::loadThroughDialog(window, file, list);
    window.setEditText(EditBox::server, "127.0.0.1");

    const long rssBefore = residentKiB();
    QElapsedTimer clock;
    clock.start();
    test::button(window, "按钮1")->click();
    const double sendMs = static_cast<double>(clock.elapsed());
    qint64 lastRowMs = 0;
    int rows = 0;
    while (clock.elapsed() - lastRowMs < 3000) {  // until no row has come for 3 s
        QTest::qWait(20);
        if (window.rowCount() != rows) {
            rows = window.rowCount();
            lastRowMs = clock.elapsed();
        }
    }
    std::printf("names=%d sent_in_ms=%.0f rows=%d lost=%d last_row_ms=%lld peak_rss_mib=%.1f\n", names, sendMs, rows,
                names - rows, static_cast<long long>(lastRowMs), peakKiB() / 1024.0);
    std::printf("rss_per_row_bytes=%.0f (rows with location text)\n",
                rows ? (residentKiB() - rssBefore) * 1024.0 / rows : 0.0);
    std::printf("endpoint_dropped=%llu endpoint_received=%llu\n",
                static_cast<unsigned long long>(window.endpoint().dropped()),
                static_cast<unsigned long long>(window.endpoint().arrivals()));
    {
        // The kernel's drop counter of our socket (port 19730 = 4D12 hex).
        std::ifstream udp("/proc/net/udp");
        for (std::string line; std::getline(udp, line);)
            if (line.find(":4D12 ") != std::string::npos) {
                std::istringstream fields(line);
                std::string field, last;
                while (fields >> field)
                    last = field;
                std::printf("socket_port=19730 kernel_drops=%s\n", last.c_str());
            }
    }

    // The list at scale.
    test::button(window, "按钮3")->click();
    const long rssEmpty = residentKiB();
    constexpr int kRows = 100000;
    clock.restart();
    for (int i = 0; i < kRows; ++i) {
        const std::string name = "name" + std::to_string(i) + ".example.com";
        const int row = window.appendRow(name);
        window.setCellText(row, 1, "edge" + std::to_string(i) + ".cdn.example.net");
        window.setCellText(row, 2, "10." + std::to_string(i >> 16) + "." + std::to_string((i >> 8) & 255) + "." +
                                       std::to_string(i & 255));
        window.setCellText(row, 3, "\xB1\xB1\xBE\xA9\xCA\xD0 \xC1\xAA\xCD\xA8");
    }
    QApplication::processEvents();
    const qint64 appendMs = clock.elapsed();
    const long rssFull = residentKiB();

    QTableView *view = test::resultList(window);
    clock.restart();
    constexpr int kPages = 200;
    for (int page = 0; page < kPages; ++page) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() * page / kPages);
        view->viewport()->repaint();
    }
    const double pageMs = static_cast<double>(clock.elapsed()) / kPages;
    clock.restart();
    view->selectAll();
    QApplication::processEvents();
    const qint64 selectMs = clock.elapsed();

    clock.restart();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, QPoint(100, 100));
    const qint64 exportMs = clock.elapsed();
    std::printf("rows=%d append_ms=%lld (%.1f us per row) rss_per_row_bytes=%.0f scroll_repaint_ms=%.2f "
                "select_all_ms=%lld export_ms=%lld peak_rss_mib=%.1f\n",
                kRows, static_cast<long long>(appendMs), appendMs * 1000.0 / kRows,
                (rssFull - rssEmpty) * 1024.0 / kRows, pageMs, static_cast<long long>(selectMs),
                static_cast<long long>(exportMs), peakKiB() / 1024.0);
    std::filesystem::remove(file);
    std::filesystem::remove(std::filesystem::read_symlink("/proc/self/exe").parent_path() / "导出的文本.txt");
    return 0;
}
