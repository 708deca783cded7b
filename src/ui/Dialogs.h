#pragma once
// Every modal interaction of the program goes through one Dialogs object: the error box, the
// empty-input box, questions, information, the colour/font/file dialogs and handing a document
// to the desktop. The application installs QtDialogs; tests install a recording fake, so no real
// modal box ever opens under test. Windows receive the object at construction.

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

namespace ui {

enum class Answer { Yes, No, Dismissed };

inline const QString kAppTitle = QStringLiteral("калькулятор");

// text with each line break written as LF CR made one break, not a break and an empty line.
QString unfoldLineBreaks(QString text);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows an error the way the program reports every failure: the message, with a full stop
    // appended when its last character sorts above '.', in the error box. While one error box
    // is open, further errors (timer ticks keep firing under a modal box) are dropped, so a
    // failing timer cannot stack boxes.
    // Control characters (a NUL, say, of a binary file read by mistake) are shown as U+FFFD, so
    // that the whole message shows and none of it is taken as a line break or lost. The full
    // stop is decided by the message's real last character.
    void reportError(const QString& message);
    static QString errorBoxText(const QString& message);
    static QString visibleText(QString text); // each control character except LF as U+FFFD
    // Whether an error box is showing: work whose failure would be dropped can wait for it.
    bool errorBoxOpen() const { return m_errorBoxOpen; }

    virtual void emptyInput(QWidget* parent, const QString& text) = 0; // caption "Error", Cancel
    virtual Answer confirm(QWidget* parent, const QString& text) = 0;  // Yes / No
    virtual void information(QWidget* parent, const QString& text) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    // File dialogs: filter in the platform's form ("Текстовые файлы (*.txt)"); initialPath is the
    // name chosen last time (empty the first time); an empty result means Cancel. A name saved
    // without an extension gets defaultSuffix.
    virtual QString openFileName(QWidget* parent, const QString& filter, const QString& initialPath) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                 const QString& initialPath) = 0;
    // Hands a document to the desktop, at section fragment when one is given; the result is
    // ignored by design.
    virtual void openDocument(const QString& path, const QString& fragment) = 0;

protected:
    virtual void errorBox(const QString& text) = 0; // caption kAppTitle, error icon, OK

private:
    bool m_errorBoxOpen = false;
};

// The real boxes and dialogs.
class QtDialogs final : public Dialogs {
public:
    void emptyInput(QWidget* parent, const QString& text) override;
    Answer confirm(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    QString openFileName(QWidget* parent, const QString& filter, const QString& initialPath) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                         const QString& initialPath) override;
    void openDocument(const QString& path, const QString& fragment) override;

protected:
    void errorBox(const QString& text) override;
};

} // namespace ui
