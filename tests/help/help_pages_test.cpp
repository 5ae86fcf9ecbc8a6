// The user guide in docs/help: one page per menu item, reachable from the
// contents, the project file and the start page, and every worked example
// of coordconv-cli run as printed.
//
// A page marks its examples with <pre> blocks, taken in page order in one
// scratch folder that is the working folder of the commands:
//   <pre class="file" data-name="F">   the text of input file F (written with CR LF line ends)
//   <pre class="cli">coordconv-cli ...  one command, words split at blanks (a word in double
//                                      quotes loses them); must exit with status 0
//   <pre class="out"> / <pre class="err"> what the command before prints on
//                                      standard output / standard error
//   <pre class="saved" data-name="F">  what file F holds after the commands before
// Texts are compared without carriage returns and trailing line ends.
#include <gtest/gtest.h>

#include <QStringDecoder>
#include <filesystem>
#include <sstream>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;

const std::string kHelpDir = COORDCONV_TEST_DATA "/../../docs/help/";

const char* const kMenuPages[] = {"gsZS", "gsFS", "utmZS", "utmFS", "zbHD", "gcDC", "BuerSha", "sw7C",
                                  "ew7C", "sw4C", "ew4c", "Poly",  "GPS1",  "TFH",  "bzBL", "bzXY"};

struct Block {
    std::string kind, name, text;
};

std::string Between(const std::string& text, const std::string& open, const std::string& close, std::size_t from = 0) {
    const std::size_t start = text.find(open, from);
    if (start == std::string::npos) return "";
    const std::size_t end = text.find(close, start + open.size());
    return text.substr(start + open.size(), end - start - open.size());
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size()) text.replace(at, what.size(), with);
    return text;
}

// Block text as shown: entities decoded, no CR, no line end at either end.
std::string Shown(std::string text) {
    text = Replace(Replace(Replace(Replace(Replace(text, "\r", ""), "&lt;", "<"), "&gt;", ">"), "&quot;", "\""), "&amp;", "&");
    while (!text.empty() && text.front() == '\n') text.erase(0, 1);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<Block> PreBlocks(const std::string& page) {
    std::vector<Block> blocks;
    for (std::size_t at = 0; (at = page.find("<pre class=\"", at)) != std::string::npos;) {
        const std::size_t tag_end = page.find('>', at);
        const std::size_t close = page.find("</pre>", tag_end);
        const std::string tag = page.substr(at, tag_end - at);
        blocks.push_back({Between(tag, "class=\"", "\""), Between(tag, "data-name=\"", "\""),
                          Shown(page.substr(tag_end + 1, close - tag_end - 1))});
        at = close;
    }
    return blocks;
}

TEST(HelpPages, EveryMenuItemHasAValidPageListedEverywhere) {
    const std::string toc = ReadBytes(kHelpDir + "toc.hhc");
    const std::string project = ReadBytes(kHelpDir + "help.hhp");
    const std::string index = ReadBytes(kHelpDir + "index.html");
    for (const std::string name : kMenuPages) {
        const std::string file = name + ".html";
        const std::string page = ReadBytes(kHelpDir + file);
        ASSERT_FALSE(page.empty()) << file;
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8(QByteArray::fromStdString(page)));
        EXPECT_FALSE(utf8.hasError()) << file;
        EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos) << file;
        EXPECT_NE(toc.find("value=\"" + file + "\""), std::string::npos) << file;
        EXPECT_NE(project.find("\n" + file + "\n"), std::string::npos) << file;
        EXPECT_NE(index.find("href=\"" + file + "\""), std::string::npos) << file;
    }
    // The contents run in menu order.
    std::size_t last = 0;
    for (const std::string name : kMenuPages) {
        const std::size_t at = toc.find("value=\"" + name + ".html\"");
        EXPECT_GT(at, last) << name;
        last = at;
    }
}

TEST(HelpPages, LinksReachPagesOfTheHelp) {
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() != ".html") continue;
        const std::string page = ReadBytes(entry.path().string());
        for (std::size_t at = 0; (at = page.find("href=\"", at)) != std::string::npos; ++at) {
            const std::string target = Between(page, "href=\"", "\"", at);
            const std::string file = target.substr(0, target.find('#'));
            EXPECT_TRUE(file.empty() || std::filesystem::exists(kHelpDir + file))
                << entry.path().filename() << " links " << target;
            EXPECT_EQ(file.find('/'), std::string::npos) << target;  // siblings only
        }
    }
}

TEST(HelpPages, CommandLineExamplesRunAsPrinted) {
    const std::filesystem::path start = std::filesystem::current_path();
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() != ".html") continue;
        const std::string page_name = entry.path().filename().string();
        const testing::ScratchDir dir;
        std::filesystem::current_path(dir.Path(""));
        testing::CliRun last{0, "", ""};
        std::string command;
        for (const Block& block : PreBlocks(ReadBytes(entry.path().string()))) {
            const std::string where = page_name + ": " + (block.kind == "cli" ? block.text : command);
            if (block.kind == "file") {
                testing::WriteBytes(dir.Path(block.name), Replace(block.text, "\n", "\r\n") + "\r\n");
            } else if (block.kind == "cli") {
                command = block.text;
                std::istringstream words(block.text);
                std::vector<std::string> args;
                for (std::string word; words >> word;)  // a quoted word loses its quotes, as in a shell
                    args.push_back(word.size() > 1 && word.front() == '"' && word.back() == '"' ? word.substr(1, word.size() - 2) : word);
                ASSERT_EQ(args.front(), "coordconv-cli") << where;
                args.erase(args.begin());
                last = testing::RunCli(args);
                EXPECT_EQ(last.status, 0) << where << "\n" << last.err;
            } else if (block.kind == "out") {
                EXPECT_EQ(Shown(last.out), block.text) << where;
            } else if (block.kind == "err") {
                EXPECT_EQ(Shown(last.err), block.text) << where;
            } else if (block.kind == "saved") {
                EXPECT_EQ(Shown(ReadBytes(dir.Path(block.name))), block.text) << where << " -> " << block.name;
            } else {
                ADD_FAILURE() << page_name << ": unknown example block " << block.kind;
            }
        }
        std::filesystem::current_path(start);
    }
}

}  // namespace
}  // namespace coordconv
