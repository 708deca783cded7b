// The program as a process: the signals that end a session end it the way closing the main
// window does, and a file-size limit makes a save fail instead of killing the program. The
// program runs as a child process with its own home, configuration folder and current folder.
// The desktop's session end is asked of the windows themselves, in this process.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "password/UnitSort.h"
#include "support/appwindows.h"
#include "ui/TextFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether process pid has a handler installed for signal (Linux: the SigCgt mask of its
// status). The program installs its handlers once it is up; a signal sent before would find
// the default action.
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:"))
            continue;
        bool ok = false;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
        return ok && (mask >> (signal - 1) & 1) != 0;
    }
    return false;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

} // namespace

class TestSignals : public QObject {
    Q_OBJECT

private slots:
    void sessionSignalsCloseTheMainWindow_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void sessionSignalsCloseTheMainWindow()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(VILORKA_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), signal), 60000);
        QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        // What closing the main window writes: its place and colour.
        const QByteArray settings = readAll(dir.filePath(QStringLiteral("config/vilorka/CalcConf.ini")));
        QVERIFY2(settings.startsWith("[Position]\nTop=") && settings.contains("\n[Color]\nForm="),
                 settings.constData());
    }

    // The session manager's request to save (commitDataRequest) runs the saver, which writes
    // what closing the main window writes and leaves the windows open. The request's argument
    // cannot be made outside Qt, so the test checks the connection and runs the slot itself.
    void sessionEndSaves_data()
    {
        QTest::addColumn<bool>("listShown");       // the password window was shown
        QTest::addColumn<bool>("settingsBlocked"); // the settings folder's name is taken by a file
        QTest::newRow("password window shown") << true << false;
        QTest::newRow("password window never shown") << false << false;
        QTest::newRow("settings cannot be written") << true << true;
    }

    void sessionEndSaves()
    {
        QFETCH(bool, listShown);
        QFETCH(bool, settingsBlocked);
        testkit::AppWindows app;
        app.start();
        app::SessionSaver* saver = app::saveAtSessionEnd(*qApp, app.windows, *app.dialogs);
        QVERIFY(QObject::disconnect(qApp, &QGuiApplication::commitDataRequest, saver,
                                    &app::SessionSaver::commitData));
        app.windows.fmCalc->show();
        if (listShown) {
            app.windows.fmSort->show();
            app.windows.fmSort->Memo1->setPlainText(QStringLiteral("k3Vd9QzA\nP0w8Lm2X"));
        }
        // The settings file is read again on saving: another section in it is kept.
        if (settingsBlocked)
            ui::writeTextFile(app.path(QStringLiteral("config")), QString());
        else if (QDir().mkpath(app.path(QStringLiteral("config"))))
            ui::writeTextFile(app.settingsPath(), QStringLiteral("[Other]\nKey=7\n"));

        saver->commitData();

        QCOMPARE(readAll(app.path(QStringLiteral("Pass.txt"))),
                 listShown ? QByteArray("k3Vd9QzA\r\nP0w8Lm2X") : QByteArray("<no file>"));
        const QByteArray settings = readAll(app.settingsPath());
        if (settingsBlocked) {
            QCOMPARE(app.dialogs->boxes.size(), 1);
            QCOMPARE(app.dialogs->boxes.front().text, QStringLiteral("Unable to write to CalcConf.ini."));
        } else {
            QCOMPARE(app.dialogs->boxes.size(), 0);
            QVERIFY2(settings.startsWith("[Other]\r\nKey=7\r\n") && settings.contains("[Position]\r\nTop=") &&
                         settings.contains("[Color]\r\nForm="),
                     settings.constData());
        }
        QVERIFY(app.windows.fmCalc->isVisible());
        QCOMPARE(app.windows.fmSort->isVisible(), listShown);
        app.stop();
    }

    // In a child process limited to 4 KiB per file, as the start-up sets it: saving 20 KiB fails
    // with the stream error, and the previous file stays whole.
    void fileSizeLimitFailsTheSave()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("Pass.txt"));
        ui::writeTextFile(path, QStringLiteral("previous\n"));
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            app::ignoreFileSizeSignal();
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            int code = 1;
            try {
                ui::writeTextFile(path, QString(20 * 1024, u'x'));
            } catch (const ui::FileError& e) {
                code = std::string_view(e.what()) == ui::kStreamWriteError ? 0 : 2;
            }
            ::_exit(code);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), qPrintable(QStringLiteral("ended by signal %1").arg(WTERMSIG(status))));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readAll(path), QByteArray("previous\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Pass.txt")});
    }
};

QTEST_MAIN(TestSignals)
#include "tst_signals.moc"
