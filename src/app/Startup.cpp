#include "app/Startup.h"

#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/UnitKred.h"
#include "numtext.h"
#include "password/UnitSort.h"
#include "plot/UnitGraph.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QIconEngine>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <array>
#include <map>

namespace app {

Windows::Windows() = default;
Windows::~Windows() = default;
Windows::Windows(Windows&&) noexcept = default;
Windows& Windows::operator=(Windows&&) noexcept = default;

Windows createWindows(ui::Dialogs& dialogs, const QString& settingsPath)
{
    Windows w;
    w.fmCalc = std::make_unique<TfmCalc>(dialogs, settingsPath);
    w.fmElo = std::make_unique<TfmElo>(dialogs);
    w.fmGraph = std::make_unique<TfmGraph>(dialogs);
    w.fmSort = std::make_unique<TfmSort>(dialogs);
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

constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};

QString iconFile(int size) { return QStringLiteral(":/icons/vilorka-%1.png").arg(size); }

// A bundled picture as it is drawn. The reader is told the format, so it does not first ask every
// image plugin whether it can read the file.
QImage readIconPicture(int size)
{
    QImageReader reader(iconFile(size), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// The bundled icon, read from the executable when a window asks for it and let go when the event
// loop next runs. The window system keeps its own copy of the pictures each window was given, so
// the program need not hold them (0.4 MB, mostly the 256-pixel one) for as long as it runs; the
// requests a new window makes in one go are served by one reading of each picture.
class BundledIconEngine final : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        // What the window system asks for: each picture as it is drawn.
        if (mode == QIcon::Normal && state == QIcon::Off && size.width() == size.height() &&
            std::ranges::find(kIconSizes, size.width()) != kIconSizes.end())
            return picture(size.width());
        return fullIcon().pixmap(size, mode, state); // scaled or in another mode, as an icon does
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return fullIcon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off)
            for (const int size : kIconSizes)
                sizes.append(QSize(size, size));
        return sizes;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("vilorka-bundled"); }
    QIconEngine* clone() const override { return new BundledIconEngine; }

private:
    static QIcon fullIcon()
    {
        QIcon icon;
        for (const int size : kIconSizes)
            icon.addFile(iconFile(size), QSize(size, size));
        return icon;
    }

    QPixmap picture(int size)
    {
        QPixmap& kept = m_pictures[size];
        if (kept.isNull()) {
            // Not QPixmap(file): the pixmap cache would keep a copy.
            kept = QPixmap::fromImage(readIconPicture(size));
            releaseSoon();
        }
        return kept;
    }

    void releaseSoon()
    {
        if (m_releasing || !QCoreApplication::instance())
            return;
        m_releasing = true;
        QTimer::singleShot(0, &m_release, [this] {
            m_pictures.clear();
            m_releasing = false;
        });
    }

    std::map<int, QPixmap> m_pictures; // read in this turn of the event loop
    bool m_releasing = false;
    QObject m_release; // the context of the pending release, which goes with the engine
};

} // namespace

QIcon applicationIcon() { return QIcon(new BundledIconEngine); }

void nameApplication()
{
    QApplication::setApplicationName(QStringLiteral("vilorka"));
    // The title "калькулятор" captions the error boxes (ui::kAppTitle); it is not set as the
    // display name, which the desktop would append to every window's caption.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vilorka.Vilorka"));
}

void identifyApplication()
{
    nameApplication();
    QApplication::setWindowIcon(applicationIcon());
}

int run(int argc, char** argv)
{
    QApplication application(argc, argv);
    nameApplication();
    readDecimalSeparator();

    ui::QtDialogs dialogs;
    Windows windows = createWindows(dialogs, settingsFilePath());
    // Tool windows are top-level windows of their own: the program ends with the main window
    // even while one of them is open. exit, not quit: quit first closes every open window and
    // gives up when one refuses, as the password window does when it cannot save its list.
    QObject::connect(
        windows.fmCalc.get(), &TfmCalc::closed, &application, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    // The main window's native window is made first and then given the icon, which so travels to
    // the window system once, before the window is shown. An icon set before the native window
    // is made is sent twice (as the window is made, and again as the widget passes it on).
    windows.fmCalc->winId();
    QApplication::setWindowIcon(applicationIcon());
    windows.fmCalc->show();
    return QApplication::exec();
}

} // namespace app
