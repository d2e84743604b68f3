// Run by fidelity_x11.py under a real X server (Xvfb, no window manager):
// each control, as the X server shows it, stands at its layout place. The
// screen's pixels at the control's layout rectangle must be the control's
// own rendering.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "gui_driver.h"

namespace dnsbatch {
namespace {

double sameShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    qint64 same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            same += a.pixel(x, y) == b.pixel(x, y);
    return static_cast<double>(same) / (a.width() * a.height());
}

TEST(Fidelity, ScreenShowsEachControlAtItsLayoutPlace)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    MainWindow window(0);
    window.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(300);
    const QImage screen = window.screen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));

    struct Place {
        const char *name;
        QRect layout;
        int coveredOnTheRight;  // pixels an earlier control lies over
    };
    const Place places[] = {
        {"编辑框2", {48, 16, 152, 20}, 0},   {"按钮3", {523, 408, 80, 24}, 0}, {"标签2", {16, 408, 184, 24}, 0},
        {"编辑框1", {296, 16, 184, 20}, 0},  {"按钮2", {488, 16, 64, 24}, 0},  {"超级列表框1", {16, 56, 592, 352}, 0},
        {"按钮1", {216, 16, 64, 24}, 0},     {"标签1", {16, 16, 40, 16}, 8},
    };
    for (const Place &place : places) {
        SCOPED_TRACE(place.name);
        QWidget *widget = window.findChild<QWidget *>(QString::fromUtf8(place.name));
        ASSERT_NE(widget, nullptr);
        const QRect visible(0, 0, place.layout.width() - place.coveredOnTheRight, place.layout.height());
        const QImage own = widget->grab(visible).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage shown = screen.copy(place.layout.adjusted(0, 0, -place.coveredOnTheRight, 0).translated(origin));
        EXPECT_GE(sameShare(own, shown), 0.98);
    }
    // The window itself is centred on the screen.
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - window.screen()->geometry().center().x()), 1);
}

}  // namespace
}  // namespace dnsbatch
