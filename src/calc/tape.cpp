#include "calc/tape.h"

namespace tape {

namespace {

using calc::Key;

bool negative(std::string_view operand) { return !operand.empty() && operand.front() == '-'; }

// A negative operand written after an operator or before a postfix sign is put in parentheses.
std::string grouped(std::string_view operand)
{
    if (!negative(operand))
        return std::string(operand);
    // Appended rather than written as "(" + string, which GCC 12's Release build misreads as an
    // overlapping copy (-Wrestrict).
    std::string text(1, '(');
    text.append(operand);
    text += ')';
    return text;
}

std::string_view operatorSign(char op)
{
    switch (op) {
    case calc::kAdd:
        return "+";
    case calc::kSub:
        return "−";
    case calc::kMul:
        return "×";
    case calc::kDiv:
        return "÷";
    case calc::kPow:
        return "^";
    case calc::kIntMod:
        return "Mod";
    case calc::kIntDiv:
        return "Div";
    case calc::kIntXor:
        return "Xor";
    case calc::kIntOr:
        return "Or";
    default:
        return "And";
    }
}

std::string_view angleMark(calc::AngleUnit unit)
{
    switch (unit) {
    case calc::AngleUnit::Degrees:
        return "°";
    case calc::AngleUnit::Grads:
        return "ᵍ";
    case calc::AngleUnit::Radians:
        break;
    }
    return "";
}

// sin(30°), arcsin(0,5), sh(1): the inverse and hyperbolic forms take a plain number.
std::string trigExpression(const calc::Calculation& c)
{
    struct Names {
        Key key;
        const char* plain;
        const char* arc;
        const char* hyp;
    };
    static constexpr Names kNames[] = {{Key::Sin, "sin", "arcsin", "sh"},
                                       {Key::Cos, "cos", "arccos", "ch"},
                                       {Key::Tg, "tg", "arctg", "th"},
                                       {Key::Cot, "ctg", "ctg", "ctg"},
                                       {Key::Sec, "sec", "sec", "sec"}};
    for (const Names& names : kNames) {
        if (names.key != c.key)
            continue;
        const bool angle = c.variant == calc::Variant::None || c.key == Key::Cot || c.key == Key::Sec;
        const char* name = angle ? names.plain : c.variant == calc::Variant::Arc ? names.arc : names.hyp;
        return std::string(name) + "(" + c.first + std::string(angle ? angleMark(c.unit) : "") + ")";
    }
    return c.first;
}

std::string expression(const calc::Calculation& c)
{
    switch (c.key) {
    case Key::Equals:
        return c.first + " " + std::string(operatorSign(c.op)) + " " + grouped(c.second);
    case Key::Sqrt:
        return "√" + grouped(c.first);
    case Key::Sqr:
        return grouped(c.first) + "²";
    case Key::Fact:
        return grouped(c.first) + "!";
    case Key::Ln:
        return "ln(" + c.first + ")";
    case Key::Log:
        return "lg(" + c.first + ")";
    case Key::Trunc:
        return "trunc(" + c.first + ")";
    case Key::Rnd:
        return "round(" + c.first + ")";
    case Key::Not:
        return "Not " + grouped(c.first);
    default:
        return trigExpression(c);
    }
}

// Whether text is UTF-8 without control characters other than the tab.
bool readable(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (lead < 0x80)
            length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else
            return false;
        if ((lead < 0x20 && lead != '\t') || lead == 0x7F || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

} // namespace

std::string line(const calc::Calculation& calculation)
{
    if (!calculation.error.empty())
        return std::string(kErrorPrefix) + calculation.error;
    return expression(calculation) + " = " + calculation.result;
}

std::optional<std::string> resultOf(std::string_view line)
{
    if (line.starts_with(kErrorPrefix))
        return std::nullopt;
    const std::size_t at = line.rfind(" = ");
    if (at == std::string_view::npos)
        return std::nullopt;
    return std::string(line.substr(at + 3));
}

std::vector<std::string> readLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view text = bytes.substr(0, end);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        if (text.size() > kMaxLineBytes || !readable(text))
            break;
        lines.emplace_back(text);
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    if (lines.size() > kMaxLines)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(kMaxLines));
    return lines;
}

std::string fileText(const std::vector<std::string>& lines)
{
    std::string text;
    const std::size_t first = lines.size() > kMaxLines ? lines.size() - kMaxLines : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        text += lines[i];
        text += '\n';
    }
    return text;
}

} // namespace tape
