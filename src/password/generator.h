#pragma once
// Password core: the 62-character alphabet and the shorter one for passwords typed by hand, one
// character drawn from the operating system's secure random source, the password being built
// one character per tick of the password window's character timer, the strength of a password
// in bits, and the rule by which the list timer appends a password to the memo's text. Called by
// UnitSort; randomness enters Generator through UniformSource, so tests script exact passwords.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace password {

inline constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// kAlphabet without the Latin letters that look like Cyrillic ones (A B C E H K M O P T X a c e o p
// x y), so a password reads the same on a keyboard left in the Cyrillic layout, and without 0, O,
// 1, l and I, which are taken for one another.
inline constexpr std::string_view kUnambiguousAlphabet = "23456789DFGJLNQRSUVWYZbdfghijkmnqrstuvwz";

// One character of alphabet, each with equal chance, from the OS's secure source.
char randomCharacter(std::string_view alphabet = kAlphabet);

// A source of 32-bit words, each value with equal chance.
using WordSource = std::function<std::uint32_t()>;
// A source of whole numbers from 0 to bound - 1, each with equal chance.
using UniformSource = std::function<std::uint32_t(std::uint32_t bound)>;

// 32 bits from the operating system's cryptographically secure source.
std::uint32_t secureWord();
// Maps words to 0 .. bound - 1 without favouring the low values: words from the incomplete last
// run of bound values are rejected and another word is drawn. bound must be at least 1.
std::uint32_t uniformBelow(std::uint32_t bound, const WordSource& words);
// uniformBelow over secureWord.
std::uint32_t secureUniform(std::uint32_t bound);

// The password being built and the length last read for it.
class Generator {
public:
    explicit Generator(UniformSource source = secureUniform);

    // One character tick: reads the wanted length from lengthText by the text-to-integer
    // conversion (throwing numtext::CalcError before anything is drawn), appends one character
    // unless the password already has the wanted length, and returns whether it has it now. A
    // wanted length of 0 or less asks for one character, so every password has at least one.
    bool characterTick(std::string_view lengthText);
    void clear() { m_password.clear(); }
    // The characters drawn from next: kAlphabet unless set (a view of a constant alphabet).
    void setAlphabet(std::string_view alphabet) { m_alphabet = alphabet; }
    std::string_view alphabet() const { return m_alphabet; }

    const std::string& currentPassword() const { return m_password; }
    std::int32_t wantedLength() const { return m_wantedLength; }

private:
    UniformSource m_source;
    std::string_view m_alphabet = kAlphabet;
    std::string m_password;
    std::int32_t m_wantedLength = 0;
};

// The strength of a password of the length lengthText names (read by the text-to-integer
// conversion; 0 or less gives one character) over an alphabet of alphabetSize characters:
// length × log2(alphabetSize) bits, to one decimal after separator ("35,7"). Empty when the
// text is not a whole number.
std::optional<std::string> strengthText(std::string_view lengthText, std::size_t alphabetSize,
                                        char separator);

// What appending line to a memo adds at the end of its text ('\n' between lines). Each line is
// followed by a line break; when the memo's text is not empty and lacks a final break (the
// user typed there), the break goes before the line instead. Only the last character of
// memoText matters, so a caller may pass just the memo's last line.
std::string memoAppendix(std::string_view memoText, std::string_view line);

} // namespace password
