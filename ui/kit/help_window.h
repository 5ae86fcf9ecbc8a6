// The program's help inside the program: the user guide's HTML pages (the
// sources Help.chm is compiled from) in a browser with the contents list,
// for desktops without a CHM viewer and for each tool window's F1.
#pragma once

#include <QByteArray>
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

// The limits of a help file taken in: the guide's pages are under 10 KB,
// with one or two tables of some forty cells and at most fourteen list items.
// A page beyond them (a damaged or hostile file) would take QTextBrowser
// minutes or crash it: nested tables double the layout time with every
// level (20 levels: minutes; 5,000: a stack overflow), and list items,
// images and unbroken words cost time growing faster than their number.
inline constexpr qsizetype kMaxHelpPageBytes = 1 << 20;      // a page, toc.hhc, a style sheet
inline constexpr qsizetype kMaxHelpImageBytes = 4 << 20;     // an image
inline constexpr int kMaxHelpElements = 20000;               // start tags of a page
inline constexpr int kMaxHelpNesting = 100;                  // elements open at once
inline constexpr int kMaxHelpTableNesting = 4;               // tables open at once
inline constexpr int kMaxHelpTableCells = 1000;              // table cells of a page
inline constexpr int kMaxHelpListItems = 1000;               // list items of a page
inline constexpr int kMaxHelpImages = 100;                   // images of a page
inline constexpr int kMaxHelpWordBytes = 2000;               // text without a blank, tags skipped

// Why the page `html` is beyond the limits above (in Chinese, for the help
// window), or an empty text when it is within them. Counts the tags as an
// HTML reader sees them: comments, declarations and script or style content
// skipped, elements whose end tag may be left out (p, li, td, ...) and empty
// elements (br, img, ...) never counted as open.
QString HelpPageRefusal(const QByteArray& html);

// The contents of toc.hhc in `folder`: (title, page) in order. A toc.hhc
// that is no regular file, larger than kMaxHelpPageBytes or unreadable gives
// no entries and, in `failure`, a line saying why.
std::vector<std::pair<QString, QString>> HelpContents(const QString& folder, QString* failure = nullptr);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QWidget* owner, const QString& folder);

    // Shows `page` ("gsZS.html"), or the index when the folder lacks it.
    void ShowPage(const QString& page);
    QString CurrentPage() const;

    // Help files are read by the window itself: regular files only, within
    // the limits above, an allocation failure caught; a page refused shows a
    // line saying why instead.
    QTextBrowser* Text() const { return text_; }
    QListWidget* Contents() const { return contents_; }

private:
    QString folder_;
    QListWidget* contents_;
    QTextBrowser* text_;
};

}  // namespace coordconv
