// The settings file "Merivox.ini" beside the program: the remembered choices
// of the map sheet window (section "TFH") and of the geodetic annotation
// window (section "CADBZBL").
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
#include <vector>

namespace coordconv {

inline constexpr const char* kSettingsFileName = "Merivox.ini";

// Merivox.ini in the folder of the running program (needs the Qt application object).
std::string SettingsFilePath();

// An INI file held in memory as its lines.
class IniFile {
public:
    // Reads `path`; a file that does not exist (or cannot be read) is empty.
    explicit IniFile(std::string path);

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal (optional sign) or hexadecimal ($1F, 0x1F); anything else gives `fallback`.
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

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

// Section "TFH": the map sheet window TFormTFH.
struct TfhSettings {
    bool by_new_form = true;       // BYNEWTFH: RadioButton1 (RadioButton2 the opposite)
    bool input_old_form = true;    // INPOLDTFH: RadioButton3 (RadioButton4 the opposite)
    std::string x_shift = "0";     // Xo: EditXX
    std::string y_shift = "0";     // Yo: EditYY
    int system_index = 0;          // TQT: ComboBox1, 0..4
    int zone_index = 0;            // TYD: ComboBox2, 0 "3度带", 1 "6度带"
};

// Section "CADBZBL": the geodetic annotation window TFormBZBL.
struct BzblSettings {
    int system_index = 0;              // ZBX: ComboBox1, 0..4
    std::string x_shift = "0";         // Xo: EditXX
    std::string y_shift = "0";         // Yo: EditYY
    int zone_index = 0;                // TYD: ComboBox2, 0 "3度带", 1 "6度带"
    std::string font_height = "6";     // FontHeight: EditTxtH
    std::string circle_radius = "2.4"; // CircleR: EditCR
    int second_decimals = 0;           // sDec: SpinEdit1, 0..6
    bool draw_circle = true;           // bzCircle: CheckBox1
    bool draw_leader = false;          // bzLine: CheckBox2
};

// Read when the window is created. A list index outside its list reads as the
// default; the decimals are brought into 0..6 as the spin edit does.
TfhSettings ReadTfhSettings(const std::string& path);
BzblSettings ReadBzblSettings(const std::string& path);

// Written when the window is destroyed, all keys in the order above.
void WriteTfhSettings(const std::string& path, const TfhSettings& settings);
void WriteBzblSettings(const std::string& path, const BzblSettings& settings);

}  // namespace coordconv
