#include "ui/Dialogs.h"

#include "ui/Placement.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace ui {

QString unfoldLineBreaks(QString text) { return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n")); }

QString Dialogs::errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

QString Dialogs::visibleText(QString text)
{
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if ((code < 0x20 && code != u'\n') || (code >= 0x7F && code < 0xA0))
            c = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

void Dialogs::reportError(const QString& message)
{
    if (m_errorBoxOpen)
        return;
    m_errorBoxOpen = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_errorBoxOpen};
    errorBox(visibleText(errorBoxText(message)));
}

namespace {

QScreen* screenOf(QWidget* parent)
{
    const QWidget* anchor = parent ? parent->window() : QApplication::activeWindow();
    QScreen* screen = anchor ? anchor->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

struct FittedText {
    QString text;
    bool changed = false; // shortened, or a word broken across lines
};

// The message laid out in lines at most maxWidth pixels wide, breaking at blanks and, inside a
// word wider than a line, where the line is full. A message of more than maxLines lines keeps
// its beginning and its end with "…" between them.
FittedText fitMessage(const QString& message, const QFontMetrics& metrics, int maxWidth, int maxLines)
{
    // A very long message is cut to its two ends first, so that laying it out stays quick.
    constexpr qsizetype kEndLength = 2000;
    FittedText fitted;
    QString text = message;
    if (text.size() > 2 * kEndLength) {
        text = text.left(kEndLength) + QStringLiteral("…") + text.right(kEndLength);
        fitted.changed = true;
    }
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n')) {
        QString line;
        for (const QString& word : paragraph.split(u' ')) {
            const QString joined = line.isEmpty() ? word : line + u' ' + word;
            if (metrics.horizontalAdvance(joined) <= maxWidth) {
                line = joined;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            line = word;
            while (metrics.horizontalAdvance(line) > maxWidth) {
                qsizetype fits = 1;
                while (fits < line.size() && metrics.horizontalAdvance(line.left(fits + 1)) <= maxWidth)
                    ++fits;
                if (fits > 1 && fits < line.size() && line.at(fits).isLowSurrogate())
                    --fits; // never split a character in two
                lines << line.left(fits);
                line.remove(0, fits);
                fitted.changed = true;
            }
        }
        lines << line;
    }
    if (lines.size() > maxLines) {
        const qsizetype head = (maxLines - 1) / 2;
        const qsizetype tail = maxLines - 1 - head;
        lines = lines.mid(0, head) + QStringList{QStringLiteral("…")} + lines.mid(lines.size() - tail);
        fitted.changed = true;
    }
    fitted.text = lines.join(u'\n');
    return fitted;
}

// A message box centred on the screen its parent (or the active window) is on, and kept within
// that screen's available area however long its message: the message is wrapped within a
// bounded width and shortened in the middle, and then also given whole as the box's details,
// where it can be read and copied. The text is shown as plain text, never as markup.
class ScreenBox final : public QMessageBox {
public:
    ScreenBox(Icon icon, const QString& title, const QString& message, QWidget* parent)
        : QMessageBox(icon, title, QString(), NoButton, parent)
        , m_screen(screenOf(parent))
    {
        setTextFormat(Qt::PlainText);
        setWindowModality(Qt::ApplicationModal); // modal over all windows of the program
        const QRect area = m_screen->availableGeometry();
        // Narrower than the width beyond which the box rewraps its text itself, with room for
        // the icon; tall enough for a few lines, a third of the screen at most.
        const int maxWidth = std::max(120, std::min(area.width() / 2, 500) - 120);
        const int maxLines = std::clamp(area.height() / 3 / fontMetrics().lineSpacing(), 4, 25);
        const FittedText fitted = fitMessage(message, fontMetrics(), maxWidth, maxLines);
        setText(fitted.text);
        if (fitted.changed)
            setDetailedText(message);
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event); // lays the box out at its final size
        // A short message must not squeeze the caption to "...": the box is as wide as the
        // caption set bold, as title bars set it, with room for the window menu and three buttons.
        QFont titleFont = font();
        titleFont.setBold(true);
        const int titleRow = kAssumedFrame.top();
        const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 5 * titleRow;
        if (width() < captionWidth)
            setFixedWidth(std::min(captionWidth, m_screen->availableGeometry().width()));
        const QRect area = m_screen->availableGeometry();
        QRect frame = frameGeometry();
        // Before a window manager has framed the box, leave room for the title bar it adds.
        const int titleBar = frame == geometry() ? kAssumedFrame.top() : 0;
        frame.moveCenter(area.center());
        frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
        frame.moveTop(
            std::max(area.top() + titleBar, std::min(frame.top(), area.bottom() + 1 - frame.height())));
        move(frame.topLeft());
    }

private:
    QScreen* m_screen;
};

} // namespace

void QtDialogs::errorBox(const QString& text)
{
    ScreenBox box(QMessageBox::Critical, kAppTitle, text, QApplication::activeWindow());
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtDialogs::emptyInput(QWidget* parent, const QString& text)
{
    ScreenBox box(QMessageBox::Critical, QStringLiteral("Error"), text, parent);
    box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.exec();
}

Answer QtDialogs::confirm(QWidget* parent, const QString& text)
{
    ScreenBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    // Escape and the title bar's close button press the escape button, which a box would
    // otherwise take to be No. A hidden button of its own lets them answer neither.
    QPushButton* dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Dismissed;
}

void QtDialogs::information(QWidget* parent, const QString& text)
{
    ScreenBox box(QMessageBox::Information, QStringLiteral("Information"), unfoldLineBreaks(text), parent);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<QColor> QtDialogs::chooseColor(QWidget* parent, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> QtDialogs::chooseFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

namespace {

// The file the user picked in dialog, which starts at initialPath; empty when cancelled.
QString chosenFile(QFileDialog& dialog, const QString& initialPath)
{
    if (!initialPath.isEmpty())
        dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

} // namespace

QString QtDialogs::openFileName(QWidget* parent, const QString& filter, const QString& initialPath)
{
    QFileDialog dialog(parent, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // an opened file need not exist: loading reports it
    return chosenFile(dialog, initialPath);
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                const QString& initialPath)
{
    QFileDialog dialog(parent, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    return chosenFile(dialog, initialPath);
}

void QtDialogs::openDocument(const QString& path, const QString& fragment)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    QDesktopServices::openUrl(url);
}

} // namespace ui
