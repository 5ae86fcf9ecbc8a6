// coordconv: the desktop program.
//
//   coordconv [--open ITEM]...
//
// --open runs the menu item named ITEM (gsZS, utmFS, ...) at start, as if the
// user had chosen it; handy for demonstrations and screenshots.
#include <QAction>
#include <QApplication>
#include <QFont>
#include <QScreen>

#include "table/safe_file.h"
#include "ui/app/main_window.h"
#include "ui/kit/qt_user_dialogs.h"

int main(int argc, char** argv) {
    // A save that a signal stops leaves the old file and no temporary one.
    coordconv::RemoveTemporaryFilesOnInterrupt();
    QApplication application(argc, argv);
    // The application title; no application display name, which Qt would
    // append to every window title.
    QApplication::setApplicationName(QString::fromUtf8(coordconv::kApplicationTitle));
    QFont font;
    font.setFamilies({"MS Sans Serif", "WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    font.setPixelSize(12);
    QApplication::setFont(font);

    coordconv::MainWindow main_window;
    // Without a window manager "maximized" means nothing; cover the screen then.
    if (const QScreen* screen = QApplication::primaryScreen()) main_window.setGeometry(screen->availableGeometry());
    main_window.showMaximized();

    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] != "--open") continue;
        if (QAction* item = main_window.MenuItem(arguments[++i]); item != nullptr && item->isEnabled()) item->trigger();
    }
    return QApplication::exec();
}
