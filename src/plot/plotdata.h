#pragma once
// Plot data: the column of numbers the plot window draws and the text of its data files.
// The window hands the memo's whole text to readColumn, which reads one number per memo line
// the way every window reads numbers and stops at the first line that is not one. A loaded
// file passes through decodeText and normalizeLineBreaks before it reaches the memo.
// Called by TfmGraph.

#include "numtext/numtext.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plot {

// The most text the memo holds, in bytes of its UTF-8 text: ten million lines of short numbers
// fit with room to spare. A file is measured by the text it decodes to, not by its own size.
inline constexpr std::int64_t kMemoCapacity = std::int64_t{256} * 1024 * 1024;
inline constexpr const char* kTextExceedsMemoCapacity = "Text exceeds memo capacity";

class CapacityError : public std::runtime_error {
public:
    CapacityError()
        : std::runtime_error(kTextExceedsMemoCapacity)
    {
    }
};

// A file larger than this cannot fit whatever its encoding (UTF-16 CR LF, four bytes, becomes
// one byte of memo text), so it is refused before a byte is read.
constexpr bool cannotFit(std::int64_t fileSize, std::int64_t capacity = kMemoCapacity)
{
    return fileSize > 4 * capacity + 4;
}

// An unreadable line is quoted in its error message up to this many bytes, then "…".
inline constexpr std::size_t kQuotedLineBytes = 2000;

struct Column {
    std::vector<double> values; // line i read into values[i], up to the first unreadable line
    // The conversion error of that line; the lines before it stay read, so the caller can draw
    // them before it reports the error.
    std::optional<numtext::CalcError> error;
};

// Reads every line by the text-to-real conversion, brought to double precision ("Floating
// point overflow" beyond the double range). keepGoing(bytes read so far) is asked every few
// thousand lines; when it returns false the reading stops there, without an error.
Column readColumn(std::string_view text, const std::function<bool(std::size_t)>& keepGoing = {});

enum class Encoding { Utf8, Utf16LE, Utf16BE, Cp1251 };

// How a data file is read: UTF-16 (little- or big-endian) when it starts with that byte-order
// mark, else UTF-8 when the whole file is valid UTF-8 (a leading UTF-8 byte-order mark is
// skipped), else the single-byte Cyrillic code page (Windows-1251) the program's older data
// files were written in, byte for character, so no byte is lost or replaced.
struct FileEncoding {
    Encoding encoding;
    std::size_t markBytes; // the byte-order mark skipped at the start
};
FileEncoding detectEncoding(std::string_view bytes);

// A file's bytes as UTF-8 text, by detectEncoding. An unpaired UTF-16 surrogate becomes U+FFFD.
std::string decodeText(std::string_view bytes);

// A data file turned into memo text a piece at a time, so a long file can be loaded with
// progress shown and given up midway: each piece is decoded, with its line breaks made LF.
// Throws CapacityError as soon as the text grows past capacity.
class MemoTextReader {
public:
    explicit MemoTextReader(std::string_view file, std::int64_t capacity = kMemoCapacity);

    bool atEnd() const { return m_at >= m_file.size(); }
    std::size_t bytesRead() const { return m_at; }
    // The text of about the next maxBytes of the file (never a split character), valid until
    // the next call.
    std::string_view next(std::size_t maxBytes);

private:
    std::string_view m_file;
    FileEncoding m_encoding;
    std::int64_t m_capacity;
    std::int64_t m_produced = 0;
    std::size_t m_at;
    bool m_afterCR = false; // the last piece ended in CR: an LF that starts this one goes with it
    std::string m_decoded;  // a piece of a file not in UTF-8, decoded, before its line breaks
    std::string m_piece;
};

// Every CR LF, lone CR and lone LF becomes one LF.
std::string normalizeLineBreaks(std::string_view text);

// When a step run on a worker (loading, saving, plotting) shows its progress box: once its pace
// says it takes kLongStepMs or more in all, judged from kPaceAfterMs on, and in any case once it
// has run kShowProgressByMs; a step that ends sooner shows none. done and total are in the
// step's own units.
inline constexpr std::int64_t kLongStepMs = 300;
inline constexpr std::int64_t kPaceAfterMs = 50;
inline constexpr std::int64_t kShowProgressByMs = 200;
constexpr bool showProgress(std::int64_t elapsedMs, std::int64_t done, std::int64_t total)
{
    if (elapsedMs >= kShowProgressByMs)
        return true;
    return elapsedMs >= kPaceAfterMs && done > 0 && elapsedMs * total >= kLongStepMs * done;
}

} // namespace plot
