#include "table/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <limits>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <sys/stat.h>

#include "core/errors.h"
#include "table/regular_file.h"
#include "table/safe_file.h"
#include "table/text_codec.h"

namespace coordconv {
namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "[name]" with blanks allowed around; the name, or nothing.
bool SectionName(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const auto close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    const auto equals = t.find('=');
    if (equals == std::string::npos) return false;
    key = Trim(t.substr(0, equals));
    value = Trim(t.substr(equals + 1));
    return true;
}

std::string Section(const std::string& name) { return EncodeFileText(name, FileEncoding::Gbk); }

bool ParseInteger(const std::string& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return false;
        result = result * base + digit;
        if (result > 4294967295LL) return false;
    }
    if (base == 10 && result > (negative ? 2147483648LL : 2147483647LL)) return false;
    value = static_cast<int>(negative ? -result : result);
    return true;
}

}  // namespace

std::string SettingsFilePath() {
    return SettingsFilePathIn(QCoreApplication::applicationDirPath().toStdString(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
}

std::vector<std::string> SystemFolders() { return {"/usr", "/bin", "/sbin", "/lib", "/lib64", "/opt", "/etc"}; }

std::string SettingsFilePathIn(const std::string& program_folder, const std::string& config_folder,
                               const std::vector<std::string>& system_folders) {
    if (KeepsSettingsBesideProgram(program_folder, system_folders)) return program_folder + "/" + kSettingsFileName;
    QDir().mkpath(QString::fromStdString(config_folder));
    return config_folder + "/" + kSettingsFileName;
}

bool KeepsSettingsBesideProgram(const std::string& program_folder, const std::vector<std::string>& system_folders) {
#ifdef _WIN32
    (void)system_folders;
    return ::_access(program_folder.c_str(), 2) == 0;
#else
    // Root may write anywhere, so "writable" alone would put an installed
    // program's settings into /usr/bin: the folder must be the user's own.
    struct stat status {};
    if (::stat(program_folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    if (status.st_uid != ::geteuid() || ::access(program_folder.c_str(), W_OK) != 0) return false;
    const auto canonical = [](const std::string& path) {
        const QString resolved = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
        return resolved.isEmpty() ? path : resolved.toStdString();
    };
    const std::string folder = canonical(program_folder);
    for (const std::string& system : system_folders)
        for (const std::string& root : {system, canonical(system)})
            if (folder == root || folder.starts_with(root + "/")) return false;
    return true;
#endif
}

// Section of the last folders, one key per kind of window.
constexpr const char* kFoldersSection = "Folders";

std::string RememberedFolder(const std::string& settings_path, const std::string& kind) {
    if (kind.empty()) return std::string();
    return IniFile(settings_path).ReadString(kFoldersSection, kind, "");
}

void RememberFolder(const std::string& settings_path, const std::string& kind, const std::string& file) {
    if (kind.empty()) return;
    const std::string folder = QFileInfo(QString::fromStdString(file)).absolutePath().toStdString();
    IniFile ini(settings_path);
    if (ini.ReadString(kFoldersSection, kind, "") == folder) return;
    ini.WriteString(kFoldersSection, kind, folder);
    try {
        ini.Save();
    } catch (const CommandError&) {
    }
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    // Only a regular file is read (checked before the open, which never
    // waits): a folder, a FIFO or a device of that name, or a file that cannot
    // be read, leaves the settings at their defaults.
    std::string bytes;
    try {
        // No size limit: a file read short would lose its other sections at the next save.
        bytes = ReadRegularFile(path_, std::numeric_limits<std::size_t>::max());
    } catch (const CommandError&) {
        return;
    }
    if (bytes.empty()) return;
    line_end_ = bytes.find("\r\n") != std::string::npos || bytes.find('\n') == std::string::npos ? "\r\n" : "\n";
    ends_with_line_end_ = bytes.back() == '\n';
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        std::string line_end = end < bytes.size() ? "\n" : "";
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (!line_end.empty()) line_end = "\r\n";
        }
        lines_.push_back(line);
        line_ends_.push_back(line_end);
        start = end + 1;
    }
}

long IniFile::FindSection(const std::string& section) const {
    const std::string wanted = Section(section);
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i], name) && SameName(name, wanted)) return static_cast<long>(i);
    return -1;
}

long IniFile::FindKey(long section_line, const std::string& key) const {
    const std::string wanted = Section(key);
    std::string name, value;
    for (std::size_t i = static_cast<std::size_t>(section_line) + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i], name)) break;
        if (KeyOf(lines_[i], name, value) && SameName(name, wanted)) return static_cast<long>(i);
    }
    return -1;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& fallback) const {
    const long section_line = FindSection(section);
    if (section_line < 0) return fallback;
    const long key_line = FindKey(section_line, key);
    if (key_line < 0) return fallback;
    std::string name, value;
    KeyOf(lines_[static_cast<std::size_t>(key_line)], name, value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return DecodeFileText(value, FileEncoding::Gbk);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
    int value = 0;
    return ParseInteger(ReadString(section, key, ""), value) ? value : fallback;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

int IniFile::ReadListIndex(const std::string& section, const std::string& key, int count, int fallback) const {
    const int index = ReadInteger(section, key, fallback);
    return index >= 0 && index < count ? index : fallback;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string line = Section(key) + "=" + EncodeFileText(value, FileEncoding::Gbk);
    long section_line = FindSection(section);
    if (section_line < 0) {
        lines_.push_back("[" + Section(section) + "]");
        lines_.push_back(line);
        line_ends_.push_back(line_end_);
        line_ends_.push_back(line_end_);
        return;
    }
    const long key_line = FindKey(section_line, key);
    if (key_line >= 0) {
        lines_[static_cast<std::size_t>(key_line)] = line;
        return;
    }
    // A new key goes after the section's last non-blank line.
    std::size_t insert_at = static_cast<std::size_t>(section_line) + 1;
    std::string name;
    for (std::size_t i = insert_at; i < lines_.size() && !SectionName(lines_[i], name); ++i)
        if (!Trim(lines_[i]).empty()) insert_at = i + 1;
    lines_.insert(lines_.begin() + static_cast<long>(insert_at), line);
    line_ends_.insert(line_ends_.begin() + static_cast<long>(insert_at), line_end_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Save() const {
    const CommandError failure("Unable to write to " + path_);
    // An existing file that is write-protected stays as it is.
#ifdef _WIN32
    if (::_access(path_.c_str(), 0) == 0 && ::_access(path_.c_str(), 2) != 0) throw failure;
#else
    if (::access(path_.c_str(), F_OK) == 0 && ::access(path_.c_str(), W_OK) != 0) throw failure;
    // A FIFO of that name would hold the save (at the program's exit) until
    // some other program read it, a socket cannot be opened: neither is
    // written. A device is written directly, as every save writes one.
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode))) throw failure;
#endif
    std::string bytes;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        // Every line keeps the end it was read with (other programs' sections
        // may use LF); new lines take the file's usual end.
        bytes += lines_[i];
        const bool last = i + 1 == lines_.size();
        if (last && !ends_with_line_end_) continue;
        bytes += line_ends_[i].empty() ? line_end_ : line_ends_[i];
    }
    try {
        SafeFileWriter file(path_);
        file.Write(bytes);
        file.Commit();
    } catch (const CommandError&) {
        throw failure;
    }
}


}  // namespace coordconv
