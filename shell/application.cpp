#include "application.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "location_lookup.h"
#include "main_window.h"
#include "screen_text.h"
#include "workflow.h"

namespace dnsbatch {

void wireWindow(MainWindow &window, Workflow &workflow)
{
    window.setHandlers({
        [&workflow] { workflow.loadDomainList(); },
        [&workflow] { workflow.sendQueries(); },
        [&workflow] { workflow.onReplyArrived(); },
        [&workflow] { workflow.exportResults(); },
    });
}

int runApplication(const WindowFactory &makeWindow)
{
    std::unique_ptr<MainWindow> window;
    try {
        window = makeWindow();
    } catch (const std::exception &) {
    }
    if (!window) {
        QMessageBox::critical(nullptr, toScreen("DNS\xB2\xE9\xD1\xAF"),  // DNS查询
                              toScreen("\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xD6\xF7\xB4\xB0\xBF\xDA\xA1\xA3"));  // 无法创建主窗口。
        return 1;
    }

    Workflow workflow(*window, [](std::string_view address) { return lookupLocation(address); });
    workflow.initDomainList();
    wireWindow(*window, workflow);

    window->showCentred();
    QApplication::exec();
    window.reset();
    workflow.releaseDomainList();  // the exit action, once
    return 0;
}

}  // namespace dnsbatch
