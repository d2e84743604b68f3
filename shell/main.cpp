#include <QApplication>

#include "application.h"
#include "main_window.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return dnsbatch::runApplication([] { return std::make_unique<dnsbatch::MainWindow>(); });
}
