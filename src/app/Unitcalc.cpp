#include "app/Unitcalc.h"

#include "app/Journal.h"
#include "app/Startup.h"
#include "calc/tape.h"
#include "ui/Dispatch.h"
#include "ui/Help.h"
#include "ui/Placement.h"
#include "ui/TextFile.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "ui/WordsMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStatusBar>

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace {

const QString kCaption = QStringLiteral("Вилорка");
const QString kEloQuestion = QStringLiteral("У вас есть рейтинг?");
// The two lines of the About box are joined by LF then CR, in that order.
const QString kAboutText =
    QStringLiteral("Вилорка — научный калькулятор. © 2026 Разработчики Вилорки\n\r"
                   "Версия " VILORKA_VERSION ", лицензия GNU GPL версии 3 или более поздней");
const QString kSettingsName = QStringLiteral("CalcConf.ini");
constexpr int kDefaultColor = 500000; // a stored black comes back as this green
constexpr int kClientWidth = 370;
constexpr int kClientHeight = 251;

const QColor kBlue(0, 0, 255);
const QColor kOlive(128, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kWindowText; // invalid: the palette's own text colour

struct KeySpec {
    const char* name;
    const char* spoken; // the accessible name a screen reader says; the caption is the description
    const char* caption;
    int left;
    int top;
    ui::PictureButton* TfmCalc::*member;
    void (TfmCalc::*handler)();
    const QColor& color;
    const char* hint;
};

// The keypad, row by row from the top; Panel1 takes the cell at 288, 72.
const std::array<KeySpec, 43> kKeys{{
    {"bb7", "7", "7", 8, 72, &TfmCalc::bb7, &TfmCalc::bb7Click, kWindowText, ""},
    {"bb8", "8", "8", 48, 72, &TfmCalc::bb8, &TfmCalc::bb8Click, kWindowText, ""},
    {"bb9", "9", "9", 88, 72, &TfmCalc::bb9, &TfmCalc::bb9Click, kWindowText, ""},
    {"bbPlas", "Плюс", "+", 128, 72, &TfmCalc::bbPlas, &TfmCalc::bbPlasClick, kBlue, ""},
    {"bbSqrt", "Квадратный корень", "Sqrt", 168, 72, &TfmCalc::bbSqrt, &TfmCalc::bbSqrtClick, kBlue,
     "Квадратный корень"},
    {"bbFact", "Факториал", "Fact", 208, 72, &TfmCalc::bbFact, &TfmCalc::bbFactClick, kBlue, "Факториал"},
    {"bbSin", "Синус", "Sin", 248, 72, &TfmCalc::bbSin, &TfmCalc::bbSinClick, kBlue, ""},

    {"bb4", "4", "4", 8, 104, &TfmCalc::bb4, &TfmCalc::bb4Click, kWindowText, ""},
    {"bb5", "5", "5", 48, 104, &TfmCalc::bb5, &TfmCalc::bb5Click, kWindowText, ""},
    {"bb6", "6", "6", 88, 104, &TfmCalc::bb6, &TfmCalc::bb6Click, kWindowText, ""},
    {"bbMinus", "Минус", "--", 128, 104, &TfmCalc::bbMinus, &TfmCalc::bbMinusClick, kBlue, ""},
    {"bbMultyply", "Умножить", "*", 168, 104, &TfmCalc::bbMultyply, &TfmCalc::bbMultyplyClick, kBlue, ""},
    {"bbSqr", "Квадрат", "Sqr", 208, 104, &TfmCalc::bbSqr, &TfmCalc::bbSqrClick, kBlue,
     "Возведение в квадрат"},
    {"bbCos", "Косинус", "Cos", 248, 104, &TfmCalc::bbCos, &TfmCalc::bbCosClick, kBlue, ""},
    {"bbSec", "Секанс", "Sec", 288, 104, &TfmCalc::bbSec, &TfmCalc::bbSecClick, kNavy, "Секанс"},
    {"bbMod", "Остаток", "Mod", 328, 104, &TfmCalc::bbMod, &TfmCalc::bbModClick, kOlive, ""},

    {"bb1", "1", "1", 8, 136, &TfmCalc::bb1, &TfmCalc::bb1Click, kWindowText, ""},
    {"bb2", "2", "2", 48, 136, &TfmCalc::bb2, &TfmCalc::bb2Click, kWindowText, ""},
    {"bb3", "3", "3", 88, 136, &TfmCalc::bb3, &TfmCalc::bb3Click, kWindowText, ""},
    {"bb0", "0", "0", 128, 136, &TfmCalc::bb0, &TfmCalc::bb0Click, kWindowText, ""},
    {"bbDivisor", "Разделить", "/", 168, 136, &TfmCalc::bbDivisor, &TfmCalc::bbDivisorClick, kBlue, ""},
    {"bbXy", "Степень", "X^y", 208, 136, &TfmCalc::bbXy, &TfmCalc::bbXyClick, kBlue, ""},
    {"bbTg", "Тангенс", "tg", 248, 136, &TfmCalc::bbTg, &TfmCalc::bbTgClick, kBlue, ""},
    {"bbOr", "Или", "Or", 288, 136, &TfmCalc::bbOr, &TfmCalc::bbOrClick, kOlive, ""},
    {"bbNot", "Не", "Not", 328, 136, &TfmCalc::bbNot, &TfmCalc::bbNotClick, kOlive, ""},

    {"bbPi", "Пи", "Pi", 8, 168, &TfmCalc::bbPi, &TfmCalc::bbPiClick, kBlue, ""},
    {"bbPlmin", "Сменить знак", "+\\-", 48, 168, &TfmCalc::bbPlmin, &TfmCalc::bbPlminClick, kBlue, ""},
    {"bbZap", "Запятая", ",", 88, 168, &TfmCalc::bbZap, &TfmCalc::bbZapClick, kBlue, ""},
    {"bbRnd", "Округлить", "Rnd", 128, 168, &TfmCalc::bbRnd, &TfmCalc::bbRndClick, kOlive,
     "Округление до ближайшего целого"},
    {"bbLn", "Натуральный логарифм", "Ln", 168, 168, &TfmCalc::bbLn, &TfmCalc::bbLnClick, kOlive,
     "Натуральный логарифм"},
    {"bbClear", "Сброс", "С", 208, 168, &TfmCalc::bbClear, &TfmCalc::bbClearClick, kRed, ""},
    {"bbTrunc", "Целая часть", "Trunc", 248, 168, &TfmCalc::bbTrunc, &TfmCalc::bbTruncClick, kGreen,
     "Отброс дробной части"},
    {"bbXor", "Исключающее или", "Xor", 288, 168, &TfmCalc::bbXor, &TfmCalc::bbXorClick, kOlive, ""},
    {"bbAnd", "И", "And", 328, 168, &TfmCalc::bbAnd, &TfmCalc::bbAndClick, kOlive, ""},

    {"bbMC", "Очистить память", "MC", 8, 200, &TfmCalc::bbMC, &TfmCalc::bbMCClick, kRed, ""},
    {"bbMS", "Запомнить", "MS", 48, 200, &TfmCalc::bbMS, &TfmCalc::bbMSClick, kRed, ""},
    {"bbMr", "Из памяти", "MR", 88, 200, &TfmCalc::bbMr, &TfmCalc::bbMrClick, kRed, ""},
    {"bbMpl", "Прибавить к памяти", "M+", 128, 200, &TfmCalc::bbMpl, &TfmCalc::bbMplClick, kRed, ""},
    {"bbMmin", "Вычесть из памяти", "M-", 168, 200, &TfmCalc::bbMmin, &TfmCalc::bbMminClick, kRed, ""},
    {"bbLog", "Десятичный логарифм", "Log", 208, 200, &TfmCalc::bbLog, &TfmCalc::bbLogClick, kGreen,
     "Логарифм по основанию 10"},
    {"bbRes", "Равно", "=", 248, 200, &TfmCalc::bbRes, &TfmCalc::bbResClick, kMaroon, ""},
    {"bbCot", "Котангенс", "Cot", 288, 200, &TfmCalc::bbCot, &TfmCalc::bbCotClick, kNavy, "Котангенс"},
    {"bbDiv", "Целое деление", "Div", 328, 200, &TfmCalc::bbDiv, &TfmCalc::bbDivClick, kOlive,
     "Отброс целой части"},
}};

constexpr int kKeyWidth = 33;
constexpr int kKeyHeight = 25;

// The window's style with a tight gap between a radio item's indicator and its text, so that
// "Радианы" fits its third of the group. A style sheet would do the same, but it would bring the
// whole style sheet engine into the program's start-up (about half a megabyte).
class TightRadioStyle final : public QProxyStyle {
public:
    explicit TightRadioStyle(QObject* owner) { setParent(owner); }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        constexpr int kLabelSpacing = 3;
        if (metric == PM_RadioButtonLabelSpacing)
            return kLabelSpacing;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TfmCalc::TfmCalc(ui::Dialogs& dialogs, const QString& settingsPath)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
    , m_settingsPath(settingsPath)
{
    setObjectName(QStringLiteral("fmCalc"));
    setWindowTitle(kCaption);
    setAccessibleName(kCaption);
    setFont(ui::windowFont());
    setCursor(Qt::PointingHandCursor);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    buildDisplay();
    rgGrRad = ui::radioGroup(client, "rgGrRad", QString(), {}, {0, 24, 201, 33});
    rgArcHyp = ui::radioGroup(client, "rgArcHyp", QString(), {}, {208, 24, 161, 33});
    buildKeypad();
    buildPanels();
    buildMenus();
    m_fontDialogFont = ui::windowFont();

    ui::runGuarded(m_dialogs, [this] { Create(); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TfmCalc::~TfmCalc() = default;

void TfmCalc::buildDisplay()
{
    edtCalc = new QLineEdit(centralWidget());
    ui::nameControl(edtCalc, "edtCalc", QStringLiteral("Дисплей"));
    edtCalc->setGeometry(0, 0, 369, 24);
    // Set whole in one step: each font the display is given is loaded at once to lay out its text.
    QFont displayFont;
    displayFont.setFamilies(ui::preferredFamily({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                                 QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")}));
    displayFont.setStyleHint(QFont::SansSerif);
    displayFont.setPixelSize(13);
    edtCalc->setFont(displayFont);
    edtCalc->setAutoFillBackground(true);
    edtCalc->setMaxLength(std::numeric_limits<int>::max()); // the display has no length limit
    edtCalc->installEventFilter(this);
    ui::addWordsMenu(edtCalc, m_dialogs);
    m_engine.setTape(
        [this](const calc::Calculation& calculation) { journal().add(tape::line(calculation)); });
}

// The memory indicator and the status bar, filled with the button face colour.
void TfmCalc::buildPanels()
{
    Panel1 = new QLabel(centralWidget());
    ui::nameControl(Panel1, "Panel1", QString());
    Panel1->setGeometry(288, 72, kKeyWidth, kKeyHeight);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);

    StatusBar1 = new QStatusBar(centralWidget());
    ui::nameControl(StatusBar1, "StatusBar1", QString());
    StatusBar1->setGeometry(0, 232, 370, 19);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setAutoFillBackground(true);

    for (QWidget* own : std::initializer_list<QWidget*>{Panel1, StatusBar1}) {
        QPalette pal = own->palette();
        pal.setColor(QPalette::Window, pal.color(QPalette::Button));
        own->setPalette(pal);
    }
}

void TfmCalc::addRadioItems(ui::RadioGroup* box, const QStringList& items)
{
    // Three equal columns inside the group's frame; a tight indicator gap lets "Радианы" fit.
    constexpr int kInset = 3;
    if (!m_radioStyle)
        m_radioStyle = new TightRadioStyle(this); // after the items' parents, so deleted after them
    const int columnWidth = (box->width() - 2 * kInset) / 3;
    box->setItems(items, 3);
    for (int index = 0; index < items.size(); ++index) {
        QRadioButton* button = box->item(index);
        button->setStyle(m_radioStyle);
        // The indicator's rim is shaded from the application's window colour, not from the
        // colour chosen for this window, so it keeps its look whatever that colour.
        QPalette own = QApplication::palette(button);
        own.setBrush(QPalette::Window, own.window());
        button->setPalette(own);
        button->setGeometry(kInset + index * columnWidth, 7, columnWidth, box->height() - 12);
    }
}

void TfmCalc::buildKeypad()
{
    for (const KeySpec& key : kKeys) {
        auto* button = new ui::PictureButton(QString::fromUtf8(key.caption), key.color,
                                             QString::fromUtf8(key.hint), centralWidget());
        button->setObjectName(QString::fromLatin1(key.name));
        button->setAccessibleName(QString::fromUtf8(key.spoken));
        button->setAccessibleDescription(QString::fromUtf8(key.caption));
        button->setGeometry(key.left, key.top, kKeyWidth, kKeyHeight);
        button->setFocusPolicy(Qt::TabFocus);
        this->*key.member = button;
        ui::connectGuarded(m_dialogs, button, &QPushButton::clicked, this, key.handler);
    }
}

void TfmCalc::buildMenus()
{
    struct Item {
        QAction* TfmCalc::*member;
        const char* name;
        QString caption;
        QKeySequence shortcut;
        void (TfmCalc::*handler)();
    };
    struct Menu {
        QString caption;
        std::vector<Item> items;
    };
    const std::array<Menu, 3> menus{{
        {QStringLiteral("Вид"),
         {{&TfmCalc::mnuColor, "mnuColor", QStringLiteral("&Цвет"), QKeySequence(Qt::CTRL | Qt::Key_F1),
           &TfmCalc::mnuColorClick},
          {&TfmCalc::mnuFont, "mnuFont", QStringLiteral("&Шрифт"), QKeySequence(Qt::CTRL | Qt::Key_F2),
           &TfmCalc::mnuFontClick},
          {&TfmCalc::mnuJournal, "mnuJournal", QStringLiteral("Журнал"), QKeySequence(Qt::CTRL | Qt::Key_J),
           &TfmCalc::mnuJournalClick}}},
        {QStringLiteral("Функции"),
         {{&TfmCalc::mnuElo, "mnuElo", QStringLiteral("Вычисление Эло"), QKeySequence(Qt::CTRL | Qt::Key_W),
           &TfmCalc::mnuEloClick},
          {&TfmCalc::mnuGraph, "mnuGraph", QStringLiteral("График"), QKeySequence(Qt::CTRL | Qt::Key_G),
           &TfmCalc::mnuGraphClick},
          {&TfmCalc::mnuSort, "mnuSort", QStringLiteral("Пароль"), QKeySequence(Qt::CTRL | Qt::Key_Y),
           &TfmCalc::mnuSortClick},
          {&TfmCalc::N3, "N3", QStringLiteral("Кредит"), QKeySequence(Qt::SHIFT | Qt::Key_F1),
           &TfmCalc::N3Click},
          {&TfmCalc::N4, "N4", QStringLiteral("Конвертер"), QKeySequence(Qt::SHIFT | Qt::Key_F2),
           &TfmCalc::N4Click}}},
        {QStringLiteral("Помощь"),
         {{&TfmCalc::mnuHelp, "mnuHelp", QStringLiteral("Справка"), QKeySequence(), &TfmCalc::mnuHelpClick},
          {&TfmCalc::mnuPrograms, "mnuPrograms", QStringLiteral("О прграмме"), QKeySequence(),
           &TfmCalc::mnuProgramsClick}}},
    }};
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    for (const Menu& menu : menus) {
        QMenu* popup = menuBar()->addMenu(menu.caption);
        for (const Item& item : menu.items) {
            QAction* action = popup->addAction(item.caption);
            action->setObjectName(QString::fromLatin1(item.name));
            action->setShortcut(item.shortcut);
            // The commands answer their keys from every window of the program, tool windows
            // included, as a pocket calculator's menu would from anywhere in it.
            action->setShortcutContext(Qt::ApplicationShortcut);
            this->*item.member = action;
            ui::connectGuarded(m_dialogs, action, &QAction::triggered, this, item.handler);
        }
    }
}

// ---- creation, close and settings ------------------------------------------------------------

void TfmCalc::Create()
{
    settingsFile = readSettingsFile().value_or(ini::IniFile()); // an unreadable file reads as empty
    // The saved place is the frame's; one that would leave the title bar off every screen (a
    // screen detached since) brings the window onto the nearest screen instead.
    ui::placeOnFirstShow(this,
                         QPoint(readSetting(QStringLiteral("Position"), QStringLiteral("Left")),
                                readSetting(QStringLiteral("Position"), QStringLiteral("Top"))),
                         ui::Reach::OntoScreen);
    int color = readSetting(QStringLiteral("Color"), QStringLiteral("Form"));
    if (color == 0)
        color = kDefaultColor;
    setWindowColor(valueToColor(color));

    addRadioItems(rgGrRad, {QStringLiteral("Градусы"), QStringLiteral("Радианы"), QStringLiteral("Грады")});
    edtCalc->setText(QStringLiteral("0"));
    rgGrRad->setItemIndex(0);
    addRadioItems(rgArcHyp, {QStringLiteral("Arc"), QStringLiteral("Hyp"), QStringLiteral("None")});
    rgArcHyp->setItemIndex(2);
}

void TfmCalc::Close()
{
    // The three values reach the file together, written whole to a new file that then replaces
    // the old one: no lock is taken, and a failed write leaves the previous file as it was. What
    // the file holds now is read first, so sections and keys written by others stay; a file
    // that exists but cannot be read is not replaced by one holding only these values.
    const std::string unableToWrite =
        QStringLiteral("Unable to write to %1").arg(kSettingsName).toStdString();
    std::optional<ini::IniFile> file = readSettingsFile();
    if (!file)
        throw std::runtime_error(unableToWrite);
    file->writeInteger("Position", "Top", y());
    file->writeInteger("Position", "Left", x());
    file->writeInteger("Color", "Form", colorToValue(windowColor()));
    if (m_journal && m_journal->isBuilt()) {
        // The tape's window keeps its frame's place and its size, once it has been shown.
        const QRect frame(m_journal->frameGeometry().topLeft(), m_journal->size());
        file->writeInteger("Journal", "Left", frame.x());
        file->writeInteger("Journal", "Top", frame.y());
        file->writeInteger("Journal", "Width", frame.width());
        file->writeInteger("Journal", "Height", frame.height());
    }
    QDir().mkpath(QFileInfo(m_settingsPath).absolutePath());
    ui::AtomicFile out(m_settingsPath, ui::FileAccess::Default, unableToWrite);
    out.write(file->text());
    out.commit();
    settingsFile = std::move(*file);
}

void TfmCalc::saveSettings()
{
    ui::runGuarded(m_dialogs, [this] { Close(); });
}

void TfmCalc::closeEvent(QCloseEvent* event)
{
    // A settings file that cannot be written is reported, but the window closes all the same:
    // refusing the close would leave a user with a read-only configuration folder unable to quit.
    saveSettings();
    event->accept();
    emit closed();
}

std::optional<ini::IniFile> TfmCalc::readSettingsFile() const
{
    // A settings file is a few lines long. Anything that is not a plain file (a device, a pipe
    // that would block the start) or that is larger than any settings file could be is treated
    // as unreadable, and so is never replaced on close either.
    constexpr qint64 kMaxSettingsSize = 1024 * 1024;
    const QFileInfo info(m_settingsPath);
    if (!info.exists())
        return ini::IniFile();
    QFile file(m_settingsPath);
    if (!info.isFile() || info.size() > kMaxSettingsSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxSettingsSize + 1);
    if (bytes.size() > kMaxSettingsSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return ini::IniFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

int TfmCalc::readSetting(const QString& section, const QString& key) const
{
    return settingsFile.readInteger(section.toStdString(), key.toStdString(), 0);
}

int TfmCalc::colorToValue(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QColor TfmCalc::valueToColor(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor TfmCalc::windowColor() const { return centralWidget()->palette().color(QPalette::Window); }

void TfmCalc::setWindowColor(const QColor& color)
{
    // The client area's colour reaches the radio groups, which draw no background of their own;
    // the display, the keys, the panel and the status bar keep their own colours.
    QPalette pal = centralWidget()->palette();
    pal.setColor(QPalette::Window, color);
    centralWidget()->setPalette(pal);
}

void TfmCalc::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange)
        app::readDecimalSeparator();
    QMainWindow::changeEvent(event);
}

// ---- display and keyboard ---------------------------------------------------------------------

QString TfmCalc::display() const { return edtCalc->text(); }

void TfmCalc::press(calc::Key key)
{
    setDisplay(m_engine.press(key, display().toStdString(), angleUnit(), variant()));
}

void TfmCalc::setDisplay(const std::string& text) { edtCalc->setText(QString::fromStdString(text)); }

namespace {

// A typed text passes the display's filter when it is a backspace or digits alone: a dead key,
// a compose sequence or a key that types several characters is dropped whole.
bool passesFilter(const QString& text)
{
    if (text == QStringLiteral("\b"))
        return true;
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c != u'\b' && calc::acceptsTypedChar(c.unicode()); });
}

// Text an input method commits (accents, compose results, characters picked from a list) keeps
// only its digits.
QString digitsOf(const QString& text)
{
    QString digits;
    for (QChar c : text)
        if (c != u'\b' && calc::acceptsTypedChar(c.unicode()))
            digits += c;
    return digits;
}

} // namespace

bool TfmCalc::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtCalc && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Keys that type no character (arrows, Delete, Home, End) keep their editing effect, and
        // Tab still moves the focus to the keys.
        const bool editingKey = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
                                key->key() == Qt::Key_Backtab || key->text().isEmpty();
        if (!editingKey && !passesFilter(key->text()))
            return true;
    }
    if (watched == edtCalc && event->type() == QEvent::InputMethod) {
        auto* input = static_cast<QInputMethodEvent*>(event);
        const QString digits = digitsOf(input->commitString());
        if (digits != input->commitString())
            input->setCommitString(digits, input->replacementStart(), input->replacementLength());
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- keys ------------------------------------------------------------------------------------

void TfmCalc::bb0Click() { press(calc::Key::D0); }
void TfmCalc::bb1Click() { press(calc::Key::D1); }
void TfmCalc::bb2Click() { press(calc::Key::D2); }
void TfmCalc::bb3Click() { press(calc::Key::D3); }
void TfmCalc::bb4Click() { press(calc::Key::D4); }
void TfmCalc::bb5Click() { press(calc::Key::D5); }
void TfmCalc::bb6Click() { press(calc::Key::D6); }
void TfmCalc::bb7Click() { press(calc::Key::D7); }
void TfmCalc::bb8Click() { press(calc::Key::D8); }
void TfmCalc::bb9Click() { press(calc::Key::D9); }
void TfmCalc::bbZapClick() { press(calc::Key::Comma); }
void TfmCalc::bbPlminClick() { press(calc::Key::Sign); }
void TfmCalc::bbPiClick() { press(calc::Key::Pi); }
void TfmCalc::bbClearClick() { press(calc::Key::Clear); }
void TfmCalc::bbPlasClick() { press(calc::Key::Add); }
void TfmCalc::bbMinusClick() { press(calc::Key::Sub); }
void TfmCalc::bbMultyplyClick() { press(calc::Key::Mul); }
void TfmCalc::bbDivisorClick() { press(calc::Key::Divide); }
void TfmCalc::bbResClick() { press(calc::Key::Equals); }

void TfmCalc::bbSqrtClick() { press(calc::Key::Sqrt); }
void TfmCalc::bbSqrClick() { press(calc::Key::Sqr); }
void TfmCalc::bbXyClick() { press(calc::Key::Power); }
void TfmCalc::bbFactClick() { press(calc::Key::Fact); }
void TfmCalc::bbLnClick() { press(calc::Key::Ln); }
void TfmCalc::bbLogClick() { press(calc::Key::Log); }
void TfmCalc::bbTruncClick() { press(calc::Key::Trunc); }
void TfmCalc::bbRndClick() { press(calc::Key::Rnd); }

calc::AngleUnit TfmCalc::angleUnit() const { return static_cast<calc::AngleUnit>(rgGrRad->itemIndex()); }
calc::Variant TfmCalc::variant() const { return static_cast<calc::Variant>(rgArcHyp->itemIndex()); }

void TfmCalc::bbSinClick() { press(calc::Key::Sin); }
void TfmCalc::bbCosClick() { press(calc::Key::Cos); }
void TfmCalc::bbTgClick() { press(calc::Key::Tg); }
void TfmCalc::bbCotClick() { press(calc::Key::Cot); }
void TfmCalc::bbSecClick() { press(calc::Key::Sec); }

void TfmCalc::bbModClick() { press(calc::Key::Mod); }
void TfmCalc::bbDivClick() { press(calc::Key::IntDiv); }
void TfmCalc::bbXorClick() { press(calc::Key::Xor); }
void TfmCalc::bbOrClick() { press(calc::Key::Or); }
void TfmCalc::bbAndClick() { press(calc::Key::And); }
void TfmCalc::bbNotClick() { press(calc::Key::Not); }
void TfmCalc::bbMrClick() { press(calc::Key::MemoryRecall); }
void TfmCalc::bbMplClick() { press(calc::Key::MemoryAdd); }
void TfmCalc::bbMminClick() { press(calc::Key::MemorySub); }

void TfmCalc::bbMSClick()
{
    press(calc::Key::MemoryStore);
    showMemoryIndicator();
}

void TfmCalc::bbMCClick()
{
    press(calc::Key::MemoryClear);
    showMemoryIndicator();
}

void TfmCalc::showMemoryIndicator()
{
    Panel1->setText(m_engine.memoryIndicator() ? QStringLiteral("M") : QString());
}

// ---- menus -----------------------------------------------------------------------------------

void TfmCalc::mnuColorClick()
{
    if (const auto chosen = m_dialogs.chooseColor(this, m_lastChosenColor)) {
        m_lastChosenColor = *chosen;
        setWindowColor(*chosen);
    }
}

void TfmCalc::mnuFontClick()
{
    if (const auto chosen = m_dialogs.chooseFont(this, m_fontDialogFont)) {
        m_fontDialogFont = *chosen;
        edtCalc->setFont(*chosen);
    }
}

void TfmCalc::showTool(ui::ToolWindow* window)
{
    if (window)
        window->showTool();
}

void TfmCalc::mnuEloClick()
{
    switch (m_dialogs.confirm(this, kEloQuestion)) {
    case ui::Answer::Yes:
        showTool(m_tools.fmElo);
        break;
    case ui::Answer::No:
        showTool(m_tools.fmNewElo);
        break;
    case ui::Answer::Dismissed:
        break;
    }
}

TfmJournal& TfmCalc::journal()
{
    if (!m_journal) {
        const QRect frame(readSetting(QStringLiteral("Journal"), QStringLiteral("Left")),
                          readSetting(QStringLiteral("Journal"), QStringLiteral("Top")),
                          readSetting(QStringLiteral("Journal"), QStringLiteral("Width")),
                          readSetting(QStringLiteral("Journal"), QStringLiteral("Height")));
        // A double-clicked result replaces the display, as if typed there.
        m_journal = std::make_unique<TfmJournal>(
            m_dialogs, m_journalPath, [this](const QString& result) { edtCalc->setText(result); }, frame);
    }
    return *m_journal;
}

void TfmCalc::mnuJournalClick() { journal().showTool(); }

void TfmCalc::mnuGraphClick() { showTool(m_tools.fmGraph); }
void TfmCalc::mnuSortClick() { showTool(m_tools.fmSort); }
void TfmCalc::N3Click() { showTool(m_tools.fmKred); }
void TfmCalc::N4Click() { showTool(m_tools.fmKonvert); }

void TfmCalc::mnuHelpClick() { ui::openHelp(m_dialogs, this); }

void TfmCalc::mnuProgramsClick() { m_dialogs.information(this, kAboutText); }
