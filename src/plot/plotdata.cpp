#include "plot/plotdata.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plot {

namespace {

// Calls visit(line) for each memo line of text, in order, until visit returns false.
template <typename Visit> void forEachLine(std::string_view text, Visit visit)
{
    std::size_t start = 0;
    const std::size_t n = text.size();
    while (start < n) {
        std::size_t end = start;
        while (end < n && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (!visit(text.substr(start, end - start)))
            return;
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

// The first byte from p on that is not ASCII, or end. Data files are mostly ASCII: 32 bytes are
// checked at a time while they are all ASCII.
const char* skipAscii(const char* p, const char* end)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (end - p >= 32) {
        std::uint64_t words[4];
        std::memcpy(words, p, sizeof words);
        if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0)
            break;
        p += 32;
    }
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    return p;
}

// Windows-1251, bytes 0x80 to 0xBF; 0xC0 to 0xFF are А to я in order. 0x98, unassigned in
// the code page, keeps its own code point, so every byte maps to a character.
constexpr std::array<char16_t, 64> kCp1251High{
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u0098', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7',
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7',
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457'};

char16_t cp1251(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return kCp1251High[byte - 0x80];
    return static_cast<char16_t>(u'\u0410' + (byte - 0xC0));
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

char16_t unitAt(std::string_view bytes, std::size_t i, Encoding encoding)
{
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return encoding == Encoding::Utf16LE ? char16_t(first | second << 8) : char16_t(first << 8 | second);
}

// Appends the UTF-8 of piece, which starts and ends on whole characters of the encoding
// (a UTF-16 piece may end in a lone byte or an unpaired surrogate only at the end of the file).
void decodePiece(std::string_view piece, Encoding encoding, std::string& out)
{
    switch (encoding) {
    case Encoding::Utf8:
        out.append(piece);
        return;
    case Encoding::Cp1251: {
        const char* p = piece.data();
        const char* const end = p + piece.size();
        while (p < end) {
            const char* const ascii = skipAscii(p, end); // ASCII bytes are their own UTF-8
            out.append(p, ascii);
            if (ascii == end)
                break;
            appendUtf8(out, cp1251(static_cast<unsigned char>(*ascii)));
            p = ascii + 1;
        }
        return;
    }
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        std::size_t i = 0;
        for (; i + 1 < piece.size(); i += 2) {
            const char16_t unit = unitAt(piece, i, encoding);
            if (isHighSurrogate(unit) && i + 3 < piece.size() &&
                isLowSurrogate(unitAt(piece, i + 2, encoding))) {
                appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) +
                                    (unitAt(piece, i + 2, encoding) - 0xDC00));
                i += 2;
            } else {
                appendUtf8(out, isHighSurrogate(unit) || isLowSurrogate(unit) ? u'\uFFFD' : unit);
            }
        }
        if (i < piece.size()) // an odd byte at the end of the file
            appendUtf8(out, u'\uFFFD');
        return;
    }
}

// Where a piece of about want bytes from at may end without splitting a character.
std::size_t pieceEnd(std::string_view file, Encoding encoding, std::size_t at, std::size_t want)
{
    const bool utf16 = encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
    if (utf16)
        want = std::max<std::size_t>(want - want % 2, 4); // room for a surrogate pair
    if (file.size() - at <= want)
        return file.size();
    std::size_t end = at + want;
    if (utf16) {
        if (isHighSurrogate(unitAt(file, end - 2, encoding)))
            end -= 2;
    } else if (encoding == Encoding::Utf8) {
        while (end > at + 1 && (static_cast<unsigned char>(file[end]) & 0xC0) == 0x80)
            --end;
    }
    return std::max(end, at + 1);
}

// Well-formed UTF-8 only: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(std::string_view text)
{
    const char* const textEnd = text.data() + text.size();
    const auto* const end = reinterpret_cast<const unsigned char*>(textEnd);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    while (p < end) {
        p = reinterpret_cast<const unsigned char*>(skipAscii(reinterpret_cast<const char*>(p), textEnd));
        if (p == end)
            break;
        const unsigned char c = *p;
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return false;
        p += length;
    }
    return true;
}

// Appends text with its line breaks made LF: each CR becomes LF and an LF right after a CR is
// dropped, so CR LF, lone CR and lone LF each give one LF. afterCR says whether the text before
// this piece ended in CR and is left saying whether this piece did.
void appendNormalized(std::string_view text, std::string& out, bool& afterCR)
{
    const std::size_t at = out.size();
    out.resize(at + text.size());
    char* w = out.data() + at;
    const char* p = text.data();
    const char* const end = p + text.size();
    bool cr = afterCR;
    // Byte by byte without a branch per byte: in a column of numbers every line has its CR.
    const auto bytesTo = [&](const char* stop) {
        for (; p < stop; ++p) {
            const char c = *p;
            *w = c == '\r' ? '\n' : c;
            w += !(cr && c == '\n');
            cr = c == '\r';
        }
    };
#if defined(__SSE2__)
    // 16 bytes at a time, while 16 more follow them. The runs between the LFs to drop are copied
    // 16 bytes at a time from the text, each one after the last's end, and the CR that ends a run
    // is made LF in place; a block with any other CR inside it goes byte by byte. Every store
    // stays within the text's size in out: what is written never runs ahead of what is read.
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i lfs = _mm_set1_epi8('\n');
    while (end - p >= 32) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto crBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, crs)));
        const auto lfBits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lfs)));
        unsigned drop = lfBits & (crBits << 1 | unsigned(cr)); // LFs right after a CR
        if ((crBits & ~(drop >> 1) & 0x7FFFu) != 0) { // a CR not before an LF, short of the last byte
            bytesTo(p + 16);
            continue;
        }
        unsigned from = 0;
        for (; drop != 0; drop &= drop - 1) {
            const auto lf = unsigned(std::countr_zero(drop));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)));
            w += lf - from;
            if (lf > from)
                w[-1] = '\n'; // the CR before the dropped LF
            from = lf + 1;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(w),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)));
        w += 16 - from;
        cr = (crBits & 0x8000u) != 0;
        if (cr)
            w[-1] = '\n';
        p += 16;
    }
