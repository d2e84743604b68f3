// Writes the application's picture as PNG files for the hicolor icon theme:
//   make_icons DIR   ->  DIR/32x32/apps/dnsbatch.png, DIR/128x128/apps/...
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "app_icon.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const int size : {32, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) || !dnsbatch::drawAppIcon(size).save(dir + QStringLiteral("/dnsbatch.png"), "PNG"))
            return 1;
    }
    return 0;
}
