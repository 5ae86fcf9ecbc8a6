// The help window over damaged help files: FIFOs and /dev/zero-like nodes
// (made here with mkfifo and mknod), oversized pages and contents, and pages
// whose nesting would crash or stall QTextBrowser. Each is refused with a
// line in the window, at once; the guide's own pages all show.
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>

#include "tests/test_support.h"
#include "ui/kit/help_window.h"

namespace coordconv {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;

std::string Repeat(const std::string& text, int count) {
    std::string result;
    result.reserve(text.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

std::string Page(const std::string& body) { return "<html><body><h1>Page</h1>" + body + "</body></html>"; }

std::string Nested(const std::string& open, const std::string& close, int depth) {
    return Page(Repeat(open, depth) + "x" + Repeat(close, depth));
}

// A node like /dev/zero; false where devices cannot be made.
bool MakeZeroDevice(const std::string& path) { return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0; }

QString Shown(HelpWindow& window, const std::string& page) {
    window.ShowPage(QString::fromStdString(page));
    return window.Text()->toPlainText();
}

TEST(HelpWindowFiles, DamagedPagesAreRefusedWithALine) {
    const ScratchDir dir;
    const QString folder = QString::fromStdString(dir.Path(""));
    WriteBytes(dir.Path("index.html"), Page("<p>Start</p>"));
    WriteBytes(dir.Path("big.html"), Page(std::string(1 << 20, 'x')));
    WriteBytes(dir.Path("tables4000.html"), Nested("<table><tr><td>", "</td></tr></table>", 5000));
    WriteBytes(dir.Path("tables4.html"), Nested("<table border=1><tr><td>", "</td></tr></table>", 4));
    WriteBytes(dir.Path("divs100000.html"), Nested("<div>", "</div>", 100000));
    WriteBytes(dir.Path("spans60000.html"), Nested("<span>", "</span>", 60000));
    WriteBytes(dir.Path("rows20000.html"), Page("<table>" + Repeat("<tr><td>a</td><td>b</td></tr>", 20000) + "</table>"));
    WriteBytes(dir.Path("paragraphs30000.html"), Page(Repeat("<p>a", 30000)));
    WriteBytes(dir.Path("items20000.html"), Page("<ul>" + Repeat("<li>abc", 20000) + "</ul>"));
    WriteBytes(dir.Path("images200.html"), Page(Repeat("<img src=\"none.png\">", 200)));
    WriteBytes(dir.Path("word.html"), Page("<p>" + Repeat("x<b>x</b>", 50000) + "</p>"));
    WriteBytes(dir.Path("image.html"), Page("<p>Picture</p><img src=\"fifo.png\"><img src=\"zero.png\">"));
    ASSERT_EQ(mkfifo(dir.Path("fifo.html").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dir.Path("fifo.png").c_str(), 0600), 0);
    const bool devices = MakeZeroDevice(dir.Path("zero.html")) && MakeZeroDevice(dir.Path("zero.png"));

    HelpWindow window(nullptr, folder);
    window.show();
    EXPECT_TRUE(Shown(window, "index.html").contains("Start"));
    const struct {
        std::string page, reason;
    } refused[] = {
        {"big.html", "File larger than 1 MB"},       {"fifo.html", "File access denied"},
        {"tables4000.html", "表格嵌套深于 4 层"},     {"divs100000.html", "File larger than 1 MB"},
        {"spans60000.html", "标记嵌套深于 100 层"},   {"rows20000.html", "表格单元格多于 1000 个"},
        {"paragraphs30000.html", "标记多于 20000 个"}, {"zero.html", "File access denied"},
        {"items20000.html", "列表项多于 1000 个"},     {"images200.html", "图片多于 100 个"},
        {"word.html", "不换行的文字长于 2000 字节"},
    };
    for (const auto& [page, reason] : refused) {
        if (page == "zero.html" && !devices) continue;
        const QString text = Shown(window, page);
        EXPECT_TRUE(text.contains(QString::fromStdString("帮助页 " + page + " 未能显示（" + reason + "）")))
            << page << ": " << text.left(200).toStdString();
    }
    // Within the limits: shown, and so is a page whose images are refused.
    EXPECT_TRUE(Shown(window, "tables4.html").contains("x"));
    EXPECT_EQ(window.CurrentPage(), "tables4.html");
    EXPECT_TRUE(Shown(window, "image.html").contains("Picture"));
}

TEST(HelpWindowFiles, DamagedContentsAreRefusedWithALine) {
    const auto contents_of = [](const std::string& toc, bool fifo) {
        const ScratchDir dir;
        WriteBytes(dir.Path("index.html"), Page("<p>Start</p>"));
        if (fifo) {
            EXPECT_EQ(mkfifo(dir.Path("toc.hhc").c_str(), 0600), 0);
        } else if (toc == "zero") {
            if (!MakeZeroDevice(dir.Path("toc.hhc"))) return QStringList{"no devices"};
        } else {
            WriteBytes(dir.Path("toc.hhc"), toc);
        }
        HelpWindow window(nullptr, QString::fromStdString(dir.Path("")));
        QStringList lines;
        for (int row = 0; row < window.Contents()->count(); ++row) lines << window.Contents()->item(row)->text();
        return lines;
    };
    const std::string entry = "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"P\"><param name=\"Local\" value=\"index.html\"></OBJECT>\n";
    EXPECT_EQ(contents_of(Repeat(entry, 3), false).size(), 3);
    const QString fifo_line = "目录 toc.hhc 未能读入（File access denied）。";
    EXPECT_EQ(contents_of("", true), QStringList{fifo_line});
    const QStringList zero = contents_of("zero", false);
    if (zero != QStringList{"no devices"}) {
        EXPECT_EQ(zero, QStringList{fifo_line});
    }
    EXPECT_EQ(contents_of(Repeat(entry, 300000), false), QStringList{"目录 toc.hhc 未能读入（File larger than 1 MB）。"});
}

// The guide's own pages are far within the limits.
TEST(HelpWindowFiles, TheGuidesPagesAreWithinTheLimits) {
    const QDir help(COORDCONV_TEST_DATA "/../../docs/help");
    const QStringList pages = help.entryList({"*.html"});
    ASSERT_GT(pages.size(), 10);
    for (const QString& page : pages) {
        QFile file(help.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(HelpPageRefusal(file.readAll()), QString()) << page.toStdString();
    }
}

}  // namespace
}  // namespace coordconv
