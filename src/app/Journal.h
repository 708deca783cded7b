#pragma once
// "Журнал": the calculation tape of the main window. Each calculation the engine completes is
// added as a line (tape::line) and kept in the tape file, the newest kMaxLines of them. The
// window lists the lines, copies the selected ones (or all) to the clipboard, clears the tape
// after asking, saves it as a text file, and hands a double-clicked line's result to the main
// window. The main window makes the object at the first result or the first show, so start-up
// neither reads the file nor builds the window.

#include "ui/ToolWindow.h"

#include <functional>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QPushButton;

class TfmJournal : public ui::ToolWindow {
    Q_OBJECT
public:
    // path: the tape file, read now (empty: the tape is kept in memory only). putResult shows a
    // result in the main window's display. frame: the window's place and size as last closed,
    // empty the first time.
    TfmJournal(ui::Dialogs& dialogs, const QString& path, std::function<void(const QString&)> putResult,
               const QRect& frame);

    void add(const std::string& line); // the file is written as soon as the event loop runs
    const std::vector<std::string>& lines() const { return m_lines; }
    // Writes the file now: the first failure of a session is raised, later ones are not tried.
    void save();

    static QString defaultPath(); // $XDG_DATA_HOME/vilorka/journal.txt

public slots:
    void btnCopyClick();
    void btnClearClick();
    void btnSaveClick();

protected:
    void build() override;

public:
    QListWidget* lstJournal = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnSave = nullptr;

private:
    void scheduleSave();
    void itemActivated(QListWidgetItem* item);

    QString m_path;
    std::function<void(const QString&)> m_putResult;
    std::vector<std::string> m_lines;
    bool m_savePending = false;
    bool m_saveFailed = false; // a failed write is reported once and not tried again
    QString m_lastSaveName;
};
