#pragma once
// Plot data: the column of numbers the plot window draws and the text of its data files.
// The window hands the memo's whole text to readColumn, which reads one number per memo line
// the way every window reads numbers and stops at the first line that is not one. A loaded
// file passes through decodeText and normalizeLineBreaks before it reaches the memo.
// Called by TfmGraph.

#include "numtext/numtext.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plot {

// The largest data file the memo takes, in bytes: ten million lines of short numbers fit with
// room to spare, and a larger file is refused before it is read.
inline constexpr std::int64_t kMemoCapacity = std::int64_t{256} * 1024 * 1024;
inline constexpr const char* kTextExceedsMemoCapacity = "Text exceeds memo capacity";

// The lines of a memo's text, as the memo counts them: LF, CR LF and a lone CR each end a line,
// and a final line break does not start another one. An empty text has no lines; a text that
// is one line break has one empty line. The lines are views into text.
std::vector<std::string_view> memoLines(std::string_view text);

struct Column {
    std::vector<double> values; // line i read into values[i], up to the first unreadable line
    // The conversion error of that line; the lines before it stay read, so the caller can draw
    // them before it reports the error.
    std::optional<numtext::CalcError> error;
};

// Reads every line by the text-to-real conversion, brought to double precision ("Floating
// point overflow" beyond the double range).
Column readColumn(std::string_view text);

// A file's bytes as UTF-8 text: valid UTF-8 stays as it is, without a leading byte-order mark;
// anything else is read as the single-byte Cyrillic code page (Windows-1251) the program's
// older data files were written in, byte for character, so no byte is lost or replaced.
std::string decodeText(std::string_view bytes);

// Every CR LF, lone CR and lone LF becomes one LF.
std::string normalizeLineBreaks(std::string_view text);

} // namespace plot
