// The program as a process: the signals that end a session end it the way closing the main
// window does, and a file-size limit makes a save fail instead of killing the program. The
// program runs as a child process with its own home, configuration folder and current folder.

#include "app/Startup.h"
#include "ui/TextFile.h"

#include <QDir>
#include <QFile>
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

QTEST_GUILESS_MAIN(TestSignals)
#include "tst_signals.moc"
