// The password window under the offscreen platform. Buttons, arrows and speed items are
// clicked by objectName; the two timers' handlers are called directly, one tick at a time, and
// the draws are scripted (0, 1, 2, ... gives the passwords "012345", "6789AB", ...).

#include "password/UnitSort.h"
#include "numtext.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"
#include "ui/testkit.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

using testkit::byName;
using testkit::click;
using testkit::FakeDialogs;

namespace {

struct CountingSource {
    std::shared_ptr<std::uint32_t> next = std::make_shared<std::uint32_t>(0);
    std::uint32_t operator()(std::uint32_t bound) const { return (*next)++ % bound; }
};

// An error box that stays open for a while, with the event loop running under it the way a
// modal box's own loop runs: timer ticks keep arriving.
class SlowDialogs final : public FakeDialogs {
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

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// Ends the program's event loop, as closing the main window does.
void endProgram()
{
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

} // namespace

class TestSortWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<TfmSort> m_w;

    QString password() const { return QString::fromStdString(m_w->generator().currentPassword()); }
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Space-separated steps: show, close, sort, clear, stop (the three buttons), up, down (the
    // arrows), item0..item2 (the speed items), char (one character tick), complete (character
    // ticks until the timer stops), list (one list tick), type:TEXT (typed into the memo).
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
            else if (step == QLatin1String("stop"))
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
        numtext::setDecimalSeparator(',');
        m_dir = std::make_unique<QTemporaryDir>();
        m_oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_dialogs = std::make_unique<FakeDialogs>();
        m_w = std::make_unique<TfmSort>(*m_dialogs, QStringLiteral("Pass.txt"), CountingSource{});
        m_w->ensureBuilt(); // the controls, as the first show would make them
    }

    void cleanup()
    {
        m_w.reset();
        m_dialogs.reset();
        QDir::setCurrent(m_oldCurrent);
        m_dir.reset();
    }

    void layout()
    {
        QCOMPARE(m_w->windowTitle(), QStringLiteral("Пароль"));
        QCOMPARE(m_w->pos(), QPoint(193, 111));
        QCOMPARE(m_w->size(), ui::ToolWindow::clientSize(233, 379));
        QVERIFY(!(m_w->windowFlags() & Qt::WindowMaximizeButtonHint));
        const struct {
            const char* name;
            const char* caption;
        } controls[] = {{"Edit1", ""},
                        {"Le1", "Длинна"},
                        {"UpDown1", "Длинна"},
                        {"btnSort", "Генерация"},
                        {"btnClear", "Очистить"},
                        {"Button1", "Стоп"},
                        {"RadioGroup1", "Скорость"},
                        {"Memo1", ""}};
        QList<QRect> taken;
        for (const auto& c : controls) {
            auto* control = byName<QWidget>(m_w.get(), c.name);
            if (*c.caption)
                QCOMPARE(control->accessibleName(), QString::fromUtf8(c.caption));
            QVERIFY2(m_w->rect().contains(control->geometry()), c.name);
            for (const QRect& other : taken)
                QVERIFY2(!other.intersects(control->geometry()), c.name);
            taken << control->geometry();
        }
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
        QTest::newRow("created: idle") << ""
                                       << "off off" << 200 << ""
                                       << "";
        QTest::newRow("shown: 4 per second") << "show"
                                             << "off off" << 250 << ""
                                             << "";
        QTest::newRow("5 per second") << "show item1"
                                      << "off off" << 200 << ""
                                      << "";
        QTest::newRow("8 per second") << "show item2"
                                      << "off off" << 125 << ""
                                      << "";
        QTest::newRow("back to 4 per second") << "show item2 item0"
                                              << "off off" << 250 << ""
                                              << "";
        QTest::newRow("shown again: 4 per second") << "show item2 close show"
                                                   << "off off" << 250 << ""
                                                   << "";
        QTest::newRow("Очистить: building") << "show clear"
                                            << "on off" << 250 << ""
                                            << "";
        QTest::newRow("building completes") << "show clear complete"
                                            << "off off" << 250 << ""
                                            << "";
        QTest::newRow("arrow: building") << "show up"
                                         << "on off" << 250 << ""
                                         << "";
        QTest::newRow("Генерация: listing") << "show sort"
                                            << "on on" << 250 << ""
                                            << "";
        QTest::newRow("list tick") << "show sort complete list"
                                   << "on on" << 250 << ""
                                   << "012345\n";
        QTest::newRow("list tick takes an incomplete password") << "show sort char char list"
                                                                << "on on" << 250 << ""
                                                                << "01\n";
        QTest::newRow("Очистить while listing") << "show sort char clear complete list"
                                                << "on on" << 250 << ""
                                                << "123456\n";
        QTest::newRow("Стоп: stopped") << "show sort stop"
                                       << "on off" << 250 << ""
                                       << "";
        QTest::newRow("stopped completes") << "show sort complete list stop complete"
                                           << "off off" << 250 << ""
                                           << "012345\n";
        QTest::newRow("Генерация shows the password completed since Стоп")
            << "show sort complete list stop complete sort"
            << "on on" << 250 << "6789AB"
            << "012345\n";
        QTest::newRow("listed password is the one shown")
            << "show sort complete list stop complete sort complete list"
            << "on on" << 250 << ""
            << "012345\n6789AB\n";
        QTest::newRow("closing stops neither timer") << "show sort close"
                                                     << "on on" << 250 << ""
                                                     << "";
        QTest::newRow("listing goes on while hidden") << "show item2 sort close complete list"
                                                      << "on on" << 125 << ""
                                                      << "012345\n";
        QTest::newRow("user's text without a final break")
            << "show type:note sort complete list complete list"
            << "on on" << 250 << ""
            << "note\n012345\n6789AB";
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
        QCOMPARE(m_dialogs->boxes.size(), 0);
    }

