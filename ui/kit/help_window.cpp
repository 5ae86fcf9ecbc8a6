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

std::vector<std::pair<QString, QString>> HelpContents(const QString& folder) {
    QFile file(folder + "/toc.hhc");
    std::vector<std::pair<QString, QString>> contents;
    if (!file.open(QIODevice::ReadOnly)) return contents;
    const QString text = QString::fromUtf8(file.readAll());
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
    text_ = new QTextBrowser(splitter);
    text_->setObjectName("HelpText");
    text_->setOpenExternalLinks(true);
    text_->setSearchPaths({folder_});
    splitter->addWidget(contents_);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 680});
    layout->addWidget(splitter);
    for (const auto& [title, page] : HelpContents(folder_)) {
        auto* item = new QListWidgetItem(title, contents_);
        item->setData(Qt::UserRole, page);
    }
    connect(contents_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
}

void HelpWindow::ShowPage(const QString& page) {
    const QString name = QFileInfo::exists(folder_ + "/" + page) ? page : QString("index.html");
    text_->setSource(QUrl::fromLocalFile(folder_ + "/" + name));
    for (int row = 0; row < contents_->count(); ++row)
        if (contents_->item(row)->data(Qt::UserRole).toString() == name) contents_->setCurrentRow(row);
}

QString HelpWindow::CurrentPage() const { return QFileInfo(text_->source().toLocalFile()).fileName(); }

}  // namespace coordconv
