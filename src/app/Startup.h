#pragma once
// Start-up: reads the decimal separator, creates the seven windows in their fixed order (the
// main window first, whose creation reads the settings file before any tool window exists)
// and runs the program until the main window closes.

#include "password/generator.h"

#include <QObject>
#include <QString>

#include <memory>

class QGuiApplication;
class QIcon;
class QLocale;
class QWidget;
class TfmCalc;
class TfmElo;
class TfmGraph;
class TfmSort;
class TfmKred;
class TfmKonvert;
class TfmNewElo;

namespace ui {
class Dialogs;
}
namespace password {
class Clock;
}

namespace app {

// The program's windows, alive from start-up to the end; destroyed in reverse order.
struct Windows {
    Windows();
    ~Windows();
    Windows(Windows&&) noexcept;
    Windows& operator=(Windows&&) noexcept;
    std::unique_ptr<TfmCalc> fmCalc;
    std::unique_ptr<TfmElo> fmElo;
    std::unique_ptr<TfmGraph> fmGraph;
    std::unique_ptr<TfmSort> fmSort;
    std::unique_ptr<TfmKred> fmKred;
    std::unique_ptr<TfmKonvert> fmKonvert;
    std::unique_ptr<TfmNewElo> fmNewElo;
};

// What a test may replace: the password window's clock and random source (the program's own
// when left empty).
struct TimeAndChance {
    password::Clock* clock = nullptr;
    password::UniformSource passwordSource;
};

// journalPath: the calculation tape's file; empty keeps the tape in memory only.
Windows createWindows(ui::Dialogs& dialogs, const QString& settingsPath,
                      const QString& journalPath = QString(), const TimeAndChance& seams = {});

// $XDG_CONFIG_HOME/vilorka/CalcConf.ini (by default ~/.config/vilorka/CalcConf.ini).
QString settingsFilePath();

// The separator numbers are read and written with: the first character of the locale's decimal
// point, or '.' where that is not a single ASCII character.
char separatorOf(const QLocale& locale);
void readDecimalSeparator(); // from the user's locale, into numtext

// Makes window's native window without window's own cursor and gives the cursor back once the
// window has been painted: the cursor theme's files are read as a shape is first given to a
// native window, and that reading need not delay the window's first appearance. Nothing is done
// for a window whose native window exists or that has no cursor of its own.
void deferCursorToFirstPaint(QWidget* window);

// The window icon, bundled in the executable at the sizes window managers draw (16 to 64 pixels).
QIcon applicationIcon();
// The application object's names and desktop entry, which every window inherits; set before
// the first window is made.
void nameApplication();

// Installs Qt's own translations (the texts of file dialogs and box buttons) for locale's
// language, when Qt ships them; the program's own texts are not translated. English needs
// none, so nothing is looked up for it. Returns whether a translation was installed.
bool loadQtTranslations(const QLocale& locale);

// Set first thing at start-up: a write beyond the process's file-size limit then fails (EFBIG)
// and is reported like a full disk, the previous file kept, instead of the limit's signal
// ending the program with everything unsaved.
void ignoreFileSizeSignal();
// SIGTERM, SIGINT and SIGHUP (logout and shutdown, Ctrl+C, a closed terminal) end the program
// the way closing its main window does, with the same saves. The handler only notes the signal
// in a pipe; the event loop reads it and closes mainWindow.
void closeOnTerminationSignals(QWidget* mainWindow);

// Saves, when the desktop's session ends, what closing the main window saves: the settings file
// and, once the password window has been shown, the password list. The windows stay as they
// are; the session manager ends the program afterwards. A save that fails shows its box and
// keeps the other save.
class SessionSaver final : public QObject {
    Q_OBJECT
public:
    // A child of mainWindow, so it goes with the windows.
    SessionSaver(TfmCalc& mainWindow, TfmSort& passwords, ui::Dialogs& dialogs);

public slots:
    void commitData();

private:
    TfmCalc& m_mainWindow;
    TfmSort& m_passwords;
    ui::Dialogs& m_dialogs;
};

// Connects application's session-end request (commitDataRequest) to a new saver's commitData.
SessionSaver* saveAtSessionEnd(QGuiApplication& application, Windows& windows, ui::Dialogs& dialogs);

int run(int argc, char** argv);

} // namespace app