    void arrows_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("up from 6") << "6"
                                   << "up"
                                   << "7" << true;
        QTest::newRow("down from 10") << "10"
                                      << "down"
                                      << "9" << true;
        QTest::newRow("down at 0") << "0"
                                   << "down"
                                   << "0" << false;
        QTest::newRow("up at 10") << "10"
                                  << "up"
                                  << "10" << false;
    }

    void arrows()
    {
        QFETCH(QString, length);
        QFETCH(QString, arrow);
        QFETCH(QString, shown);
        QFETCH(bool, cleared);
        run(QStringLiteral("show clear complete")); // a complete password, timers off
        m_w->Le1->setText(length);
        const QString before = password();
        run(arrow);
        QCOMPARE(m_w->Le1->text(), shown);
        QCOMPARE(password(), cleared ? QString() : before);
        QCOMPARE(timers(), cleared ? QStringLiteral("on off") : QStringLiteral("off off"));
    }

    void runningTimerRestartsOnlyWhenItsIntervalChanges()
    {
        // Coarse timers may move an expiry by 5 % of the interval, so the bounds keep that apart.
        run(QStringLiteral("show sort"));
        QThread::msleep(100); // no events: the timer cannot fire meanwhile
        run(QStringLiteral("sort"));
        const int afterSort = m_w->Timer2->remainingTime();
        QVERIFY2(afterSort < 200, qPrintable(QStringLiteral("switched on again: %1 ms left").arg(afterSort)));
        run(QStringLiteral("item1"));
        const int afterItem = m_w->Timer2->remainingTime();
        QVERIFY2(afterItem > 175, qPrintable(QStringLiteral("new interval: %1 ms left").arg(afterItem)));
    }

