// The password window under the offscreen platform. Buttons, arrows and speed items are
// clicked by objectName; the two timers' handlers are called directly, one tick at a time, or
// run by the timers on a clock the test steps; the draws are scripted (0, 1, 2, ... gives the
// passwords "012345", "6789AB", ...).

#include "password/UnitSort.h"
#include "ui/Dispatch.h"
#include "support/ManualClock.h"
#include "support/draws.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

using testkit::byName;
using testkit::click;
using testkit::CountingSource;
using testkit::readAll;

namespace {

// An error box that stays open for a while, with the event loop running under it the way a
// modal box's own loop runs: timer ticks keep arriving.
class SlowDialogs final : public testkit::FakeDialogs {
public:
    std::function<void()> whileOpen;

protected:
    void errorBox(const QString& text) override
    {
        FakeDialogs::errorBox(text);
        if (whileOpen)
            whileOpen();
    }
};

QString cannotCreate(const QString& path, const char* description)
{
    return QStringLiteral("Cannot create file \"%1\". %2.").arg(path, QString::fromLatin1(description));
}

} // namespace

class TestSortWindow : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;
    testkit::ManualClock m_clock;
    std::unique_ptr<TfmSort> m_w;

    void makeWindow(const QString& listFile, ui::Dialogs* dialogs = nullptr)
    {
        m_w = std::make_unique<TfmSort>(dialogs ? *dialogs : *m_app.dialogs, listFile, CountingSource{},
                                        m_clock);
        m_w->ensureBuilt(); // the controls, as the first show would make them
    }
    QString password() const { return QString::fromStdString(m_w->generator().currentPassword()); }
    QStringList errors() const { return m_app.dialogs->errors(); }

    // Space-separated steps: show, close, sort, clear, stop (the three buttons), up, down (the
    // arrows), item0..item2 (the speed items), char (one character tick), complete (character
    // ticks until the timer stops), list (one list tick), type:TEXT (typed into the memo), end
    // (Стоп, so that no list tick comes while the program's event loop ends, then that end).
    void run(const QString& steps)
    {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("show"))
                m_w->showTool();
            else if (step == QLatin1String("close"))
                m_w->close();
            else if (step == QLatin1String("sort"))
                click(m_w.get(), "btnSort");
            else if (step == QLatin1String("clear"))
                click(m_w.get(), "btnClear");
            else if (step == QLatin1String("stop") || step == QLatin1String("end"))
                click(m_w.get(), "Button1");
            else if (step == QLatin1String("up") || step == QLatin1String("down"))
                QTest::mouseClick(byName<QToolButton>(m_w->UpDown1, qPrintable(step)), Qt::LeftButton);
            else if (step.startsWith(QLatin1String("item")))
                QTest::mouseClick(m_w->RadioGroup1->item(step.back().digitValue()), Qt::LeftButton);
            else if (step == QLatin1String("char"))
                m_w->Timer1Timer();
            else if (step == QLatin1String("complete"))
                for (int i = 0; i < 100 && m_w->Timer1->isActive(); ++i)
                    m_w->Timer1Timer();
            else if (step == QLatin1String("list"))
                m_w->Timer2Timer();
            else if (step.startsWith(QLatin1String("type:")))
                QTest::keyClicks(m_w->Memo1, step.mid(5));
            else
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            if (step == QLatin1String("end")) { // as when the main window closes
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
                QCoreApplication::exec();
            }
        }
    }

    QString timers() const
    {
        return QStringLiteral("%1 %2").arg(m_w->Timer1->isActive() ? "on" : "off",
                                           m_w->Timer2->isActive() ? "on" : "off");
    }

