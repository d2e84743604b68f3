#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "application.h"
#include "main_window.h"
#include "result_model.h"
#include "screen_text.h"

namespace dnsbatch {
namespace {

namespace fs = std::filesystem;

template <typename T = QWidget>
T *control(QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromUtf8(name));
}

// Runs action on the next modal window to open, from inside its event loop.
void onNextModal(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

class MainWindowTest : public testing::Test {
protected:
    // Port 0: any free port, so that tests never fight over 19730.
    MainWindow window{0};
};

struct ControlLayout {
    const char *name;
    const char *kind;
    QRect geometry;
    const char *text;
};

TEST_F(MainWindowTest, ControlsStandWhereTheLayoutSays)
{
    const ControlLayout controls[] = {
        {"编辑框2", "QLineEdit", {48, 16, 152, 20}, "211.138.156.66"},
        {"按钮3", "QPushButton", {523, 408, 80, 24}, "清除数据"},
        {"标签2", "QLabel", {16, 408, 184, 24}, "右键单击表格自动导出查询数据"},
        {"编辑框1", "QLineEdit", {296, 16, 184, 20}, ""},
        {"按钮2", "QPushButton", {488, 16, 64, 24}, "读入文件"},
        {"超级列表框1", "QTableView", {16, 56, 592, 352}, nullptr},
        {"按钮1", "QPushButton", {216, 16, 64, 24}, "DNS查询"},
        {"标签1", "QLabel", {16, 16, 40, 16}, "DNS"},
    };
    for (const ControlLayout &expected : controls) {
        SCOPED_TRACE(expected.name);
        QWidget *widget = control(window, expected.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(expected.kind));
        EXPECT_EQ(widget->geometry(), expected.geometry);
        EXPECT_TRUE(widget->isEnabled());
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            EXPECT_EQ(edit->text(), QString::fromUtf8(expected.text));
        }
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(expected.text));
            EXPECT_FALSE(button->isDefault());
            EXPECT_FALSE(button->autoDefault());
        }
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            EXPECT_EQ(label->text(), QString::fromUtf8(expected.text));
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        }
    }
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("DNS查询"));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_GE(window.width(), 608);
    EXPECT_GE(window.height(), 432);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().pixmap(32, 32).isNull());

    // 编辑框2 lies over the right-hand 8 pixels of 标签1.
    QWidget *overlap = window.childAt(50, 20);
    EXPECT_EQ(overlap ? overlap->objectName() : QString(), QString::fromUtf8("编辑框2"));
}

TEST_F(MainWindowTest, EveryVisibleControlHasAnAccessibleNameAndDescription)
{
    const std::pair<const char *, const char *> named[] = {
        {"编辑框2", "DNS服务器地址"}, {"按钮3", "清除数据"}, {"标签2", "右键单击表格自动导出查询数据"}, {"编辑框1", "域名列表文件"},
        {"按钮2", "读入文件"},       {"超级列表框1", "查询结果"}, {"按钮1", "DNS查询"},                 {"标签1", "DNS"},
    };
    for (const auto &[object, name] : named) {
        SCOPED_TRACE(object);
        QWidget *widget = control(window, object);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(name));
        EXPECT_FALSE(widget->accessibleDescription().isEmpty());
    }
    EXPECT_EQ(control<QLabel>(window, "标签1")->buddy(), control(window, "编辑框2"));
}

TEST_F(MainWindowTest, ResultListColumnsAndSettings)
{
    auto *list = control<QTableView>(window, "超级列表框1");
    ASSERT_NE(list, nullptr);
    const char *headings[] = {"QNAME", "NAME", "IP", "归属"};
    const int widths[] = {150, 160, 128, 150};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(), QString::fromUtf8(headings[column]));
        EXPECT_EQ(list->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(list->model()->columnCount(), 4);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(list->showGrid());
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_FALSE(list->horizontalHeader()->sectionsMovable());
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
    EXPECT_EQ(list->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
}

TEST_F(MainWindowTest, TabCyclesThroughTheLayoutOrderBackwards)
{
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const char *cycle[] = {"按钮1", "超级列表框1", "按钮2", "编辑框1", "按钮3", "编辑框2", "按钮1"};
    ASSERT_EQ(QApplication::focusWidget(), control(window, "按钮1"));
    for (size_t i = 1; i < std::size(cycle); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control(window, cycle[i])) << "after Tab " << i;
    }
    for (size_t i = std::size(cycle) - 1; i > 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), control(window, cycle[i - 1])) << "after Shift+Tab " << i;
    }
}

TEST_F(MainWindowTest, OpensCentred)
{
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window.frameGeometry().center().y() - screen.center().y()), 1);
}

