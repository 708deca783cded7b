#pragma once
// The plot window's memo: a text box for columns of up to ten million lines. It is built on a
// text component made for large documents, in a module of its own (vilorka_memo) that the plot
// window loads when it is first shown, so the program starts without it. The module sees only
// this interface, Qt and the standard library.

#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <memory>
#include <string_view>

class QWidget;

namespace plot {

// A new text for the memo, filled on a worker thread while the memo keeps its own text.
class MemoLoader {
public:
    virtual ~MemoLoader() = default;
    virtual bool append(std::string_view utf8) = 0; // false when memory runs out
};

class MemoEditor {
public:
    virtual ~MemoEditor() = default;

    virtual QWidget* widget() = 0;
    // The whole text in UTF-8, lines ended by what was typed, pasted or loaded (LF); valid
    // until the text changes.
    virtual std::string_view text() = 0;
    // Replaces the text; the undo history is cleared and the cursor goes to the start.
    virtual void setText(std::string_view utf8) = 0;
    virtual qsizetype lineCount() = 0; // a final line break ends the last line, as the plot reads
    virtual void setReadOnly(bool readOnly) = 0;

    // Loading: a loader filled elsewhere, then its text taken in place of the memo's (undo
    // history cleared, cursor at the start). A loader dropped untaken leaves the memo as it was.
    // newLoader touches nothing of the memo's own, so the thread that fills the loader may make
    // it (its buffer for sizeHint bytes takes a while); take runs on the memo's thread.
    virtual std::unique_ptr<MemoLoader> newLoader(std::int64_t sizeHint) = 0;
    virtual void take(std::unique_ptr<MemoLoader> loader) = 0;

    // The text as a QString, a leading byte-order mark kept (QString::fromUtf8 would drop it).
    QString toPlainText()
    {
        const std::string_view t = text();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder(QByteArrayView(t.data(), qsizetype(t.size())));
    }
    void setPlainText(const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        setText(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
};

// The module's one entry point, by this name: a new memo in parent.
using CreateMemoEditor = MemoEditor* (*)(QWidget* parent);
inline constexpr const char* kCreateMemoEditor = "vilorka_createMemoEditor";

} // namespace plot
