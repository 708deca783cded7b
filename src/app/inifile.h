#pragma once
// The text of a settings file in the ".ini" form: "[section]" lines, each followed by
// "key=value" lines. The lines are kept as they were read, so writing a value changes or adds
// one line and leaves every other section, key, comment and unreadable line as it stood.
// Section and key names compare without regard to ASCII case or surrounding blanks.
// TfmCalc keeps CalcConf.ini in one; reading and writing the file itself is the window's.

#include <string>
#include <string_view>
#include <vector>

namespace ini {

class IniFile {
public:
    IniFile() = default;
    // Accepts LF or CR LF line ends (the style of the first line end) and a leading UTF-8
    // byte-order mark; a line that is neither a section nor a key is kept and otherwise ignored.
    explicit IniFile(std::string_view text);

    // The value of key in the first section named section, when it is a whole decimal integer
    // of 32 bits (blanks around it allowed); fallback otherwise, or when either is missing.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;
    // Replaces the key's value in place, or adds the key at the end of its section, or adds
    // the section at the end of the file.
    void writeInteger(std::string_view section, std::string_view key, int value);

    // The whole file: the byte-order mark when one was read, every line followed by the line
    // end the file used (LF for a new file).
    std::string text() const;

private:
    // The lines of one section's keys: from begin up to, not including, end.
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    bool findSection(std::string_view section, Span& span) const;

    std::vector<std::string> m_lines;
    std::string m_lineEnd = "\n";
    bool m_byteOrderMark = false;
};

} // namespace ini
