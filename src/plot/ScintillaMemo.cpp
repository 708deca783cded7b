// The plot memo on QScintilla, built into the module vilorka_memo. The text lives in one gap
// buffer with an index of line starts and no style bytes, so ten million lines take a little
// over twice their size; a new text is filled through the component's own background loader
// and swapped in whole.

#include "plot/MemoEditor.h"

#include <Qsci/qsciscintilla.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <cstddef>

// The component's background loader, by its published interface. Declared outside the
// unnamed namespace: with internal linkage the compiler would see no class implementing it
// and turn every call into a pure virtual call.
namespace scintilla_abi {
class ILoader {
public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};
} // namespace scintilla_abi

namespace {

using scintilla_abi::ILoader;

// The loader's real class is the component's own, whose type information the component does not
// publish, so the sanitizer's dynamic-type check cannot match it with the declaration above; the
// calls follow the published virtual-table layout and are exempt from that one check.
#define VILORKA_LOADER_CALL __attribute__((no_sanitize("vptr")))
using Sci = QsciScintillaBase;

// Lines wider than the memo wrap while the memo holds up to this many lines. Wrapping measures
// every line, in the background after a load; beyond this a long column would keep the
// component busy for seconds at a jump to its end, so longer texts scroll sideways instead.
constexpr qsizetype kWrapLines = 50'000;

class Loader final : public plot::MemoLoader {
public:
    explicit Loader(ILoader* loader)
        : m_loader(loader)
    {
    }
    VILORKA_LOADER_CALL ~Loader() override
    {
        if (m_loader)
            m_loader->Release();
    }
    VILORKA_LOADER_CALL bool append(std::string_view utf8) override
    {
        return m_loader && m_loader->AddData(utf8.data(), std::ptrdiff_t(utf8.size())) == Sci::SC_STATUS_OK;
    }
    VILORKA_LOADER_CALL void* document()
    {
        void* doc = m_loader ? m_loader->ConvertToDocument() : nullptr;
        m_loader = nullptr;
        return doc;
    }

private:
    ILoader* m_loader;
};

class ScintillaMemo final : public QsciScintilla, public plot::MemoEditor {
public:
    explicit ScintillaMemo(QWidget* parent)
        : QsciScintilla(parent)
    {
        const long doc = SendScintilla(SCI_CREATEDOCUMENT, 0, long(SC_DOCUMENTOPTION_STYLES_NONE));
        SendScintilla(SCI_SETDOCPOINTER, 0, doc);
        SendScintilla(SCI_RELEASEDOCUMENT, 0, doc);
        setDocumentDefaults();
        for (int margin = 0; margin < 5; ++margin)
            setMarginWidth(margin, 0);
        setFont(parent->font());
        const QPalette& pal = parent->palette();
        setPaper(pal.color(QPalette::Base));
        setColor(pal.color(QPalette::Text));
        setSelectionBackgroundColor(pal.color(QPalette::Highlight));
        setSelectionForegroundColor(pal.color(QPalette::HighlightedText));
        setCaretForegroundColor(pal.color(QPalette::Text));
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
        SendScintilla(SCI_SETSCROLLWIDTH, 1L);
        setWrapVisualFlags(WrapFlagNone);
        // The memo has no annotations; shown, they would be measured line by line each time a
        // text is taken (a tenth of a second for ten million lines).
        setAnnotationDisplay(AnnotationHidden);
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
        connect(this, &QsciScintilla::linesChanged, this, [this] { fitWrapping(); });
        fitWrapping();
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }

    QWidget* widget() override { return this; }

    std::string_view text() override
    {
        const auto* data = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
        return {data, std::size_t(SendScintilla(SCI_GETLENGTH))};
    }

