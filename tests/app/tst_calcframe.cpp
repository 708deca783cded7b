// The main window's place under a window manager that draws a frame around it: the saved Left
// and Top are the frame's place and are applied as such, so the title bar shows on the first
// start and a place comes back unchanged however often the program restarts. Runs on a
// private X server with a window manager (under_wm.sh); skipped on any other platform.
//
// Each wait is for what the window manager does (framing, placing), bounded only against a
// hang; once a row has failed, the rest fail at once rather than each waiting out its bound.

#include "app/Journal.h"
#include "app/inifile.h"
#include "elo/UnitElo.h"
#include "app/Unitcalc.h"
#include "support/appwindows.h"
#include "support/testkit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using testkit::FakeDialogs;

class TestCalcFrame : public QObject {
    Q_OBJECT

private:
    static constexpr int kHang = 20000; // milliseconds no window manager takes unless it hangs

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    bool m_failed = false;

    QString settingsPath() const { return m_dir->filePath(QStringLiteral("CalcConf.ini")); }

    QPoint savedPlace() const
    {
        QFile file(settingsPath());
        if (!file.open(QIODevice::ReadOnly))
            return {-99999, -99999};
        const ini::IniFile ini(file.readAll().toStdString());
        return {ini.readInteger("Position", "Left", -99999), ini.readInteger("Position", "Top", -99999)};
    }

    // The actions the window manager offers for window, as it announces them on it
    // (_NET_WM_ALLOWED_ACTIONS), without their common prefix; empty until it has managed it.
    static QStringList allowedActions(const QString& xprop, const QWidget& window)
    {
        QProcess probe;
        probe.start(xprop, {QStringLiteral("-id"), QString::number(window.winId()),
                            QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
        if (!probe.waitForFinished(kHang) || probe.exitCode() != 0)
            return {};
        const QString output = QString::fromLatin1(probe.readAllStandardOutput());
        const qsizetype equals = output.indexOf(u'=');
        if (equals < 0)
            return {};
        QStringList actions;
        for (const QString& atom : output.mid(equals + 1).split(u',', Qt::SkipEmptyParts))
            actions << atom.trimmed().remove(QStringLiteral("_NET_WM_ACTION_"));
        return actions;
    }

    static QString describe(const QWidget& window, int start)
    {
        const QRect frame = window.frameGeometry();
        return QStringLiteral("start %1: frame at %2,%3, client area at %4,%5")
            .arg(start)
            .arg(frame.x())
            .arg(frame.y())
            .arg(window.geometry().x())
            .arg(window.geometry().y());
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with a window manager (see under_wm.sh)");
        // under_wm.sh starts the test once the window manager has announced itself; a window
        // it manages gets the actions it allows. A manager that has announced itself may still
        // miss a window mapped while it finishes starting, so the probe is mapped again until
        // one is managed.
        const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
        QVERIFY2(!xprop.isEmpty(), "under_wm.sh checks that xprop is installed");
        QWidget probe;
        probe.resize(50, 50);
        bool managed = false;
        for (int attempt = 0; attempt < 10 && !managed; ++attempt) {
            probe.show();
            managed =
                QTest::qWaitFor([&] { return allowedActions(xprop, probe).contains("CLOSE"); }, kHang / 10);
            probe.hide();
        }
        QVERIFY2(managed, "no window manager managed a window");
    }

    void init()
    {
        if (m_failed)
            QFAIL("not run: an earlier row failed");
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void placeSurvivesRestarts_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no settings file
        QTest::addColumn<QPoint>("place");    // where the frame goes
        QTest::addColumn<QPoint>("moved");    // where the user moves it at the first start; 0,0: not moved
        QTest::newRow("first start") << QByteArray() << QPoint(0, 0) << QPoint();
        QTest::newRow("chosen place")
            << QByteArray("[Position]\nLeft=300\nTop=300\n") << QPoint(300, 300) << QPoint();
        // Onto the 1280-pixel screen with the frame assumed before the window manager draws it:
        // 3-pixel borders either side of the 370-pixel client area.
        QTest::newRow("place off the screen")
            << QByteArray("[Position]\nLeft=5000\nTop=-500\n") << QPoint(904, 0) << QPoint();
        QTest::newRow("moved by the user") << QByteArray() << QPoint(0, 0) << QPoint(200, 150);
    }

    void placeSurvivesRestarts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QPoint, place);
        QFETCH(QPoint, moved);
        if (!file.isEmpty()) {
            QFile out(settingsPath());
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        for (int start = 1; start <= 3; ++start) {
            TfmCalc window(m_dialogs, settingsPath());
            window.show();
            // The window manager frames the window first and places it a moment later; the title
            // bar is then on the screen, above the client area.
            QTRY_VERIFY2_WITH_TIMEOUT(window.frameGeometry().topLeft() == place &&
                                          window.geometry().top() > window.frameGeometry().top(),
                                      qPrintable(describe(window, start)), kHang);
            if (start == 1 && !moved.isNull()) {
                window.move(moved);
                QTRY_COMPARE_WITH_TIMEOUT(window.frameGeometry().topLeft(), moved, kHang);
                place = moved;
            }
            window.close();
            QCOMPARE(savedPlace(), place);
        }
        QCOMPARE(m_dialogs.boxes.size(), 0);
    }

    // The title bar's buttons follow what the window manager lets the user do with a window:
    // every window of a fixed size is moved, minimised and closed, never resized or
    // maximised; the journal, whose size the user chooses, is maximised too. (A window manager
    // may still draw a maximise button that does nothing, as a placeholder between the title
    // and the buttons it keeps.)
    void titleBarActions_data()
    {
        QTest::addColumn<QString>("window"); // object name
        QTest::addColumn<bool>("sizable");
        // Every tool window is fixed by the same base as fmElo.
        QTest::newRow("fmCalc") << QStringLiteral("fmCalc") << false;
        QTest::newRow("fmElo") << QStringLiteral("fmElo") << false;
        QTest::newRow("fmJournal") << QStringLiteral("fmJournal") << true;
    }

    void titleBarActions()
    {
        QFETCH(QString, window);
        QFETCH(bool, sizable);
        const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
        testkit::AppWindows app;
        app.start();
        const app::Windows& w = app.windows;
        QWidget& shown = window == QLatin1String("fmCalc")  ? static_cast<QWidget&>(*w.fmCalc)
                         : window == QLatin1String("fmElo") ? static_cast<QWidget&>(*w.fmElo)
                                                            : w.fmCalc->journal();
        shown.show();
        QStringList actions;
        QVERIFY2(QTest::qWaitFor([&] { return (actions = allowedActions(xprop, shown)).contains("CLOSE"); },
                                 kHang),
                 "the window manager announced no actions");
        for (const char* offered : {"MOVE", "MINIMIZE", "CLOSE"})
            QVERIFY2(actions.contains(QLatin1String(offered)), qPrintable(actions.join(u' ')));
        for (const char* sizing : {"RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"})
            QVERIFY2(actions.contains(QLatin1String(sizing)) == sizable, qPrintable(actions.join(u' ')));
        app.stop();
    }

    void cleanup() { m_failed = m_failed || QTest::currentTestFailed(); }
};

QTEST_MAIN(TestCalcFrame)
#include "tst_calcframe.moc"
