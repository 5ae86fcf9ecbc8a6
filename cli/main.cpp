// coordconv-cli: the commands of the tool windows on files, without a display.
//
//   coordconv-cli TOOL [COMMAND] [OPTIONS]
//
// Exit status 0 on success, 1 when the command fails (the error box's text on
// standard error), 2 for a usage mistake.
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "cli/tools.h"
#include "core/errors.h"
#include "table/safe_file.h"

namespace coordconv::cli {
namespace {

std::vector<Tool> AllTools() {
    std::vector<Tool> tools;
    for (auto family : {ProjectionTools, DatumTools, PlaneTools, HeightTools, MapSheetTools})
        for (auto& tool : family()) tools.push_back(std::move(tool));
    return tools;
}

void PrintGeneralHelp(const std::vector<Tool>& tools) {
    std::cout << "Usage: coordconv-cli TOOL [COMMAND] [OPTIONS]\n"
                 "Runs the commands of the coordconv windows on files.\n\n"
                 "Tools:\n";
    for (const auto& tool : tools) std::cout << "  " << tool.name << std::string(16 - std::min<std::size_t>(15, tool.name.size()), ' ') << tool.summary << "\n";
    std::cout << "\nCommon options:\n"
                 "  -i FILE            input file (default: standard input)\n"
                 "  -o FILE            output file (default: standard output)\n"
                 "  --encoding ENC     gbk (default) or utf-8\n"
                 "  --help             this text, or a tool's options after the tool name\n";
}

void PrintToolHelp(const Tool& tool) {
    std::cout << "Usage: coordconv-cli " << tool.name;
    if (!tool.commands.empty()) {
        std::cout << " {";
        for (std::size_t i = 0; i < tool.commands.size(); ++i) std::cout << (i ? "|" : "") << tool.commands[i];
        std::cout << "}";
    }
    std::cout << " [OPTIONS]\n" << tool.summary << "\n\nOptions:\n";
    for (const auto& option : tool.options) std::cout << "  --" << option.name << " " << option.help << "\n";
    std::cout << "  -i FILE  input file (default: standard input)\n"
                 "  -o FILE  output file (default: standard output)\n"
                 "  --encoding gbk|utf-8  code page of the files (default gbk)\n";
}

// "-i", "-o", "-h" and any "--name": what a value never looks like (a
// negative number such as -3.5 is a value).
bool IsOptionName(const std::string& word) {
    return word == "-i" || word == "-o" || word == "-h" || (word.size() > 2 && word.rfind("--", 0) == 0);
}

Arguments Parse(const Tool& tool, const std::vector<std::string>& words, bool& wants_help) {
    Arguments args;
    std::set<std::string> seen;
    std::size_t i = 0;
    if (!tool.commands.empty() && i < words.size() && words[i].rfind("-", 0) != 0) {
        const std::string& command = words[i++];
        bool known = false;
        for (const auto& c : tool.commands) known = known || c == command;
        if (!known) throw UsageError("unknown command '" + command + "' for " + tool.name);
        args.command = command;
    }
    for (; i < words.size(); ++i) {
        std::string word = words[i];
        if (word == "--help" || word == "-h") {
            wants_help = true;
            continue;
        }
        bool is_flag = false;
        for (const auto& option : tool.options) is_flag = is_flag || (option.flag && "--" + option.name == word);
        if (is_flag) {
            if (!seen.insert(word).second) throw UsageError("option " + word + " given twice");
            args.Set(word.substr(2), "1");
            continue;
        }
        std::string value;
        bool has_inline_value = false;
        if (word.rfind("--", 0) == 0) {
            const std::size_t equals = word.find('=');
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
                word = word.substr(0, equals);
                has_inline_value = true;
            }
        } else if (word != "-i" && word != "-o") {
            throw UsageError("unexpected argument '" + word + "'");
        }
        if (!has_inline_value) {
            // A word that is itself an option means the value was left out;
            // "--opt=-1" still passes a value that starts with a dash.
            if (i + 1 >= words.size() || IsOptionName(words[i + 1]))
                throw UsageError("option " + word + " needs a value");
            value = words[++i];
        }
        if (!seen.insert(word).second) throw UsageError("option " + word + " given twice");
        if (word == "-i") {
            args.input = value;
        } else if (word == "-o") {
            args.output = value;
        } else if (word == "--encoding") {
            if (value == "utf-8" || value == "utf8" || value == "UTF-8") {
                args.encoding = FileEncoding::Utf8;
            } else if (value == "gbk" || value == "GBK") {
                args.encoding = FileEncoding::Gbk;
            } else {
                throw UsageError("--encoding takes gbk or utf-8");
            }
        } else {
            const std::string name = word.substr(2);
            bool known = false;
            for (const auto& option : tool.options) known = known || option.name == name;
            if (!known) throw UsageError("unknown option '" + word + "' for " + tool.name);
            args.Set(name, value);
        }
    }
    if (!tool.commands.empty() && !args.command && !wants_help)
        throw UsageError(tool.name + " needs a command");
    return args;
}

// Writes out what standard output still holds; a failed write (a full disk,
// a closed pipe) fails the run instead of passing for success.
void FlushStandardOutput() {
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout.good() | (std::fflush(stdout) != 0) | (std::ferror(stdout) != 0);
    if (failed) throw CommandError(FileErrorText(errno != 0 ? errno : EIO));
}

// `status`, or 1 when standard output could not be written out.
int StatusAfterOutput(int status) {
    try {
        FlushStandardOutput();
        return status;
    } catch (const CommandError& error) {
        std::cerr << ErrorLine(error.what()) << "\n";
        return 1;
    }
}

}  // namespace
}  // namespace coordconv::cli

int main(int argc, char** argv) {
    using namespace coordconv;
    using namespace coordconv::cli;
    RemoveTemporaryFilesOnInterrupt();
    const std::vector<Tool> tools = AllTools();
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintGeneralHelp(tools);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h") {
        PrintGeneralHelp(tools);
        return StatusAfterOutput(0);
    }
    const Tool* tool = nullptr;
    for (const auto& t : tools)
        if (t.name == words[0]) tool = &t;
    if (tool == nullptr) {
        std::cerr << "coordconv-cli: unknown tool '" << Printable(words[0]) << "' (coordconv-cli --help lists them)\n";
        return 2;
    }
    try {
        bool wants_help = false;
        const Arguments args = Parse(*tool, std::vector<std::string>(words.begin() + 1, words.end()), wants_help);
        if (wants_help) {
            PrintToolHelp(*tool);
            return StatusAfterOutput(0);
        }
        const FloatingPointScope floating_point;
        const int status = tool->run(args);
        FlushStandardOutput();
        return status;
    } catch (const UsageError& error) {
        std::cerr << "coordconv-cli: " << Printable(error.what()) << "\n(coordconv-cli " << tool->name << " --help lists the options)\n";
        return 2;
    } catch (const InputLineError& error) {
        std::cerr << ErrorLine(error.what()) << " (line " << error.line() << ")\n";
        return 1;
    } catch (const CommandError& error) {
        std::cerr << ErrorLine(error.what()) << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // The unwinding has removed the temporary files of the outputs.
        std::cerr << "coordconv-cli: Out of memory.\n";
        return 1;
    }
}