TEST_F(MainWindowTest, EnterClicksNothingAndEscCloses)
{
    int clicks = 0;
    window.setHandlers({[&] { ++clicks; }, [&] { ++clicks; }, [] {}, [] {}});
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const char *name : {"编辑框2", "编辑框1", "按钮1", "按钮2"}) {
        control(window, name)->setFocus();
        QTest::keyClick(control(window, name), Qt::Key_Return);
        QTest::keyClick(control(window, name), Qt::Key_Enter);
        QTest::keyClick(control(window, name), Qt::Key_F1);
    }
    EXPECT_EQ(clicks, 0);
    QTest::keyClick(control(window, "按钮1"), Qt::Key_Space);
    EXPECT_EQ(clicks, 1);  // Space on a focused button clicks it

    control(window, "编辑框2")->setFocus();
    QTest::keyClick(control(window, "编辑框2"), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, ClearResultsEmptiesTheListAndKeepsTheColumns)
{
    control<QPushButton>(window, "按钮3")->click();  // on an empty list: nothing happens
    EXPECT_EQ(window.rowCount(), 0);
    EXPECT_EQ(window.appendRow("a"), 0);
    window.setCellText(0, 3, "\xB1\xB1\xBE\xA9");
    EXPECT_EQ(window.appendRow("b"), 1);
    EXPECT_EQ(window.cellText(0, 3), "\xB1\xB1\xBE\xA9");
    EXPECT_EQ(window.results().data(window.results().index(0, 3), Qt::DisplayRole).toString(), QString::fromUtf8("北京"));
    control<QPushButton>(window, "按钮3")->click();
    EXPECT_EQ(window.rowCount(), 0);
    EXPECT_EQ(window.results().columnCount(), 4);
    EXPECT_EQ(window.appendRow("c"), 0);
}

TEST_F(MainWindowTest, RightClickInTheListAreaExportsAndNothingElseDoes)
{
    int exports = 0;
    window.setHandlers({[] {}, [] {}, [] {}, [&] { ++exports; }});
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *list = control<QTableView>(window, "超级列表框1");
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(100, 200));  // empty space, no rows
    EXPECT_EQ(exports, 1);
    window.appendRow("a");
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(10, 5));  // on a row
    EXPECT_EQ(exports, 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(exports, 2);
    EXPECT_EQ(window.rowCount(), 1);
}

TEST_F(MainWindowTest, EmptyListMessageBox)
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int buttons = 0;
    onNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->accept();
    });
    window.messageBox("\xB5\xBC\xC8\xEB" "0" "\xB8\xF6\xD3\xF2\xC3\xFB", "\xD0\xC5\xCF\xA2\xA3\xBA");
    EXPECT_EQ(title, QString::fromUtf8("信息："));
    EXPECT_EQ(text, QString::fromUtf8("导入0个域名"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
}

TEST_F(MainWindowTest, FileDialogRemembersTheLastConfirmedPath)
{
    const fs::path dir = fs::temp_directory_path() / fs::path("dnsbatch-对话框-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / fs::path("名单 a.txt");
    std::ofstream(file) << "a.com\r\n";
    const QString path = QString::fromStdString(file.string());

    QStringList opened, directories;
    auto answer = [&](bool confirm) {
        onNextModal([&, confirm](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            opened << (name ? name->text() : QStringLiteral("?"));
            directories << dialog->directory().absolutePath();
            if (confirm && name) {
                name->setText(path);  // typed, as a user would
                static_cast<QDialog *>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        return window.openFileDialog();
    };

    EXPECT_TRUE(answer(true));
    EXPECT_EQ(toScreen(window.dialogFileName()), path);
    EXPECT_FALSE(answer(false));
    EXPECT_FALSE(answer(false));
    EXPECT_EQ(toScreen(window.dialogFileName()), path);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], QString());
    EXPECT_EQ(opened[1], QString::fromStdString(file.filename().string()));
    EXPECT_EQ(directories[1], QString::fromStdString(dir.string()));
    EXPECT_EQ(opened[2], opened[1]);
    EXPECT_EQ(directories[2], directories[1]);
    fs::remove_all(dir);
}

TEST_F(MainWindowTest, EachDatagramRaisesOneEventWithItsBytes)
{
    std::vector<std::string> seen;
    window.setHandlers({[] {}, [] {}, [&] {
                            seen.push_back(window.takeData());
                            if (seen.size() == 1)
                                QTest::qWait(300);  // busy: the rest arrive meanwhile
                        },
                        [] {}});
    EXPECT_EQ(window.takeData(), "");
    const int peer = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(window.endpoint().localPort());
    const std::string datagrams[] = {"\x01", "", std::string(2000, 'z'), "two", "three"};
    for (const std::string &d : datagrams)
        ::sendto(peer, d.data(), d.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    ::close(peer);
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() >= 4; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(seen, (std::vector<std::string>{"\x01", std::string(2000, 'z'), "two", "three"}));
    EXPECT_EQ(window.takeData(), "");
}

TEST(MainWindowStartUp, PortTakenStillOpensTheWindow)
{
    MainWindow first(0);
    ASSERT_TRUE(first.endpoint().isOpen());
    MainWindow second(first.endpoint().localPort());
    EXPECT_FALSE(second.endpoint().isOpen());
    second.showCentred();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&second));
    EXPECT_FALSE(second.sendDatagram("127.0.0.1", 53, "q"));
    EXPECT_EQ(second.appendRow("still works"), 0);
}

TEST(Application, EscEndsTheRunWithExitCodeZero)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<MainWindow *>(widget) && widget->isActiveWindow()) {
                timer->stop();
                timer->deleteLater();
                QTest::keyClick(widget, Qt::Key_Escape);
                return;
            }
        }
    });
    timer->start();
    EXPECT_EQ(runApplication([] { return std::make_unique<MainWindow>(0); }), 0);
}

TEST(Application, FailedWindowCreationShowsAMessageAndFails)
{
    QString text;
    onNextModal([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            text = box->text();
        modal->close();
    });
    EXPECT_NE(runApplication([]() -> std::unique_ptr<MainWindow> { throw std::runtime_error("no window"); }), 0);
    EXPECT_FALSE(text.isEmpty());
}

}  // namespace
}  // namespace dnsbatch
