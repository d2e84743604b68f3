#include "main_window.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <chrono>

#include "app_icon.h"
#include "result_model.h"
#include "screen_text.h"

namespace dnsbatch {

namespace {

// The program's fixed texts, as GBK bytes.
constexpr const char *kCaption = "DNS\xB2\xE9\xD1\xAF";                      // DNS查询
constexpr const char *kQueryText = "DNS\xB2\xE9\xD1\xAF";                    // DNS查询
constexpr const char *kLoadText = "\xB6\xC1\xC8\xEB\xCE\xC4\xBC\xFE";        // 读入文件
constexpr const char *kClearText = "\xC7\xE5\xB3\xFD\xCA\xFD\xBE\xDD";       // 清除数据
constexpr const char *kHintText =                                            // 右键单击表格自动导出查询数据
    "\xD3\xD2\xBC\xFC\xB5\xA5\xBB\xF7\xB1\xED\xB8\xF1\xD7\xD4\xB6\xAF\xB5\xBC\xB3\xF6\xB2\xE9\xD1\xAF\xCA\xFD\xBE\xDD";
constexpr const char *kDefaultServer = "211.138.156.66";

// The controls lie within 608 x 432; the client area adds the same 16-pixel
// margin on the right and at the bottom as on the left and at the top.
constexpr QSize kClientSize(624, 448);
constexpr int kColumnWidths[ResultModel::kColumns] = {150, 160, 128, 150};

template <typename Widget>
Widget *place(Widget *widget, const char *name, int x, int y, int width, int height)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLineEdit *makeEditBox(QWidget *parent, const char *text)
{
    auto *edit = new QLineEdit(toScreen(text), parent);
    edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    edit->setCursorPosition(0);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *text)
{
    auto *button = new QPushButton(toScreen(text), parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel *makeLabel(QWidget *parent, const char *text)
{
    auto *label = new QLabel(toScreen(text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setWordWrap(false);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void describe(QWidget *widget, const char *name, const char *description)
{
    widget->setAccessibleName(toScreen(name));
    widget->setAccessibleDescription(toScreen(description));
}

// The selection is not shown while a control does not have the focus.
void hideInactiveSelection(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Inactive, QPalette::Text));
    widget->setPalette(palette);
}

}  // namespace

MainWindow::MainWindow(uint16_t endpointPort)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint)
{
    setWindowTitle(toScreen(kCaption));
    setWindowIcon(appIcon());
    setFixedSize(kClientSize);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    serverBox_ = place(makeEditBox(this, kDefaultServer), "编辑框2", 48, 16, 152, 20);
    clearButton_ = place(makeButton(this, kClearText), "按钮3", 523, 408, 80, 24);
    hintLabel_ = place(makeLabel(this, kHintText), "标签2", 16, 408, 184, 24);
    pathBox_ = place(makeEditBox(this, ""), "编辑框1", 296, 16, 184, 20);
    loadButton_ = place(makeButton(this, kLoadText), "按钮2", 488, 16, 64, 24);

    fileDialog_ = new QFileDialog(this);
    fileDialog_->setObjectName(QStringLiteral("通用对话框1"));
    fileDialog_->setFileMode(QFileDialog::ExistingFile);
    fileDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog_->setOption(QFileDialog::DontUseNativeDialog);
    fileDialog_->setNameFilter(QStringLiteral("*"));

    model_ = new ResultModel(this);
    resultList_ = place(new QTableView(this), "超级列表框1", 16, 56, 592, 352);
    resultList_->setModel(model_);
    resultList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    resultList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultList_->setShowGrid(true);
    resultList_->setSortingEnabled(false);
    resultList_->setWordWrap(false);
    resultList_->setTabKeyNavigation(false);
    resultList_->setContextMenuPolicy(Qt::NoContextMenu);
    resultList_->verticalHeader()->hide();
    resultList_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    resultList_->verticalHeader()->setDefaultSectionSize(resultList_->fontMetrics().height() + 4);
    QHeaderView *header = resultList_->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < ResultModel::kColumns; ++column)
        resultList_->setColumnWidth(column, kColumnWidths[column]);
    hideInactiveSelection(resultList_);
    hideInactiveSelection(serverBox_);
    hideInactiveSelection(pathBox_);
    resultList_->viewport()->installEventFilter(this);

    endpoint_ = std::make_unique<UdpEndpoint>(endpointPort, [this] {
        QMetaObject::invokeMethod(this, &MainWindow::takeDatagram, Qt::QueuedConnection);
    });

    queryButton_ = place(makeButton(this, kQueryText), "按钮1", 216, 16, 64, 24);
    serverLabel_ = place(makeLabel(this, "DNS"), "标签1", 16, 16, 40, 16);

    // Earlier controls lie over later ones: 编辑框2 covers the right-hand
    // 8 pixels of 标签1.
    for (QWidget *w : {static_cast<QWidget *>(serverLabel_), static_cast<QWidget *>(queryButton_),
                       static_cast<QWidget *>(resultList_), static_cast<QWidget *>(loadButton_),
                       static_cast<QWidget *>(pathBox_), static_cast<QWidget *>(hintLabel_),
                       static_cast<QWidget *>(clearButton_), static_cast<QWidget *>(serverBox_)})
        w->raise();

    // What a screen reader says of each control (GBK, like every text).
    describe(serverBox_, "\x44\x4e\x53\xb7\xfe\xce\xf1\xc6\xf7\xb5\xd8\xd6\xb7" /* DNS服务器地址 */, "\xd2\xaa\xb2\xe9\xd1\xaf\xb5\xc4\x44\x4e\x53\xb7\xfe\xce\xf1\xc6\xf7\xa3\xba\x49\x50\x76\x34\xb5\xd8\xd6\xb7\xbb\xf2\xd6\xf7\xbb\xfa\xc3\xfb\xa3\xbb\xc1\xf4\xbf\xd5\xd4\xf2\xb9\xe3\xb2\xa5" /* 要查询的DNS服务器：IPv4地址或主机名；留空则广播 */);
    describe(queryButton_, "\x44\x4e\x53\xb2\xe9\xd1\xaf" /* DNS查询 */, "\xcf\xf2\x44\x4e\x53\xb7\xfe\xce\xf1\xc6\xf7\xb7\xa2\xcb\xcd\xc1\xd0\xb1\xed\xd6\xd0\xc3\xbf\xb8\xf6\xd3\xf2\xc3\xfb\xb5\xc4\xb2\xe9\xd1\xaf" /* 向DNS服务器发送列表中每个域名的查询 */);
    describe(pathBox_, "\xd3\xf2\xc3\xfb\xc1\xd0\xb1\xed\xce\xc4\xbc\xfe" /* 域名列表文件 */, "\xd7\xee\xbd\xfc\xb6\xc1\xc8\xeb\xb5\xc4\xd3\xf2\xc3\xfb\xc1\xd0\xb1\xed\xce\xc4\xbc\xfe\xb5\xc4\xcd\xea\xd5\xfb\xc2\xb7\xbe\xb6" /* 最近读入的域名列表文件的完整路径 */);
    describe(loadButton_, "\xb6\xc1\xc8\xeb\xce\xc4\xbc\xfe" /* 读入文件 */, "\xd1\xa1\xd4\xf1\xb2\xa2\xb6\xc1\xc8\xeb\xd2\xbb\xb8\xf6\xd3\xf2\xc3\xfb\xc1\xd0\xb1\xed\xce\xc4\xbc\xfe\xa3\xac\xc3\xbf\xd0\xd0\xd2\xbb\xb8\xf6\xd3\xf2\xc3\xfb" /* 选择并读入一个域名列表文件，每行一个域名 */);
    describe(resultList_, "\xb2\xe9\xd1\xaf\xbd\xe1\xb9\xfb" /* 查询结果 */, "\xc3\xbf\xb8\xf6\x41\xbc\xc7\xc2\xbc\xd2\xbb\xd0\xd0\xa3\xba\xb2\xe9\xd1\xaf\xb5\xc4\xd3\xf2\xc3\xfb\xa1\xa2\xbc\xc7\xc2\xbc\xb5\xc4\xd3\xf2\xc3\xfb\xa1\xa2\x49\x50\xb5\xd8\xd6\xb7\xa1\xa2\xb9\xe9\xca\xf4\xb5\xd8\xa3\xbb\xd3\xd2\xbc\xfc\xb5\xa5\xbb\xf7\xb5\xbc\xb3\xf6\xb5\xbd\xce\xc4\xbc\xfe" /* 每个A记录一行：查询的域名、记录的域名、IP地址、归属地；右键单击导出到文件 */);
    describe(clearButton_, "\xc7\xe5\xb3\xfd\xca\xfd\xbe\xdd" /* 清除数据 */, "\xc7\xe5\xbf\xd5\xb2\xe9\xd1\xaf\xbd\xe1\xb9\xfb\xb1\xed\xb8\xf1" /* 清空查询结果表格 */);
    describe(hintLabel_, kHintText, "\xcc\xe1\xca\xbe" /* 提示 */);
    describe(serverLabel_, "DNS", "\x44\x4e\x53\xb7\xfe\xce\xf1\xc6\xf7\xb5\xd8\xd6\xb7" /* DNS服务器地址 */);
    serverLabel_->setBuddy(serverBox_);

    // Tab runs the layout order backwards.
    QWidget::setTabOrder(queryButton_, resultList_);
    QWidget::setTabOrder(resultList_, loadButton_);
    QWidget::setTabOrder(loadButton_, pathBox_);
    QWidget::setTabOrder(pathBox_, clearButton_);
    QWidget::setTabOrder(clearButton_, serverBox_);
    queryButton_->setFocus();

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    connect(queryButton_, &QPushButton::clicked, this, [this] {
        if (handlers_.sendQueries)
            handlers_.sendQueries();
    });
    connect(loadButton_, &QPushButton::clicked, this, [this] {
        if (handlers_.loadDomainList)
            handlers_.loadDomainList();
    });
    connect(clearButton_, &QPushButton::clicked, this, &MainWindow::clearResults);
}

MainWindow::~MainWindow()
{
    endpoint_.reset();  // stops the receiver thread before the window goes
}

void MainWindow::showCentred()
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
    show();
    const QSize outer = frameGeometry().size();
    move(screen.x() + (screen.width() - outer.width()) / 2, screen.y() + (screen.height() - outer.height()) / 2);
    activateWindow();
    queryButton_->setFocus();
}

void MainWindow::clearResults()
{
    model_->removeAllRows();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == resultList_->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        if (handlers_.exportResults)
            handlers_.exportResults();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// One datagram per event, in arrival order, each handler run to completion
// before the next datagram is taken. Datagrams that wait are worked off in
// slices of about a frame, so that the list repaints and the user's input
// is taken between slices rather than between every two datagrams.
void MainWindow::takeDatagram()
{
    constexpr auto kSlice = std::chrono::milliseconds(16);
    const auto sliceEnd = std::chrono::steady_clock::now() + kSlice;
    for (;;) {
        std::optional<UdpEndpoint::Taken> taken = endpoint_->takeNext();
        if (!taken)
            return;
        currentData_ = std::move(taken->datagram);
        inDataEvent_ = true;
        if (handlers_.onReplyArrived)
            handlers_.onReplyArrived();
        inDataEvent_ = false;
        currentData_.clear();
        if (!taken->moreWaiting)
            return;
        if (std::chrono::steady_clock::now() >= sliceEnd) {
            QMetaObject::invokeMethod(this, &MainWindow::takeDatagram, Qt::QueuedConnection);
            return;
        }
    }
}

QLineEdit *MainWindow::box(EditBox which) const
{
    return which == EditBox::path ? pathBox_ : serverBox_;
}

std::string MainWindow::editText(EditBox which)
{
    return fromScreen(box(which)->text());
}

void MainWindow::setEditText(EditBox which, std::string_view text)
{
    box(which)->setText(toScreen(text));
}

bool MainWindow::openFileDialog()
{
    if (!dialogFileName_.isEmpty())
        fileDialog_->selectFile(dialogFileName_);
    if (fileDialog_->exec() != QDialog::Accepted || fileDialog_->selectedFiles().isEmpty())
        return false;
    dialogFileName_ = fileDialog_->selectedFiles().constFirst();
    return true;
}

std::string MainWindow::dialogFileName()
{
    return fromScreen(dialogFileName_);
}

void MainWindow::messageBox(std::string_view text, std::string_view caption)
{
    QMessageBox box(QMessageBox::NoIcon, toScreen(caption), toScreen(text), QMessageBox::Ok, this);
    box.exec();
}

bool MainWindow::sendDatagram(std::string_view address, uint16_t port, std::string_view bytes)
{
    return endpoint_->send(address, port, bytes);
}

std::string MainWindow::takeData()
{
    return inDataEvent_ ? currentData_ : std::string();
}

uint64_t MainWindow::datagramsArrived()
{
    return endpoint_->arrivals();
}

bool MainWindow::waitForDatagram(uint64_t seen, std::chrono::milliseconds timeout)
{
    return endpoint_->isOpen() && endpoint_->waitForArrival(seen, timeout);
}

int MainWindow::appendRow(std::string_view column0)
{
    return model_->appendRow(std::string(column0));
}

void MainWindow::setCellText(int row, int column, std::string_view text)
{
    model_->setCell(row, column, std::string(text));
}

int MainWindow::rowCount()
{
    return model_->rowCount();
}

std::string MainWindow::cellText(int row, int column)
{
    return model_->cell(row, column);
}

void MainWindow::removeAllRows()
{
    model_->removeAllRows();
}

}  // namespace dnsbatch