    void setText(std::string_view utf8) override
    {
        const bool wasReadOnly = isReadOnly();
        setReadOnly(false);
        unwrap(); // wrapping is measured afresh for the new text, if it is short
        SendScintilla(SCI_CLEARALL);
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        SendScintilla(SCI_GOTOPOS, 0L);
        setReadOnly(wasReadOnly);
        fitWrapping();
    }

    qsizetype lineCount() override
    {
        const std::string_view t = text();
        if (t.empty())
            return 0;
        return qsizetype(SendScintilla(SCI_GETLINECOUNT)) - (t.back() == '\n' || t.back() == '\r' ? 1 : 0);
    }

    void setReadOnly(bool readOnly) override { QsciScintilla::setReadOnly(readOnly); }

    // The component makes the loader as a document of its own, apart from the one shown.
    std::unique_ptr<plot::MemoLoader> newLoader(std::int64_t sizeHint) override
    {
        return std::make_unique<Loader>(reinterpret_cast<ILoader*>(SendScintilla(
            SCI_CREATELOADER, static_cast<unsigned long>(sizeHint), long(SC_DOCUMENTOPTION_STYLES_NONE))));
    }

    void take(std::unique_ptr<plot::MemoLoader> loader) override
    {
        void* doc = static_cast<Loader&>(*loader).document();
        if (!doc)
            return;
        const bool wasReadOnly = isReadOnly();
        unwrap(); // wrapping is measured afresh for the new text, if it is short
        SendScintilla(SCI_SETDOCPOINTER, 0, doc);
        SendScintilla(SCI_RELEASEDOCUMENT, 0, doc);
        setDocumentDefaults();
        SendScintilla(SCI_GOTOPOS, 0L);
        setReadOnly(wasReadOnly);
        fitWrapping();
    }

protected:
    // Tab and Shift+Tab leave the memo, as in every other box.
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                        !(event->modifiers() & Qt::ShiftModifier));
            return;
        }
        QsciScintilla::keyPressEvent(event);
    }
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }

    // The editing menu, in the program's language.
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        QMenu menu(this);
        const bool editable = !isReadOnly();
        const bool selected = hasSelectedText();
        menu.addAction(QStringLiteral("Отменить"), this, &QsciScintilla::undo)
            ->setEnabled(editable && isUndoAvailable());
        menu.addAction(QStringLiteral("Повторить"), this, &QsciScintilla::redo)
            ->setEnabled(editable && isRedoAvailable());
        menu.addSeparator();
        menu.addAction(QStringLiteral("Вырезать"), this, &QsciScintilla::cut)
            ->setEnabled(editable && selected);
        menu.addAction(QStringLiteral("Копировать"), this, &QsciScintilla::copy)->setEnabled(selected);
        menu.addAction(QStringLiteral("Вставить"), this, &QsciScintilla::paste)->setEnabled(editable);
        menu.addAction(QStringLiteral("Удалить"), this, &QsciScintilla::removeSelectedText)
            ->setEnabled(editable && selected);
        menu.addSeparator();
        menu.addAction(QStringLiteral("Выделить всё"), this, [this] { selectAll(); })
            ->setEnabled(length() > 0);
        menu.exec(event->globalPos());
    }

private:
    // The code page and line ends belong to the text, so a new text gets them again.
    void setDocumentDefaults()
    {
        setUtf8(true);
        setEolMode(EolUnix);
        SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
    }

    // Wrapping off, and the lines' heights reset at once while the text is still the old one
    // (a wrapped text is short): left to the next paint, the reset would visit every line of the
    // new text, a twentieth of a second for ten million lines.
    void unwrap()
    {
        setWrapMode(WrapNone);
        SendScintilla(SCI_ENSUREVISIBLE, 0L);
    }

    void fitWrapping()
    {
        const WrapMode wanted = lines() <= kWrapLines ? WrapWord : WrapNone;
        if (wrapMode() != wanted)
            setWrapMode(wanted);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT plot::MemoEditor* vilorka_createMemoEditor(QWidget* parent)
{
    return new ScintillaMemo(parent);
}