private slots:
    void init()
    {
        m_app.start();
        makeWindow(QStringLiteral("Pass.txt"));
    }
    void cleanup()
    {
        m_w.reset();
        m_app.stop();
    }

    void layout()
    {
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Пароль"));
        // Each control by name and the name assistive technology announces, inside the window and
        // clear of the others.
        testkit::checkControls(m_w.get(),
                               {"Edit1 Пароль", "Le1 Длинна", "UpDown1 Длинна", "btnSort Генерация",
                                "btnClear Очистить", "Button1 Стоп", "RadioGroup1 Скорость", "Memo1 Пароли"});
        QCOMPARE(m_w->Le1->label()->text(), QStringLiteral("Длинна"));
        QCOMPARE(m_w->Le1->text(), QStringLiteral("6"));
        QCOMPARE(m_w->UpDown1->position(), 6);
        QCOMPARE(m_w->Edit1->font().pixelSize(), 16);
        QCOMPARE(m_w->RadioGroup1->title(), QStringLiteral("Скорость"));
        const QStringList items{"4 пароля в секунду", "5 паролей в секунду", "8 паролей в секунду"};
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(m_w->RadioGroup1->item(i)->text(), items[i]);
        QCOMPARE(m_w->RadioGroup1->itemIndex(), -1); // until first shown
        QCOMPARE(m_w->Timer1->interval(), 10);
        QVERIFY(m_w->Memo1->toPlainText().isEmpty());
        QVERIFY(m_w->Memo1->tabChangesFocus()); // Tab never types into the saved list
    }

    void script_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("timers"); // character timer, list timer
        QTest::addColumn<int>("interval");   // of the list timer
        QTest::addColumn<QString>("edit");   // Edit1
        QTest::addColumn<QString>("memo");
        // clang-format off
        QTest::newRow("created: idle") << "" << "off off" << 200 << "" << "";
        QTest::newRow("shown: 4 per second") << "show" << "off off" << 250 << "" << "";
        QTest::newRow("5 per second") << "show item1" << "off off" << 200 << "" << "";
        QTest::newRow("8 per second") << "show item2" << "off off" << 125 << "" << "";
        QTest::newRow("shown again: 4 per second") << "show item2 close show" << "off off" << 250 << "" << "";
        QTest::newRow("Очистить: building") << "show clear" << "on off" << 250 << "" << "";
        QTest::newRow("building completes") << "show clear complete" << "off off" << 250 << "" << "";
        // An arrow that moves the length starts a password of the new length; one past 10 does nothing.
        QTest::newRow("arrow up")
            << "show clear complete up complete sort" << "on on" << 250 << "6789ABC" << "";
        QTest::newRow("arrow down")
            << "show clear complete down complete sort" << "on on" << 250 << "6789A" << "";
        QTest::newRow("arrow up at 10")
            << "show up up up up clear complete up sort" << "on on" << 250 << "0123456789" << "";
        QTest::newRow("Генерация: listing") << "show sort" << "on on" << 250 << "" << "";
        QTest::newRow("list tick") << "show sort complete list" << "on on" << 250 << "" << "012345\n";
        QTest::newRow("list tick takes an incomplete password")
            << "show sort char char list" << "on on" << 250 << "" << "01\n";
        QTest::newRow("Очистить while listing")
            << "show sort char clear complete list" << "on on" << 250 << "" << "123456\n";
        QTest::newRow("Стоп: stopped") << "show sort stop" << "on off" << 250 << "" << "";
        QTest::newRow("Генерация shows the password completed since Стоп")
            << "show sort complete list stop complete sort" << "on on" << 250 << "6789AB" << "012345\n";
        QTest::newRow("listed password is the one shown")
            << "show sort complete list stop complete sort complete list" << "on on" << 250 << ""
            << "012345\n6789AB\n";
        QTest::newRow("listing goes on while hidden")
            << "show item2 sort close complete list" << "on on" << 125 << "" << "012345\n";
        QTest::newRow("user's text without a final break")
            << "show type:note sort complete list complete list" << "on on" << 250 << ""
            << "note\n012345\n6789AB";
        // clang-format on
    }

    void script()
    {
        QFETCH(QString, steps);
        QFETCH(QString, timers);
        QFETCH(int, interval);
        QFETCH(QString, edit);
        QFETCH(QString, memo);
        run(steps);
        QCOMPARE(this->timers(), timers);
        QCOMPARE(m_w->Timer2->interval(), interval);
        QCOMPARE(m_w->Edit1->text(), edit);
        QCOMPARE(m_w->Memo1->toPlainText(), memo);
        QCOMPARE(m_app.dialogs->boxes.size(), 0);
    }

    void runningTimerRestartsOnlyWhenItsIntervalChanges()
    {
        const auto left = [this] {
            return static_cast<testkit::ManualClock::Timer*>(m_w->Timer2)->remaining();
        };
        run(QStringLiteral("show sort"));
        QCOMPARE(left(), 250);
        m_clock.advance(100);
        run(QStringLiteral("sort item0")); // already on, and the interval it has
        QCOMPARE(left(), 150);
        run(QStringLiteral("item1"));
        QCOMPARE(left(), 200);
    }

    void savedList_data()
    {
        QTest::addColumn<QString>("file"); // the list file, relative to the current folder
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error"); // reported once; %1: the file's path
        const QByteArray two("012345\r\n6789AB\r\n"), none("<no file>");
        const QString list = QStringLiteral("Pass.txt");
        // clang-format off
        QTest::newRow("nothing listed") << list << "show close" << QByteArray() << "";
        QTest::newRow("each password followed by CR LF")
            << list << "show sort complete list complete list close" << two << "";
        QTest::newRow("the memo's own text")
            << list << "show type:note sort complete list close" << QByteArray("note\r\n012345") << "";
        QTest::newRow("listed after the last close, saved at the end")
            << list << "show sort complete list close complete list end" << two << "";
        QTest::newRow("never shown, not saved at the end") << list << "end" << none << "";
        QTest::newRow("failure at the end")
            << "missing/Pass.txt" << "show end" << none << cannotCreate("%1", "No such file or directory");
        // clang-format on
    }

    void savedList()
    {
        QFETCH(QString, file);
        QFETCH(QString, steps);
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        makeWindow(file);
        run(steps);
        QCOMPARE(readAll(m_app.path(file)), content);
        QCOMPARE(errors(), error.isEmpty() ? QStringList() : QStringList{error.arg(m_app.path(file))});
        QCOMPARE(m_app.dialogs->boxes.size(), errors().size());
        struct stat info {};
        if (::stat(qPrintable(m_app.path(file)), &info) == 0)
            QCOMPARE(info.st_mode & 0777, 0600u);
    }

    // A list that cannot be saved keeps the window open and leaves what the last save wrote as it
    // was, with no temporary file beside it; once the cause is gone, the next close saves it all.
    void failedSaveKeepsWindowAndPreviousList_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("error");
        // clang-format off
        QTest::newRow("missing folder") << "missing" << cannotCreate("%1", "No such file or directory");
        QTest::newRow("below a plain file") << "plain" << cannotCreate("%1", "Not a directory");
        QTest::newRow("list file replaced by a folder") << "folder" << cannotCreate("%1", "Filename refers to a directory");
        QTest::newRow("disk full") << "full" << "Stream write error.";
        // clang-format on
    }

    void failedSaveKeepsWindowAndPreviousList()
    {
        QFETCH(QString, cause);
        QFETCH(QString, error);
        const QString list = m_app.path("lists/Pass.txt");
        QDir dir(m_app.dir->path());
        QVERIFY(dir.mkdir(QStringLiteral("lists")));
        makeWindow(list);
        run(QStringLiteral("show sort complete list close show complete list"));
        const bool moved = cause == QLatin1String("missing") || cause == QLatin1String("plain");
        if (moved)
            QVERIFY(dir.rename(QStringLiteral("lists"), QStringLiteral("moved")));
        if (cause == QLatin1String("plain"))
            QVERIFY(QFile(m_app.path("lists")).open(QIODevice::WriteOnly));
        if (cause == QLatin1String("folder")) {
            QVERIFY(QFile::remove(list));
            QVERIFY(dir.mkpath(QStringLiteral("lists/Pass.txt/inside")));
        }
        {
            std::optional<testkit::DiskFull> full;
            if (cause == QLatin1String("full"))
                full.emplace(4);
            run(QStringLiteral("close"));
        }
        QCOMPARE(errors(), QStringList{QString(error).replace(QLatin1String("%1"), list)});
        QVERIFY(m_w->isVisible());
        const QDir kept(m_app.path(moved ? QStringLiteral("moved") : QStringLiteral("lists")));
        QCOMPARE(kept.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Pass.txt"});
        if (cause == QLatin1String("folder"))
            QCOMPARE(QDir(list).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"inside"});
        else
            QCOMPARE(readAll(kept.filePath(QStringLiteral("Pass.txt"))), QByteArray("012345\r\n"));

        QFile::remove(m_app.path("lists")); // the plain file in the folder's place
        QVERIFY(QDir(m_app.path("lists")).removeRecursively());
        QVERIFY(dir.mkdir(QStringLiteral("lists")));
        run(QStringLiteral("close"));
        QVERIFY(!m_w->isVisible());
        QCOMPARE(readAll(list), QByteArray("012345\r\n6789AB\r\n"));
        QCOMPARE(errors().size(), 1);
    }

    // Pass.txt is written without the user naming it, in a folder others may write to: a link
    // or a special file planted under that name is refused, and nothing is written through it.
    void plantedListFileRefused_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("link to a file of the user's") << "link" << "Is a symbolic link";
        QTest::newRow("dangling link") << "dangling" << "Is a symbolic link";
        QTest::newRow("named pipe") << "pipe" << "Not a regular file";
        // clang-format on
    }

    void plantedListFileRefused()
    {
        QFETCH(QString, planted);
        QFETCH(QString, reason);
        const QString list = m_app.path("Pass.txt"), victim = m_app.path("victim");
        if (planted == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(qPrintable(list), 0600), 0);
        } else {
            if (planted == QLatin1String("link"))
                QVERIFY(QFile(victim).open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(victim, list));
        }
        run(QStringLiteral("show sort complete list close"));
        QCOMPARE(errors(), QStringList{cannotCreate(list, qPrintable(reason))});
        QVERIFY(m_w->isVisible());
        QCOMPARE(readAll(victim), planted == QLatin1String("link") ? QByteArray() : QByteArray("<no file>"));
        QCOMPARE(QDir(m_app.dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 planted == QLatin1String("link") ? QStringList({"Pass.txt", "victim"})
                                                  : QStringList{"Pass.txt"});
    }

    // A box of another window holds nothing: characters keep coming and the listed password is
    // whole, not an empty line.
    void anotherWindowsBoxHoldsNothing()
    {
        SlowDialogs dialogs;
        makeWindow(QStringLiteral("Pass.txt"), &dialogs);
        dialogs.whileOpen = [this] { run(QStringLiteral("show sort complete list")); };
        dialogs.reportError(QStringLiteral("another window's error"));
        QCOMPARE(m_w->Memo1->toPlainText(), QStringLiteral("012345\n"));
        m_w.reset(); // before the dialogs it reports to
    }

    void removedCurrentFolder()
    {
        const QString canonical = QFileInfo(m_app.dir->path()).canonicalFilePath();
        QDir dir(m_app.dir->path());
        QVERIFY(dir.mkdir(QStringLiteral("gone")));
        QVERIFY(QDir::setCurrent(m_app.path("gone")));
        QVERIFY(dir.rmdir(QStringLiteral("gone")));
        run(QStringLiteral("show close"));
        QCOMPARE(errors(), QStringList{cannotCreate(canonical + QStringLiteral("/gone/Pass.txt"),
                                                    "No such file or directory")});
        QVERIFY(m_w->isVisible());
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void badLengthReportedOncePerText_data()
    {
        QTest::addColumn<QStringList>("lengths"); // the length box at each character tick
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("password");
        const QString bad = QStringLiteral("'%1' is not a valid integer value.");
        QTest::newRow("same text, later ticks")
            << QStringList{"abc", "abc", "abc"} << QStringList{bad.arg("abc")} << "";
        QTest::newRow("another bad text")
            << QStringList{"", "1,"} << QStringList{bad.arg(""), bad.arg("1,")} << "";
        QTest::newRow("corrected") << QStringList{"6 ", "6"} << QStringList{bad.arg("6 ")} << "0";
        QTest::newRow("bad again after a good tick")
            << QStringList{"x", "6", "x"} << QStringList{bad.arg("x"), bad.arg("x")} << "0";
    }

    void badLengthReportedOncePerText()
    {
        QFETCH(QStringList, lengths);
        QFETCH(QStringList, errors);
        QFETCH(QString, password);
        run(QStringLiteral("show clear"));
        for (const QString& length : lengths) {
            m_w->Le1->setText(length);
            ui::runGuarded(*m_app.dialogs, [this] { m_w->Timer1Timer(); }); // as the timer's connection does
        }
        QCOMPARE(this->errors(), errors);
        QCOMPARE(this->password(), password);
        QCOMPARE(timers(), QStringLiteral("on off"));
    }

    void badLengthWaitsForAnOpenBox()
    {
        SlowDialogs dialogs;
        makeWindow(m_app.path("missing/Pass.txt"), &dialogs);
        int ticksWhileOpen = 0;
        dialogs.whileOpen = [&] { ticksWhileOpen = m_clock.advance(200); };
        run(QStringLiteral("show"));
        m_w->Le1->setText(QStringLiteral("abc"));
        run(QStringLiteral("clear close")); // the character timer ticks under the save's box
        QCOMPARE(ticksWhileOpen, 20);
        const QString saveError = cannotCreate(m_app.path("missing/Pass.txt"), "No such file or directory");
        QCOMPARE(dialogs.errors(), QStringList{saveError});
        dialogs.whileOpen = nullptr;
        QCOMPARE(m_clock.advance(100), 10); // reported at the first tick after the box, once
        QCOMPARE(dialogs.errors(),
                 (QStringList{saveError, QStringLiteral("'abc' is not a valid integer value.")}));
        QVERIFY(password().isEmpty());
        QVERIFY(m_w->Timer1->isActive());
        m_w.reset(); // before the dialogs it reports to
    }

    void timersRunTheWindow()
    {
        // Eight list ticks a second, seven of them in 990 ms; between two of them the character
        // timer completes the next password (six ticks of 10 ms in 125 ms) and stops.
        run(QStringLiteral("show item2 sort"));
        QCOMPARE(m_clock.advance(990), 7 + 8 * 6);
        const QStringList lines = m_w->Memo1->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 8);
        QVERIFY(lines.back().isEmpty());
        for (const QString& line : lines.mid(0, lines.size() - 1))
            QCOMPARE(line.size(), 6);
        QCOMPARE(timers(), QStringLiteral("off on")); // the next password complete, not yet listed
        QCOMPARE(m_w->Edit1->text(), QString());
        run(QStringLiteral("stop"));
        QCOMPARE(m_clock.advance(1000), 0);
    }
};

QTEST_MAIN(TestSortWindow)
#include "tst_sortwindow.moc"
