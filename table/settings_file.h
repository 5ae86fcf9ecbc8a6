// The settings file "Merivox.ini": the remembered choices of the windows
// (the map sheet window's section "TFH", the geodetic annotation window's
// "CADBZBL", the last folders "Folders").
//
// A Windows-style INI file in the program's code page (GBK): [section] lines
// and key=value lines; section and key names match without regard to case;
// values are trimmed, and a value in double quotes loses them; booleans are
// written as 1 and 0 and read as integers (non-zero is true). Writing changes
// only the keys written and keeps every other line, comment and section byte
// for byte. A missing file or key reads as the default.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace coordconv {

inline constexpr const char* kSettingsFileName = "Merivox.ini";

// The settings file of the running program (needs the Qt application
// object): SettingsFilePathIn(the program's folder, the user's configuration
// folder QStandardPaths::AppConfigLocation, SystemFolders()).
std::string SettingsFilePath();

// The folders of the operating system's own programs and files (/usr, /bin,
// /sbin, /lib, /lib64, /opt, /etc); a program in one of them is an
// installed program, never a portable copy.
std::vector<std::string> SystemFolders();

// Merivox.ini beside the program when it is a portable copy (see
// KeepsSettingsBesideProgram), otherwise Merivox.ini in `config_folder`,
// which is created (an installed program, also when root runs it). The format
// is the same in both places.
std::string SettingsFilePathIn(const std::string& program_folder, const std::string& config_folder,
                               const std::vector<std::string>& system_folders = SystemFolders());

// True when `program_folder` belongs to the user running the program, may be
// written by that user, and lies outside `system_folders` (compared after
// following links). Decided from the folder's owner and mode alone: nothing is
// created in the folder to find out.
bool KeepsSettingsBesideProgram(const std::string& program_folder, const std::vector<std::string>& system_folders);

// The folder of the last file chosen in a file dialog of a window of `kind`
// (its object name), kept in section "Folders"; empty when none is kept.
std::string RememberedFolder(const std::string& settings_path, const std::string& kind);
// Keeps the folder of `file` for `kind`. Remembering is a convenience: a
// settings file that cannot be written is left as it is, without a message.
void RememberFolder(const std::string& settings_path, const std::string& kind, const std::string& file);

// An INI file held in memory as its lines.
class IniFile {
public:
    // Reads `path`; a file that does not exist (or cannot be read) is empty.
    explicit IniFile(std::string path);

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal (optional sign) or hexadecimal ($1F, 0x1F); anything else gives `fallback`.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // The item index kept under `key` for a list of `count` items; a missing
    // key, a text that is no integer or an index outside the list gives `fallback`.
    int ReadListIndex(const std::string& section, const std::string& key, int count, int fallback) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Writes the file (temporary file beside it, renamed over it). Fails with
    // CommandError "Unable to write to <path>".
    void Save() const;

    const std::string& Path() const { return path_; }

private:
    // Index of the [section] line, or -1.
    long FindSection(const std::string& section) const;
    // Index of the key's line within the section starting at `section_line`, or -1.
    long FindKey(long section_line, const std::string& key) const;

    std::string path_;
    std::vector<std::string> lines_;      // raw bytes without line ends
    std::vector<std::string> line_ends_;  // each line's end as read ("\r\n", "\n", "" for none)
    std::string line_end_ = "\r\n";
    bool ends_with_line_end_ = true;
};

// The keys of one section, listed once in a function template that takes
// either of the two classes below, so that reading and writing cannot spell a
// key differently:
//   template <class Keys, class Settings> void ListKeys(Keys& keys, Settings& s) {
//       keys.String("Xo", s.x_shift);
//       keys.Bool("bzLine", s.draw_leader);
//   }
// The keys are written in the order listed.

// Reads each key into its value; the value the settings struct starts with is
// the default, kept when the key is missing or unreadable.
class SettingsSectionReader {
public:
    SettingsSectionReader(const IniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
    void String(const char* key, std::string& value) const { value = ini_.ReadString(section_, key, value); }
    template <class Integral>
    void Integer(const char* key, Integral& value) const {
        value = static_cast<Integral>(ini_.ReadInteger(section_, key, static_cast<int>(value)));
    }
    void Bool(const char* key, bool& value) const { value = ini_.ReadBool(section_, key, value); }
    // An item index of a list of `count` items.
    void ListIndex(const char* key, int& value, int count) const {
        value = ini_.ReadListIndex(section_, key, count, value);
    }

private:
    const IniFile& ini_;
    std::string section_;
};

// Writes each value under its key (the file is saved by the caller).
class SettingsSectionWriter {
public:
    SettingsSectionWriter(IniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
    void String(const char* key, const std::string& value) { ini_.WriteString(section_, key, value); }
    template <class Integral>
    void Integer(const char* key, Integral value) {
        ini_.WriteInteger(section_, key, static_cast<int>(value));
    }
    void Bool(const char* key, bool value) { ini_.WriteBool(section_, key, value); }
    void ListIndex(const char* key, int value, int /*count*/) { ini_.WriteInteger(section_, key, value); }

private:
    IniFile& ini_;
    std::string section_;
};

}  // namespace coordconv
