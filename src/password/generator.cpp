#include "password/generator.h"

#include "numtext/numtext.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <system_error>
#include <utility>

#if defined(__linux__)
#include <sys/random.h>
#elif defined(_WIN32)
#include <windows.h>

#include <bcrypt.h>
#else
#include <random>
#endif

namespace password {

std::uint32_t secureWord()
{
    std::uint32_t word = 0;
#if defined(__linux__)
    // Requests of up to 256 bytes from the kernel's pool are never cut short once it is
    // initialised; a signal before that is retried.
    ssize_t got = 0;
    do
        got = ::getrandom(&word, sizeof word, 0);
    while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof word))
        throw std::system_error(got < 0 ? errno : EIO, std::generic_category(), "getrandom");
#elif defined(_WIN32)
    const NTSTATUS status = ::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&word), sizeof word,
                                              BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(status))
        throw std::system_error(static_cast<int>(status), std::system_category(), "BCryptGenRandom");
#else
    // The standard library's device source reads the system's secure generator on the
    // remaining desktop platforms.
    static thread_local std::random_device device;
    word = static_cast<std::uint32_t>(device());
#endif
    return word;
}

std::uint32_t uniformBelow(std::uint32_t bound, const WordSource& words)
{
    // 2^32 mod bound, computed in 32 bits: the words at or above 2^32 - excess would make the
    // first excess results more likely than the others.
    const std::uint32_t excess = (0u - bound) % bound;
    const std::uint32_t limit = 0u - excess; // 0 when bound divides 2^32: every word is fair
    for (;;) {
        const std::uint32_t word = words();
        if (limit == 0 || word < limit)
            return word % bound;
    }
}

std::uint32_t secureUniform(std::uint32_t bound) { return uniformBelow(bound, secureWord); }

char randomCharacter(std::string_view alphabet)
{
    return alphabet[secureUniform(static_cast<std::uint32_t>(alphabet.size()))];
}

Generator::Generator(UniformSource source)
    : m_source(std::move(source))
{
}

bool Generator::characterTick(std::string_view lengthText)
{
    m_wantedLength = numtext::textToInt(lengthText);
    // A password that is already long enough gets no more characters: "Генерация" switches the
    // character timer on even then, and the list must receive the password the box showed.
    const std::size_t wanted = m_wantedLength > 0 ? static_cast<std::size_t>(m_wantedLength) : 1;
    if (m_password.size() < wanted)
        m_password += m_alphabet.at(m_source(static_cast<std::uint32_t>(m_alphabet.size())));
    return m_password.size() >= wanted;
}

std::optional<std::string> strengthText(std::string_view lengthText, std::size_t alphabetSize, char separator)
{
    // A text that is not a length is reported by the character tick; the strength just has none.
    const std::optional<std::int32_t> length = numtext::tryTextToInt(lengthText);
    if (!length)
        return std::nullopt;
    // Tenths of a bit, written by hand: the C library would write the process locale's separator.
    const double bits = double(std::max<std::int32_t>(*length, 1)) * std::log2(double(alphabetSize));
    const auto tenths = static_cast<long long>(std::llround(bits * 10));
    return std::to_string(tenths / 10) + separator + char('0' + tenths % 10);
}

std::string memoAppendix(std::string_view memoText, std::string_view line)
{
    std::string appendix;
    appendix.reserve(line.size() + 1);
    if (memoText.empty() || memoText.back() == '\n') {
        appendix.append(line);
        appendix += '\n';
    } else {
        appendix += '\n';
        appendix.append(line);
    }
    return appendix;
}

} // namespace password
