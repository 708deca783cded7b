#pragma once
// The calculation tape's text: each calculation the engine completes becomes one line as a user
// would write it ("2 + 3 = 5", "sin(30°) = 0,5", "Ошибка: Floating point division by zero"),
// its numbers in the display's own text. The tape file holds these lines, UTF-8, one per line,
// the newest last; reading it takes what is readable and stops at the first damage.

#include "calc/engine.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tape {

inline constexpr std::size_t kMaxLines = 10'000;    // the file keeps the newest lines only
inline constexpr std::size_t kMaxLineBytes = 4'096; // a longer line is not the tape's own
inline constexpr std::string_view kErrorPrefix = "Ошибка: ";

std::string line(const calc::Calculation& calculation);

// The result a line shows after its last " = ", as the display showed it; nothing for a failed
// calculation or a line that holds none.
std::optional<std::string> resultOf(std::string_view line);

// The lines of a tape file: up to the first line that is not UTF-8 text (a control character
// other than a tab, or a line longer than kMaxLineBytes), the newest kMaxLines of them. Both
// LF and CR LF end a line.
std::vector<std::string> readLines(std::string_view bytes);

// The file's bytes for lines: the newest kMaxLines, each ended by LF.
std::string fileText(const std::vector<std::string>& lines);

} // namespace tape