    void listFileContent_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("nothing listed") << "show close" << QByteArray();
        QTest::newRow("each password followed by CR LF")
            << "show sort complete list complete list close" << QByteArray("012345\r\n6789AB\r\n");
        QTest::newRow("the memo's own text")
            << "show type:note sort complete list close" << QByteArray("note\r\n012345");
        QTest::newRow("every close rewrites the whole list")
            << "show sort complete list close show complete list close" << QByteArray("012345\r\n6789AB\r\n");
    }

    void listFileContent()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, content);
        run(steps);
        QVERIFY(!m_w->isVisible());
        QCOMPARE(readAll(path("Pass.txt")), content);
        struct stat info {};
        QCOMPARE(::stat(qPrintable(path("Pass.txt")), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(m_dialogs->boxes.size(), 0);
    }

    void unwritableFolderKeepsWindowOpen_data()
    {
        QTest::addColumn<bool>("plainFile"); // the folder replaced by a plain file, or missing
        QTest::addColumn<QString>("description");
        QTest::newRow("missing folder") << false << "No such file or directory";
        QTest::newRow("below a plain file") << true << "Not a directory";
    }

    void unwritableFolderKeepsWindowOpen()
    {
        QFETCH(bool, plainFile);
        QFETCH(QString, description);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("lists")));
        m_w = std::make_unique<TfmSort>(*m_dialogs, path("lists/Pass.txt"), CountingSource{});
        run(QStringLiteral("show sort complete list close"));
        QVERIFY(QDir(m_dir->path()).rename(QStringLiteral("lists"), QStringLiteral("moved")));
        if (plainFile) {
            QFile plain(path("lists"));
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        run(QStringLiteral("show complete list close"));
        QCOMPARE(
            m_dialogs->errors(),
            QStringList{
                QStringLiteral("Cannot create file \"%1\". %2.").arg(path("lists/Pass.txt"), description)});
        QVERIFY(m_w->isVisible());
        QCOMPARE(readAll(path("moved/Pass.txt")), QByteArray("012345\r\n"));
        // A later close tries again.
        QVERIFY(QFile::remove(path("lists")) || !plainFile);
        QVERIFY(QDir(m_dir->path()).rename(QStringLiteral("moved"), QStringLiteral("lists")));
        run(QStringLiteral("close"));
        QVERIFY(!m_w->isVisible());
        QCOMPARE(readAll(path("lists/Pass.txt")), QByteArray("012345\r\n6789AB\r\n"));
        QCOMPARE(m_dialogs->errors().size(), 1);
    }

    // A list that cannot be saved leaves what the last save wrote as it was, leaves no temporary
    // file behind, and keeps the window open.
    void failedSaveKeepsThePreviousList_data()
    {
        QTest::addColumn<bool>("folder"); // the list file replaced by a folder, or the disk full
        QTest::addColumn<QString>("error");
        QTest::newRow("list file replaced by a folder")
            << true << "Cannot create file \"%1\". Filename refers to a directory.";
        QTest::newRow("disk full") << false << "Stream write error.";
    }

    void failedSaveKeepsThePreviousList()
    {
        QFETCH(bool, folder);
        QFETCH(QString, error);
        run(QStringLiteral("show sort complete list close show complete list"));
        if (folder) {
            QVERIFY(QFile::remove(path("Pass.txt")));
            QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Pass.txt/inside")));
        }
        {
            std::optional<testkit::DiskFull> full;
            if (!folder)
                full.emplace(4);
            run(QStringLiteral("close"));
        }
        QCOMPARE(m_dialogs->errors(), QStringList{error.arg(path("Pass.txt"))});
        QVERIFY(m_w->isVisible());
        if (folder)
            QCOMPARE(QDir(path("Pass.txt")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                     QStringList{"inside"});
        else
            QCOMPARE(readAll(path("Pass.txt")), QByteArray("012345\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"Pass.txt"});
    }

    void removedCurrentFolder()
    {
        const QString canonical = QFileInfo(m_dir->path()).canonicalFilePath();
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("gone")));
        QVERIFY(QDir::setCurrent(path("gone")));
        QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("gone")));
        run(QStringLiteral("show close"));
        QCOMPARE(m_dialogs->errors(),
                 QStringList{QStringLiteral("Cannot create file \"%1\". No such file or directory.")
                                 .arg(canonical + QStringLiteral("/gone/Pass.txt"))});
        QVERIFY(m_w->isVisible());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void savedWhenTheProgramEnds_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("listed after the last close")
            << "show sort complete list close complete list" << QByteArray("012345\r\n6789AB\r\n");
        QTest::newRow("still open") << "show sort complete list" << QByteArray("012345\r\n");
        QTest::newRow("never shown") << "" << QByteArray("<no file>");
    }

    void savedWhenTheProgramEnds()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, content);
        run(steps);
        run(QStringLiteral("stop")); // no list tick while the loop ends
        endProgram();
        QCOMPARE(readAll(path("Pass.txt")), content);
        QCOMPARE(m_dialogs->boxes.size(), 0);
    }

    void failedSaveAtTheEndIsReportedOnce()
    {
        m_w = std::make_unique<TfmSort>(*m_dialogs, path("missing/Pass.txt"), CountingSource{});
        run(QStringLiteral("show"));
        endProgram();
        QCOMPARE(m_dialogs->errors(),
                 QStringList{QStringLiteral("Cannot create file \"%1\". No such file or directory.")
                                 .arg(path("missing/Pass.txt"))});
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
            ui::runGuarded(*m_dialogs, [this] { m_w->Timer1Timer(); }); // as the timer's connection does
        }
        QCOMPARE(m_dialogs->errors(), errors);
        QCOMPARE(this->password(), password);
        QCOMPARE(timers(), QStringLiteral("on off"));
    }

    void badLengthWaitsForAnOpenBox()
    {
        SlowDialogs dialogs;
        m_w = std::make_unique<TfmSort>(dialogs, path("missing/Pass.txt"), CountingSource{});
        m_w->ensureBuilt();
        QSignalSpy ticks(m_w->Timer1, &QTimer::timeout);
        int ticksWhileOpen = 0;
        dialogs.whileOpen = [&] {
            const auto before = ticks.count();
            QTest::qWait(200);
            ticksWhileOpen = static_cast<int>(ticks.count() - before);
        };
        run(QStringLiteral("show"));
        m_w->Le1->setText(QStringLiteral("abc"));
        run(QStringLiteral("clear close")); // the character timer runs for real under the save's box
        QVERIFY2(ticksWhileOpen >= 2, "the character timer ticked under the box");
        const QString saveError = QStringLiteral("Cannot create file \"%1\". No such file or directory.")
                                      .arg(path("missing/Pass.txt"));
        QCOMPARE(dialogs.errors(), QStringList{saveError});
        dialogs.whileOpen = nullptr;
        QTRY_COMPARE(dialogs.errors().size(), 2); // reported after the box, once
        QTest::qWait(100);
        QCOMPARE(dialogs.errors(),
                 (QStringList{saveError, QStringLiteral("'abc' is not a valid integer value.")}));
        QVERIFY(password().isEmpty());
        QVERIFY(m_w->Timer1->isActive());
    }

    void listTimerTicksForReal()
    {
        run(QStringLiteral("show item2 sort"));
        QTRY_VERIFY_WITH_TIMEOUT(m_w->Memo1->document()->blockCount() > 3, 10000);
        const QStringList lines = m_w->Memo1->toPlainText().split(u'\n');
        QVERIFY(lines.back().isEmpty());
        for (const QString& line : lines.mid(0, lines.size() - 1))
            QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-Za-z]{1,6}$")).match(line).hasMatch(),
                     qPrintable(line));
        QVERIFY(m_w->Edit1->text().isEmpty());
    }
};

QTEST_MAIN(TestSortWindow)
#include "tst_sortwindow.moc"
