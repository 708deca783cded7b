#include "app/inifile.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace ini {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The name of a "[name]" line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line; comment lines (";" or "#") are none.
std::optional<KeyLine> keyLine(std::string_view line)
{
    const std::string_view text = trimmed(line);
    if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[')
        return std::nullopt;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

std::optional<int> parseInteger(std::string_view s)
{
    if (s.starts_with('+')) {
        s.remove_prefix(1);
        if (s.starts_with('-'))
            return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

} // namespace

IniFile::IniFile(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        m_byteOrderMark = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    // The file's first line end sets its style, which every line written back then ends with.
    // Only a CR that is part of such a line end is taken off a line: any other CR (a lone one,
    // one more before a CR LF, the end of an unterminated last line) stays in the line's text,
    // so the file reads the same before and after it is written back.
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r')
        m_lineEnd = "\r\n";
    const bool crlf = m_lineEnd == "\r\n";
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (crlf && end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

bool IniFile::findSection(std::string_view section, Span& span) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        span.begin = i + 1;
        span.end = span.begin;
        while (span.end < m_lines.size() && !sectionName(m_lines[span.end]))
            ++span.end;
        return true;
    }
    return false;
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const
{
    Span span{};
    if (!findSection(section, span))
        return fallback;
    for (std::size_t i = span.begin; i < span.end; ++i) {
        const auto line = keyLine(m_lines[i]);
        if (line && sameName(line->key, key))
            return parseInteger(line->value).value_or(fallback);
    }
    return fallback;
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value)
{
    const std::string valueText = std::to_string(value);
    Span span{};
    if (!findSection(section, span)) {
        if (!m_lines.empty() && !trimmed(m_lines.back()).empty())
            m_lines.emplace_back();
// GCC 12 at -O2 and above warns that the string's copy may overlap itself (-Wrestrict) when a
// literal is put before a temporary string: a known false positive of its inlined
// basic_string::insert (GCC bug 105651), not a fault here.
#if defined(__GNUC__) && !defined(__clang__) // clang has no -Wrestrict
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
        m_lines.push_back("[" + std::string(section) + "]");
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
        m_lines.push_back(std::string(key) + "=" + valueText);
        return;
    }
    std::size_t insertAt = span.begin;
    for (std::size_t i = span.begin; i < span.end; ++i) {
        const auto line = keyLine(m_lines[i]);
        if (line && sameName(line->key, key)) {
            m_lines[i] = std::string(line->key) + "=" + valueText;
            return;
        }
        // A new key goes after the section's last non-blank line, before the blank lines
        // that separate it from the next section.
        if (!trimmed(m_lines[i]).empty())
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   std::string(key) + "=" + valueText);
}

std::string IniFile::text() const
{
    std::string out = m_byteOrderMark ? std::string(kByteOrderMark) : std::string();
    for (const std::string& line : m_lines)
        out += line + m_lineEnd;
    return out;
}

} // namespace ini
