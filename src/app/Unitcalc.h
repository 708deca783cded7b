#pragma once
// The main window: the calculator's display, keypad and radio groups, its menus, and its
// settings file. Key handlers read the display, call the calculator engine and write the
// display back; the engine holds all calculator state.

#include "app/inifile.h"
#include "calc/engine.h"
#include "ui/Dialogs.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QStatusBar;
class QStyle;

namespace ui {
class PictureButton;
class RadioGroup;
class ToolWindow;
} // namespace ui

// The windows the "Функции" menu shows; created after the main window.
struct ToolWindows {
    ui::ToolWindow* fmElo = nullptr;
    ui::ToolWindow* fmNewElo = nullptr;
    ui::ToolWindow* fmGraph = nullptr;
    ui::ToolWindow* fmSort = nullptr;
    ui::ToolWindow* fmKred = nullptr;
    ui::ToolWindow* fmKonvert = nullptr;
};

class TfmJournal;

class TfmCalc : public QMainWindow {
    Q_OBJECT
public:
    // settingsPath: where CalcConf.ini lives; the window reads it now and writes it on close.
    // Its Left and Top are the frame's place, title bar included.
    TfmCalc(ui::Dialogs& dialogs, const QString& settingsPath);
    ~TfmCalc() override;

    void setToolWindows(const ToolWindows& windows) { m_tools = windows; }
    // Where the calculation tape is kept; empty (the default) keeps it in memory only.
    void setJournalPath(const QString& path) { m_journalPath = path; }
    // The tape's window, made (and its file read) at the first call.
    TfmJournal& journal();
    // Writes CalcConf.ini as closing the window does, reporting a failure in the error box.
    void saveSettings();
    const calc::Engine& engine() const { return m_engine; }
    QColor windowColor() const;
    void setWindowColor(const QColor& color);

    // Colour as the settings file keeps it: 0x00BBGGRR.
    static int colorToValue(const QColor& color);
    static QColor valueToColor(int value);

signals:
    void closed(); // the program ends when the main window closes

public slots:
    void bb0Click();
    void bb1Click();
    void bb2Click();
    void bb3Click();
    void bb4Click();
    void bb5Click();
    void bb6Click();
    void bb7Click();
    void bb8Click();
    void bb9Click();
    void bbZapClick();
    void bbPlminClick();
    void bbPiClick();
    void bbClearClick();
    void bbPlasClick();
    void bbMinusClick();
    void bbMultyplyClick();
    void bbDivisorClick();
    void bbResClick();

    void bbSqrtClick();
    void bbSqrClick();
    void bbXyClick();
    void bbFactClick();
    void bbLnClick();
    void bbLogClick();
    void bbTruncClick();
    void bbRndClick();
    void bbSinClick();
    void bbCosClick();
    void bbTgClick();
    void bbCotClick();
    void bbSecClick();

    void bbModClick();
    void bbDivClick();
    void bbXorClick();
    void bbOrClick();
    void bbAndClick();
    void bbNotClick();
    void bbMSClick();
    void bbMrClick();
    void bbMCClick();
    void bbMplClick();
    void bbMminClick();

    void mnuColorClick();
    void mnuFontClick();
    void mnuJournalClick();
    void mnuEloClick();
    void mnuGraphClick();
    void mnuSortClick();
    void N3Click();
    void N4Click();
    void mnuHelpClick();
    void mnuProgramsClick();

public:
    QLineEdit* edtCalc = nullptr;
    ui::RadioGroup* rgGrRad = nullptr;
    ui::RadioGroup* rgArcHyp = nullptr;
    QLabel* Panel1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    ui::PictureButton *bb0 = nullptr, *bb1 = nullptr, *bb2 = nullptr, *bb3 = nullptr, *bb4 = nullptr;
    ui::PictureButton *bb5 = nullptr, *bb6 = nullptr, *bb7 = nullptr, *bb8 = nullptr, *bb9 = nullptr;
    ui::PictureButton *bbZap = nullptr, *bbPlmin = nullptr, *bbPi = nullptr, *bbClear = nullptr;
    ui::PictureButton *bbPlas = nullptr, *bbMinus = nullptr, *bbMultyply = nullptr, *bbDivisor = nullptr;
    ui::PictureButton *bbRes = nullptr, *bbSqrt = nullptr, *bbSqr = nullptr, *bbXy = nullptr;
    ui::PictureButton *bbFact = nullptr, *bbLn = nullptr, *bbLog = nullptr, *bbTrunc = nullptr;
    ui::PictureButton *bbRnd = nullptr, *bbSin = nullptr, *bbCos = nullptr, *bbTg = nullptr;
    ui::PictureButton *bbCot = nullptr, *bbSec = nullptr, *bbMod = nullptr, *bbDiv = nullptr;
    ui::PictureButton *bbXor = nullptr, *bbOr = nullptr, *bbAnd = nullptr, *bbNot = nullptr;
    ui::PictureButton *bbMS = nullptr, *bbMr = nullptr, *bbMC = nullptr, *bbMpl = nullptr, *bbMmin = nullptr;

    QAction* mnuJournal = nullptr;
    QAction *mnuColor = nullptr, *mnuFont = nullptr, *mnuElo = nullptr, *mnuGraph = nullptr;
    QAction *mnuSort = nullptr, *N3 = nullptr, *N4 = nullptr, *mnuHelp = nullptr, *mnuPrograms = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Create();
    void Close();
    void buildDisplay();
    void buildKeypad();
    void buildPanels();
    void buildMenus();
    void addRadioItems(ui::RadioGroup* box, const QStringList& items);
    QString display() const;
    void setDisplay(const std::string& text);
    // display := the engine's answer to key; a key that throws leaves the display as it was.
    void press(calc::Key key);
    void showMemoryIndicator();
    calc::AngleUnit angleUnit() const;
    calc::Variant variant() const;
    // What CalcConf.ini holds now: empty when there is no file, nothing when it cannot be read.
    std::optional<ini::IniFile> readSettingsFile() const;
    int readSetting(const QString& section, const QString& key) const;
    void showTool(ui::ToolWindow* window);

    ui::Dialogs& m_dialogs;
    calc::Engine m_engine;
    QString m_settingsPath;
    ini::IniFile settingsFile;      // as read at creation, then as last written on close
    QStyle* m_radioStyle = nullptr; // the radio items' style, owned by the window
    QColor m_lastChosenColor = Qt::black;
    QFont m_fontDialogFont;
    ToolWindows m_tools;
    QString m_journalPath;
    std::unique_ptr<TfmJournal> m_journal;
};
