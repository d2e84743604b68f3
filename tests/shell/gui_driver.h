// Driving the real window in tests, as a user would: clicks, the file
// dialog, the rows shown.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "application.h"
#include "main_window.h"
#include "workflow.h"

namespace dnsbatch::test {

// Wires the window to the workflow as the program does and shows it.
inline bool startWired(MainWindow &window, Workflow &workflow)
{
    workflow.initDomainList();
    wireWindow(window, workflow);
    window.showCentred();
    return QTest::qWaitForWindowExposed(&window) && window.endpoint().isOpen();
}

inline QPushButton *button(MainWindow &window, const char *name)
{
    return window.findChild<QPushButton *>(QString::fromUtf8(name));
}

inline QTableView *resultList(MainWindow &window)
{
    return window.findChild<QTableView *>(QString::fromUtf8("超级列表框1"));
}

// Writes content to file, clicks "读入文件" and types the path into the
// dialog that opens.
inline void loadThroughDialog(MainWindow &window, const std::filesystem::path &file, const std::string &content)
{
    std::ofstream(file, std::ios::binary) << content;
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, file] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(file.string()));
        static_cast<QDialog *>(dialog)->accept();
    });
    timer->start();
    button(window, "按钮2")->click();
}

// One datagram to the window's endpoint on 127.0.0.1, from a plain socket
// on a port of its own.
inline void sendToEndpoint(const std::string &datagram)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(MainWindow::kEndpointPort);
    ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    ::close(fd);
}

using Rows = std::vector<std::vector<std::string>>;

inline Rows shownRows(MainWindow &window)
{
    Rows rows;
    for (int row = 0; row < window.rowCount(); ++row)
        rows.push_back({window.cellText(row, 0), window.cellText(row, 1), window.cellText(row, 2), window.cellText(row, 3)});
    return rows;
}

}  // namespace dnsbatch::test
