#pragma once
// Password generator window. The character timer adds one character per tick to the password
// being built (password::Generator); the list timer, at 4, 5 or 8 ticks a second, appends the
// current password to the memo and starts the next one. Closing the window hides it and saves
// the memo to Pass.txt, owner-only and atomically; the timers keep running while it is hidden,
// and the list is saved once more when the program ends. Under the list: a choice of passwords
// without letters that look Cyrillic or alike, their strength in bits, and a password copied
// from the list is taken off the clipboard again 30 s later, or when the program ends first.

#include "password/generator.h"
#include "password/Ticker.h"
#include "ui/ToolWindow.h"

#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {
class LabeledEdit;
class RadioGroup;
class UpDown;
} // namespace ui

class TfmSort : public ui::ToolWindow {
    Q_OBJECT
public:
    // listFile: the list's file, relative to the current directory at each save; clock makes
    // the two timers (tests step their own).
    explicit TfmSort(ui::Dialogs& dialogs, const QString& listFile = QStringLiteral("Pass.txt"),
                     password::UniformSource source = password::secureUniform,
                     password::Clock& clock = password::systemClock());

    const password::Generator& generator() const { return m_generator; }

public slots:
    void FormShow();
    void FormClose();
    void btnSortClick();
    void btnClearClick();
    void UpDown1Click();
    void Timer1Timer();
    void Timer2Timer();
    void RadioGroup1Click();
    void Button1Click();
    void chkNoLookalikesClick();
    void Le1Change();
    void actCopyPasswordClick();
    void Timer3Timer(); // clears the clipboard if it still holds the password copied
    // When the program ends: the list as it stands, if the window was ever shown.
    void ProgramEnd();

protected:
    void build() override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void appendToMemo(const QString& line);
    QString listPath() const; // the list file's full path in the current folder
    void saveList();
    void showMemoMenu(const QPoint& at);
    void copyPassword(const QString& password);

    QString m_listFile;
    password::Clock& m_clock;
    password::Generator m_generator;
    std::optional<std::string> m_failedLength; // the length text whose error was shown last
    bool m_everShown = false;
    QString m_menuLine;       // the line the list's context menu was opened on
    QString m_copiedPassword; // on the clipboard until Timer3 runs out, unless replaced there

public:
    QLineEdit* Edit1 = nullptr;
    ui::LabeledEdit* Le1 = nullptr;
    ui::UpDown* UpDown1 = nullptr;
    QPushButton* btnSort = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* Button1 = nullptr;
    ui::RadioGroup* RadioGroup1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    password::Ticker* Timer1 = nullptr;
    password::Ticker* Timer2 = nullptr;
    QCheckBox* chkNoLookalikes = nullptr;
    QLabel* lblStrength = nullptr;
    QAction* actCopyPassword = nullptr;
    password::Ticker* Timer3 = nullptr; // the copied password's 30 s, run once
};
