#include "app/Startup.h"

#include "app/ApplicationStyle.h"
#include "app/Journal.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/UnitKred.h"
#include "numtext/numtext.h"
#include "password/UnitSort.h"
#include "plot/UnitGraph.h"
#include "ui/Dialogs.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <QWindow>

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <functional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace app {

Windows::Windows() = default;
Windows::~Windows() = default;
Windows::Windows(Windows&&) noexcept = default;
Windows& Windows::operator=(Windows&&) noexcept = default;

Windows createWindows(ui::Dialogs& dialogs, const QString& settingsPath, const QString& journalPath,
                      const TimeAndChance& seams)
{
    Windows w;
    w.fmCalc = std::make_unique<TfmCalc>(dialogs, settingsPath);
    w.fmCalc->setJournalPath(journalPath);
    w.fmElo = std::make_unique<TfmElo>(dialogs);
    w.fmGraph = std::make_unique<TfmGraph>(dialogs);
    w.fmSort = std::make_unique<TfmSort>(
        dialogs, QStringLiteral("Pass.txt"),
        seams.passwordSource ? seams.passwordSource : password::UniformSource(password::secureUniform),
        seams.clock ? *seams.clock : password::systemClock());
    w.fmKred = std::make_unique<TfmKred>(dialogs);
    w.fmKonvert = std::make_unique<TfmKonvert>(dialogs);
    w.fmNewElo = std::make_unique<TfmNewElo>(dialogs);
    w.fmCalc->setToolWindows({w.fmElo.get(), w.fmNewElo.get(), w.fmGraph.get(), w.fmSort.get(),
                              w.fmKred.get(), w.fmKonvert.get()});
    return w;
}

QString settingsFilePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).absoluteFilePath(QStringLiteral("vilorka/CalcConf.ini"));
}

char separatorOf(const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && point.front().unicode() > 0x20 && point.front().unicode() < 0x7F)
        return static_cast<char>(point.front().unicode());
    return '.';
}

void readDecimalSeparator() { numtext::setDecimalSeparator(separatorOf(QLocale::system())); }

namespace {

// The window icon's pictures: the sizes window managers draw in title bars, task bars and
// window switchers. Launchers take the larger ones from the installed icon theme instead, so the
// program need not decode them at every start.
constexpr std::array<int, 5> kIconSizes{16, 24, 32, 48, 64};

// A bundled picture as it is drawn. The reader is told the format, so it does not first ask every
// image plugin whether it can read the file.
QImage readIconPicture(int size)
{
    QImageReader reader(QStringLiteral(":/icons/vilorka-%1.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// Runs an action once, after the window it watches has been painted for the first time: the
// action is posted while the window handles its first exposure, which paints it.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWindow* window, std::function<void()> action)
        : QObject(window)
        , m_action(std::move(action))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_action();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

} // namespace

void deferCursorToFirstPaint(QWidget* window)
{
    if (!window->testAttribute(Qt::WA_SetCursor) || window->windowHandle())
        return;
    const QCursor cursor = window->cursor();
    window->unsetCursor();
    window->winId();
    new AfterFirstPaint(window->windowHandle(), [window, cursor] { window->setCursor(cursor); });
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : kIconSizes)
        icon.addPixmap(QPixmap::fromImage(readIconPicture(size)));
    return icon;
}

void nameApplication()
{
    QApplication::setApplicationName(QStringLiteral("vilorka"));
    // The title "калькулятор" captions the error boxes (ui::kAppTitle); it is not set as the
    // display name, which the desktop would append to every window's caption.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vilorka.Vilorka"));
}

bool loadQtTranslations(const QLocale& locale)
{
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // One file of Qt's base module, mapped rather than read, found by the locale's languages.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

#ifdef Q_OS_UNIX
namespace {

int g_signalPipe[2] = {-1, -1};

extern "C" void noteSignal(int signal)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void closeOnTerminationSignals(QWidget* mainWindow)
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default action
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, mainWindow, [mainWindow] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        mainWindow->close();
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}
#else
void closeOnTerminationSignals(QWidget*) {}
#endif

SessionSaver::SessionSaver(TfmCalc& mainWindow, TfmSort& passwords, ui::Dialogs& dialogs)
    : QObject(&mainWindow)
    , m_mainWindow(mainWindow)
    , m_passwords(passwords)
    , m_dialogs(dialogs)
{
}

void SessionSaver::commitData()
{
    m_mainWindow.saveSettings(); // reports its own failure
    ui::runGuarded(m_dialogs, [this] { m_passwords.ProgramEnd(); });
}

SessionSaver* saveAtSessionEnd(QGuiApplication& application, Windows& windows, ui::Dialogs& dialogs)
{
    auto* saver = new SessionSaver(*windows.fmCalc, *windows.fmSort, dialogs);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, saver, &SessionSaver::commitData);
    return saver;
}

int run(int argc, char** argv)
{
    ignoreFileSizeSignal();
    QApplication application(argc, argv);
    installApplicationStyle();
    nameApplication();
    readDecimalSeparator();
    loadQtTranslations(QLocale::system());
    // Menus, boxes and dialogs share the windows' 8-point face, as on the classic desktop; the
    // program then matches two faces at start-up (this one and the display's), not three.
    QApplication::setFont(ui::windowFont());

    ui::QtDialogs dialogs;
    Windows windows = createWindows(dialogs, settingsFilePath(), TfmJournal::defaultPath());
    // Tool windows are top-level windows of their own: the program ends with the main window
    // even while one of them is open. exit, not quit: quit first closes every open window and
    // gives up when one refuses, as the password window does when it cannot save its list.
    QObject::connect(
        windows.fmCalc.get(), &TfmCalc::closed, &application, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // The main window's native window is made first and then given the icon, which so travels to
    // the window system once, before the window is shown. An icon set before the native window
    // is made is sent twice (as the window is made, and again as the widget passes it on).
    deferCursorToFirstPaint(windows.fmCalc.get());
    windows.fmCalc->winId();
    QApplication::setWindowIcon(applicationIcon());
    windows.fmCalc->show();
    closeOnTerminationSignals(windows.fmCalc.get());
    saveAtSessionEnd(application, windows, dialogs);
    return QApplication::exec();
}

} // namespace app
