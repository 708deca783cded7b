// The program's identity on the desktop: the bundled icon at every size, and that every window
// carries it once the application is identified, with no icon theme installed.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/UnitKred.h"
#include "password/UnitSort.h"
#include "plot/UnitGraph.h"
#include "ui/testkit.h"

#include <QApplication>
#include <QIcon>
#include <QTemporaryDir>
#include <QTest>

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void bundledSizes_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%dx%d", size, size) << size;
    }

    void bundledSizes()
    {
        QFETCH(int, size);
        const QIcon icon = app::applicationIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // A drawn picture, not an empty square: the corners are transparent, the centre opaque.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    }

    void everyWindowCarriesTheIcon()
    {
        QVERIFY(QApplication::windowIcon().isNull());
        app::identifyApplication();
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("io.github.vilorka.Vilorka"));
        const QImage expected = app::applicationIcon().pixmap(QSize(32, 32)).toImage();

        QTemporaryDir dir;
        testkit::FakeDialogs dialogs;
        app::Windows windows = app::createWindows(dialogs, dir.filePath(QStringLiteral("CalcConf.ini")));
        const QWidget* const all[] = {windows.fmCalc.get(),  windows.fmElo.get(),  windows.fmGraph.get(),
                                      windows.fmSort.get(),  windows.fmKred.get(), windows.fmKonvert.get(),
                                      windows.fmNewElo.get()};
        for (const QWidget* w : all) {
            QVERIFY2(!w->windowIcon().isNull(), qPrintable(w->objectName()));
            QCOMPARE(w->windowIcon().pixmap(QSize(32, 32)).toImage(), expected);
        }
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