#endif
    bytesTo(end);
    out.resize(std::size_t(w - out.data()));
    afterCR = cr;
}

} // namespace

Column readColumn(std::string_view text, const std::function<bool(std::size_t)>& keepGoing)
{
    Column column;
    std::size_t lines = 0;
    forEachLine(text, [&](std::string_view line) {
        if (keepGoing && ++lines % 16384 == 0 && !keepGoing(std::size_t(line.data() - text.data())))
            return false;
        // The conversion's own error is the result here: the column ends at this line, and the
        // window shows the error after drawing the lines before it.
        try {
            column.values.push_back(numtext::toDouble(numtext::textToReal(line)));
            return true;
        } catch (const numtext::CalcError& error) {
            column.error = error;
        }
        // A long line is quoted by its beginning: the message is read, not the whole line.
        if (std::string_view(column.error->what()).size() > kQuotedLineBytes + 64) {
            std::size_t cut = std::min(line.size(), kQuotedLineBytes);
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut;
            try {
                numtext::textToReal(std::string(line.substr(0, cut)) + "\u2026");
            } catch (const numtext::CalcError& error) {
                column.error = error;
            }
        }
        return false;
    });
    return column;
}

FileEncoding detectEncoding(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE"))
        return {Encoding::Utf16LE, 2};
    if (bytes.starts_with("\xFE\xFF"))
        return {Encoding::Utf16BE, 2};
    if (isUtf8(bytes))
        return {Encoding::Utf8, bytes.starts_with("\xEF\xBB\xBF") ? 3u : 0u};
    return {Encoding::Cp1251, 0};
}

std::string decodeText(std::string_view bytes)
{
    const FileEncoding encoding = detectEncoding(bytes);
    std::string out;
    out.reserve(bytes.size() * (encoding.encoding == Encoding::Cp1251 ? 2 : 1));
    decodePiece(bytes.substr(encoding.markBytes), encoding.encoding, out);
    return out;
}

MemoTextReader::MemoTextReader(std::string_view file, std::int64_t capacity)
    : m_file(file)
    , m_encoding(detectEncoding(file))
    , m_capacity(capacity)
    , m_at(m_encoding.markBytes)
{
}

std::string_view MemoTextReader::next(std::size_t maxBytes)
{
    const std::size_t end = pieceEnd(m_file, m_encoding.encoding, m_at, maxBytes);
    const std::string_view bytes = m_file.substr(m_at, end - m_at);
    m_at = end;
    m_piece.clear();
    if (m_encoding.encoding == Encoding::Utf8) {
        appendNormalized(bytes, m_piece, m_afterCR); // the file's bytes are the text already
    } else {
        m_decoded.clear();
        decodePiece(bytes, m_encoding.encoding, m_decoded);
        appendNormalized(m_decoded, m_piece, m_afterCR);
    }
    m_produced += std::int64_t(m_piece.size());
    if (m_produced > m_capacity)
        throw CapacityError();
    return m_piece;
}

std::string normalizeLineBreaks(std::string_view text)
{
    std::string out;
    bool afterCR = false;
    appendNormalized(text, out, afterCR);
    return out;
}

} // namespace plot
