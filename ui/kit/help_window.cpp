#include "ui/kit/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProcess>
#include <QRegularExpression>
#include <QSplitter>
#include <QUrl>
#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "table/regular_file.h"

namespace coordconv {
namespace {

QStringList Candidates(const QString& relative) {
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.filePath(relative), program.filePath("../" + relative),
            program.filePath("../share/coordconv/" + relative)};
}

}  // namespace

QString HelpFolder() {
    for (const QString& folder : Candidates("help"))
        if (QFileInfo::exists(folder + "/index.html")) return QDir(folder).absolutePath();
    return QString();
}

QString HelpFile() {
    for (const QString& file : Candidates("Help.chm"))
        if (QFileInfo::exists(file)) return QFileInfo(file).absoluteFilePath();
    return QString();
}

bool ChmViewerRegistered() {
#ifdef _WIN32
    return true;
#else
    for (const char* type : {"application/vnd.ms-htmlhelp", "application/x-chm"}) {
        QProcess query;
        query.start("xdg-mime", {"query", "default", type});
        if (!query.waitForFinished(3000)) {
            query.kill();
            continue;
        }
        if (query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
            !query.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
#endif
}

namespace {

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':';
}

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// Elements that have no content, and elements whose end tag may be left out
// (the reader closes them itself): neither stays open in the count.
bool NeverOpen(const std::string& name) {
    static constexpr std::string_view kNames[] = {
        "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source", "track", "wbr",
        "html", "head", "body", "p", "li", "dt", "dd", "tr", "td", "th", "thead", "tbody", "tfoot", "colgroup",
        "caption", "option", "optgroup", "rt", "rp"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// Elements that start a new line: the text before them and after them are
// separate words.
bool BreaksLine(const std::string& name) {
    static constexpr std::string_view kNames[] = {"br", "p", "div", "pre", "hr", "table", "tr", "td", "th", "ul", "ol",
                                                  "li", "dl", "dt", "dd", "blockquote", "h1", "h2", "h3", "h4", "h5",
                                                  "h6", "body", "center"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// The end of the tag that starts at `from` ('<'): the '>' outside quoted
// attribute values, or the end of the text.
std::size_t TagEnd(std::string_view html, std::size_t from) {
    char quote = 0;
    for (std::size_t i = from + 1; i < html.size(); ++i) {
        const char c = html[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return html.size();
}

QString RefusedPage(const QString& page, const QString& reason) {
    return QString("<p>帮助页 %1 未能显示（%2）。</p>").arg(page.toHtmlEscaped(), reason.toHtmlEscaped());
}

std::string FileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The browser of the help window: reads the pages, images and style sheets
// itself (see ReadRegularFile and HelpPageRefusal) instead of QTextBrowser's
// plain open and read, which waits forever on a FIFO and reads a device such
// as /dev/zero until memory runs out.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(QWidget* parent, QString folder) : QTextBrowser(parent), folder_(std::move(folder)) {}

    QVariant loadResource(int type, const QUrl& name) override {
        if (!name.isRelative() && !name.isLocalFile()) return QTextBrowser::loadResource(type, name);
        const QString path = LocalPath(name);
        try {
            if (type == QTextDocument::ImageResource)
                return QByteArray::fromStdString(ReadRegularFile(FileName(path), kMaxHelpImageBytes));
            QByteArray bytes = QByteArray::fromStdString(ReadRegularFile(FileName(path), kMaxHelpPageBytes));
            if (type != QTextDocument::HtmlResource) return bytes;
            const QString refusal = HelpPageRefusal(bytes);
            return refusal.isEmpty() ? QVariant(bytes) : QVariant(RefusedPage(QFileInfo(path).fileName(), refusal));
        } catch (const CommandError& error) {
            return Refused(type, path, QString::fromStdString(error.what()));
        } catch (const std::bad_alloc&) {
            return Refused(type, path, "内存不足");
        }
    }

private:
    // A relative name against the page shown, then the help folder (found by
    // its status alone: nothing is opened to look).
    QString LocalPath(const QUrl& name) const {
        if (!name.isRelative()) return name.toLocalFile();
        for (const QUrl& base : {source(), QUrl::fromLocalFile(folder_ + "/")}) {
            if (!base.isValid() || !base.isLocalFile()) continue;
            const QString path = base.resolved(name).toLocalFile();
            if (QFileInfo::exists(path)) return path;
        }
        return QUrl::fromLocalFile(folder_ + "/").resolved(name).toLocalFile();
    }

    // What stands for a file refused. Never an empty answer: QTextDocument
    // would then open and read the file itself.
    static QVariant Refused(int type, const QString& path, const QString& reason) {
        if (type == QTextDocument::HtmlResource) return RefusedPage(QFileInfo(path).fileName(), reason);
        if (type == QTextDocument::ImageResource) return QByteArray("refused");  // no image: Qt's placeholder
        return QString(" ");
    }

    QString folder_;
};

}  // namespace

QString HelpPageRefusal(const QByteArray& page) {
    const std::string_view html(page.constData(), static_cast<std::size_t>(page.size()));
    std::vector<std::string> open;  // elements open now, outermost first
    int elements = 0, cells = 0, items = 0, images = 0;
    // The longest run of text without a blank or a line break: counted up to
    // each tag, and on over an inline tag (<b>, <a>, ...), which breaks no word.
    std::size_t word = 0;
    const auto word_too_long = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            const char c = html[i];
            word = c == ' ' || c == '\t' || c == '\n' || c == '\r' ? 0 : word + 1;
            if (word > static_cast<std::size_t>(kMaxHelpWordBytes)) return true;
        }
        return false;
    };
    const QString long_word = QString("不换行的文字长于 %1 字节").arg(kMaxHelpWordBytes);
    std::size_t text_from = 0;
    for (std::size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
        if (word_too_long(text_from, at)) return long_word;
        text_from = at;
        if (html.substr(at, 4) == "<!--") {
            const std::size_t end = html.find("-->", at + 4);
            if (end == std::string_view::npos) break;
            at = end + 2;
            text_from = end + 3;
            continue;
        }
        const bool closing = at + 1 < html.size() && html[at + 1] == '/';
        std::size_t name_end = at + (closing ? 2 : 1);
        while (name_end < html.size() && IsNameChar(html[name_end])) ++name_end;
        const std::string name = LowerName(html.substr(at + (closing ? 2 : 1), name_end - at - (closing ? 2 : 1)));
        if (name.empty()) continue;  // "<!DOCTYPE", "<?xml", a lone "<" of the text
        const std::size_t end = TagEnd(html, at);
        text_from = end + 1;
        if (BreaksLine(name)) word = 0;
        if (closing) {
            // An end tag closes its element and any left open inside it;
            // one without an open element is ignored, as readers do.
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend()) open.erase(std::prev(match.base()), open.end());
        } else {
            if (++elements > kMaxHelpElements) return QString("标记多于 %1 个").arg(kMaxHelpElements);
            if ((name == "td" || name == "th") && ++cells > kMaxHelpTableCells)
                return QString("表格单元格多于 %1 个").arg(kMaxHelpTableCells);
            if (name == "li" && ++items > kMaxHelpListItems) return QString("列表项多于 %1 个").arg(kMaxHelpListItems);
            if (name == "img" && ++images > kMaxHelpImages) return QString("图片多于 %1 个").arg(kMaxHelpImages);
            const bool empty_tag = end > at && end < html.size() && html[end - 1] == '/';
            if (!empty_tag && !NeverOpen(name)) {
                open.push_back(name);
                if (static_cast<int>(open.size()) > kMaxHelpNesting)
                    return QString("标记嵌套深于 %1 层").arg(kMaxHelpNesting);
                if (name == "table" && std::count(open.begin(), open.end(), "table") > kMaxHelpTableNesting)
                    return QString("表格嵌套深于 %1 层").arg(kMaxHelpTableNesting);
            }
            if (name == "script" || name == "style") {
                // Their content is no markup.
                const std::size_t close = html.find("</", end);
                if (close == std::string_view::npos) break;
                at = close - 1;
                text_from = close;
                continue;
            }
        }
        if (end >= html.size()) return QString();
        at = end;
    }
    if (text_from < html.size() && word_too_long(text_from, html.size())) return long_word;
    return QString();
}

std::vector<std::pair<QString, QString>> HelpContents(const QString& folder, QString* failure) {
    std::vector<std::pair<QString, QString>> contents;
    const QString path = folder + "/toc.hhc";
    if (!QFileInfo::exists(path)) return contents;
    QString text;
    QString reason;
    try {
        text = QString::fromStdString(ReadRegularFile(FileName(path), kMaxHelpPageBytes));
    } catch (const CommandError& error) {
        reason = QString::fromStdString(error.what());
    } catch (const std::bad_alloc&) {
        reason = "内存不足";
    }
    if (!reason.isEmpty()) {
        if (failure != nullptr) *failure = QString("目录 toc.hhc 未能读入（%1）。").arg(reason);
        return contents;
    }
    // Each entry: <param name="Name" value="..."><param name="Local" value="...">.
    static const QRegularExpression entry(
        "<param\\s+name=\"Name\"\\s+value=\"([^\"]*)\"\\s*/?>\\s*<param\\s+name=\"Local\"\\s+value=\"([^\"]*)\"",
        QRegularExpression::CaseInsensitiveOption);
    for (auto match = entry.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        contents.emplace_back(m.captured(1), m.captured(2));
    }
    return contents;
}

HelpWindow::HelpWindow(QWidget* owner, const QString& folder) : QWidget(owner, Qt::Window), folder_(folder) {
    setObjectName("FormHelp");
    setWindowTitle("坐标转换 帮助");
    resize(900, 640);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* splitter = new QSplitter(this);
    contents_ = new QListWidget(splitter);
    contents_->setObjectName("HelpContents");
    text_ = new HelpBrowser(splitter, folder_);
    text_->setObjectName("HelpText");
    text_->setOpenExternalLinks(true);
    text_->setSearchPaths({folder_});
    splitter->addWidget(contents_);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 680});
    layout->addWidget(splitter);
    QString contents_failure;
    for (const auto& [title, page] : HelpContents(folder_, &contents_failure)) {
        auto* item = new QListWidgetItem(title, contents_);
        item->setData(Qt::UserRole, page);
    }
    if (!contents_failure.isEmpty()) {
        auto* item = new QListWidgetItem(contents_failure, contents_);
        item->setFlags(Qt::ItemIsEnabled);
        item->setToolTip(contents_failure);
    }
    connect(contents_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item->data(Qt::UserRole).isValid()) ShowPage(item->data(Qt::UserRole).toString());
    });
}

void HelpWindow::ShowPage(const QString& page) {
    const QString name = QFileInfo::exists(folder_ + "/" + page) ? page : QString("index.html");
    text_->setSource(QUrl::fromLocalFile(folder_ + "/" + name));
    for (int row = 0; row < contents_->count(); ++row)
        if (contents_->item(row)->data(Qt::UserRole).toString() == name) contents_->setCurrentRow(row);
}

QString HelpWindow::CurrentPage() const { return QFileInfo(text_->source().toLocalFile()).fileName(); }

}  // namespace coordconv
