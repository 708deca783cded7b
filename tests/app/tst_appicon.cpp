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
#include "support/testkit.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void bundledSizes_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {16, 24, 32, 48, 64})
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
        // The bundled picture itself.
        const QString file = QStringLiteral(":/icons/vilorka-%1.png").arg(size);
        QCOMPARE(image, QImage(file).convertToFormat(image.format()));
    }

    // Sizes between the bundled ones and the other modes come out as from an icon of the files.
    void otherSizesAndModes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::newRow("between two sizes") << 20 << int(QIcon::Normal);
        QTest::newRow("above the largest") << 300 << int(QIcon::Normal);
        QTest::newRow("disabled") << 32 << int(QIcon::Disabled);
    }

    void otherSizesAndModes()
    {
        QFETCH(int, size);
        QFETCH(int, mode);
        QIcon files;
        for (const int bundled : {16, 24, 32, 48, 64})
            files.addFile(QStringLiteral(":/icons/vilorka-%1.png").arg(bundled), QSize(bundled, bundled));
        const QIcon icon = app::applicationIcon();
        const auto iconMode = static_cast<QIcon::Mode>(mode);
        QCOMPARE(icon.actualSize(QSize(size, size), iconMode), files.actualSize(QSize(size, size), iconMode));
        QCOMPARE(icon.pixmap(QSize(size, size), iconMode).toImage(),
                 files.pixmap(QSize(size, size), iconMode).toImage());
    }

    void everyWindowCarriesTheIcon()
    {
        QVERIFY(QApplication::windowIcon().isNull());
        app::nameApplication();
        QApplication::setWindowIcon(app::applicationIcon());
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

    // Qt's own texts (a file dialog's buttons, a long box's details button) follow the user's
    // language; English needs nothing loaded.
    void qtTextsInTheUsersLanguage()
    {
        const auto openText = [] { return QCoreApplication::translate("QFileDialog", "Open"); };
        QVERIFY(!app::loadQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
        QCOMPARE(openText(), QStringLiteral("Open"));
        QVERIFY(app::loadQtTranslations(QLocale(QLocale::Russian, QLocale::Russia)));
        QCOMPARE(openText(), QStringLiteral("Открыть"));
        QCOMPARE(QCoreApplication::translate("QMessageBox", "Show Details..."),
                 QStringLiteral("Показать подробности..."));
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
