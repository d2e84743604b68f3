// The main window "DNS查询": ten controls at fixed places, the UDP endpoint,
// and the wiring of their events to the workflow's handlers.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "controls.h"
#include "udp_endpoint.h"

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace dnsbatch {

class ResultModel;

// The handlers of the window's events that belong to the workflow.
struct EventHandlers {
    std::function<void()> loadDomainList;  // click of 按钮2
    std::function<void()> sendQueries;     // click of 按钮1
    std::function<void()> onReplyArrived;  // a datagram at 数据报1
    std::function<void()> exportResults;   // right-click in the list area of 超级列表框1
};

class MainWindow : public QWidget, public Controls {
    Q_OBJECT

public:
    static constexpr uint16_t kEndpointPort = 19730;

    explicit MainWindow(uint16_t endpointPort = kEndpointPort);
    ~MainWindow() override;

    void setHandlers(EventHandlers handlers) { handlers_ = std::move(handlers); }

    // Shows the window centred on the primary screen, focus on 按钮1.
    void showCentred();

    // The click of 按钮3 ("清除数据").
    void clearResults();

    UdpEndpoint &endpoint() { return *endpoint_; }
    ResultModel &results() { return *model_; }

    // Controls
    std::string editText(EditBox box) override;
    void setEditText(EditBox box, std::string_view text) override;
    bool openFileDialog() override;
    std::string dialogFileName() override;
    void messageBox(std::string_view text, std::string_view caption) override;
    bool sendDatagram(std::string_view address, uint16_t port, std::string_view bytes) override;
    std::string takeData() override;
    uint64_t datagramsArrived() override;
    bool waitForDatagram(uint64_t seen, std::chrono::milliseconds timeout) override;
    int appendRow(std::string_view column0) override;
    void setCellText(int row, int column, std::string_view text) override;
    int rowCount() override;
    std::string cellText(int row, int column) override;
    void removeAllRows() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeDatagram();
    QLineEdit *box(EditBox which) const;

    EventHandlers handlers_;

    // Layout order: 编辑框2, 按钮3, 标签2, 编辑框1, 按钮2, 通用对话框1,
    // 超级列表框1, 数据报1, 按钮1, 标签1.
    QLineEdit *serverBox_;      // 编辑框2
    QPushButton *clearButton_;  // 按钮3
    QLabel *hintLabel_;         // 标签2
    QLineEdit *pathBox_;        // 编辑框1
    QPushButton *loadButton_;   // 按钮2
    QFileDialog *fileDialog_;   // 通用对话框1
    QTableView *resultList_;    // 超级列表框1
    ResultModel *model_;
    std::unique_ptr<UdpEndpoint> endpoint_;  // 数据报1
    QPushButton *queryButton_;  // 按钮1
    QLabel *serverLabel_;       // 标签1

    QString dialogFileName_;  // the last confirmed path; empty at start
    std::string currentData_;
    bool inDataEvent_ = false;
};

}  // namespace dnsbatch
