#pragma once
// Password core: the 62-character alphabet, one character drawn from the operating system's
// secure random source, the password being built one character per tick of the password
// window's character timer, and the rule by which the list timer appends a password to the
// memo's text. Called by UnitSort; randomness enters Generator through UniformSource, so tests
// script exact passwords.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace password {

inline constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

char randomCharacter(); // one character of kAlphabet, each with equal chance, from the OS's secure source

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

    const std::string& currentPassword() const { return m_password; }
    std::int32_t wantedLength() const { return m_wantedLength; }

private:
    UniformSource m_source;
    std::string m_password;
    std::int32_t m_wantedLength = 0;
};

// What appending line to a memo adds at the end of its text ('\n' between lines). Each line is
// followed by a line break; when the memo's text is not empty and lacks a final break (the
// user typed there), the break goes before the line instead. Only the last character of
// memoText matters, so a caller may pass just the memo's last line.
std::string memoAppendix(std::string_view memoText, std::string_view line);

} // namespace password
