// The program's help inside the program: the user guide's HTML pages (the
// sources Help.chm is compiled from) in a browser with the contents list,
// for desktops without a CHM viewer and for each tool window's F1.
#pragma once

#include <QListWidget>
#include <QString>
#include <QTextBrowser>
#include <QWidget>
#include <utility>
#include <vector>

namespace coordconv {

// The folder of the help pages: "help" beside the program, in the build
// tree above a test program, or share/coordconv/help of an installation;
// empty when none holds index.html.
QString HelpFolder();
// Help.chm beside the program, above a test program, or in share/coordconv;
// empty when there is none.
QString HelpFile();
// True when the desktop has a program registered for CHM files (always on
// Windows; on other systems as xdg-mime reports it).
bool ChmViewerRegistered();

// The contents of toc.hhc in `folder`: (title, page) in order.
std::vector<std::pair<QString, QString>> HelpContents(const QString& folder);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QWidget* owner, const QString& folder);

    // Shows `page` ("gsZS.html"), or the index when the folder lacks it.
    void ShowPage(const QString& page);
    QString CurrentPage() const;

    QTextBrowser* Text() const { return text_; }
    QListWidget* Contents() const { return contents_; }

private:
    QString folder_;
    QListWidget* contents_;
    QTextBrowser* text_;
};

}  // namespace coordconv
