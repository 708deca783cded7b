// The calculation tape's window and file, and the words items of the number boxes' context
// menus, on the program's windows with a recording Dialogs.

#include "app/Journal.h"
#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "loan/UnitKred.h"
#include "ui/WordsMenu.h"
#include "support/appwindows.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using testkit::byName;
using testkit::readAll;

class TestJournal : public QObject {
    Q_OBJECT

    testkit::AppWindows m_app;

    QString journalPath() const { return m_app.path(QStringLiteral("data/vilorka/journal.txt")); }
    TfmCalc* calc() { return m_app.windows.fmCalc.get(); }
    QString display() { return byName<QLineEdit>(calc(), "edtCalc")->text(); }
    testkit::FakeDialogs& dialogs() { return *m_app.dialogs; }
    // The windows made again with the tape file at path, which first gets bytes unless null.
    void restart(const QByteArray& bytes = {}, const QString& path = {})
    {
        const QString file = path.isEmpty() ? journalPath() : path;
        m_app.windows = app::Windows();
        if (!bytes.isNull()) {
            QDir().mkpath(QFileInfo(file).absolutePath());
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        m_app.windows = app::createWindows(dialogs(), m_app.settingsPath(), file);
    }
    void press(const QString& script)
    {
        for (const QString& word : script.split(u' ', Qt::SkipEmptyParts))
            if (word.front().isDigit())
                for (QChar digit : word)
                    testkit::click(calc(), qPrintable(QStringLiteral("bb") + digit));
            else
                testkit::click(calc(), qPrintable(QStringLiteral("bb") + word));
    }
    // Whether the tape's window exists yet (it is a top-level window of its own).
    static bool journalMade()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](const QWidget* w) { return w->objectName() == QLatin1String("fmJournal"); });
    }
    TfmJournal* shownJournal()
    {
        byName<QAction>(calc(), "mnuJournal")->trigger();
        TfmJournal* journal = &calc()->journal();
        return journal->isVisible() ? journal : nullptr;
    }
    QStringList listed(const TfmJournal* journal)
    {
        QStringList lines;
        for (int row = 0; row < journal->lstJournal->count(); ++row)
            lines << journal->lstJournal->item(row)->text();
        return lines;
    }

private slots:
    void init()
    {
        m_app.start();
        restart();
    }
    void cleanup()
    {
        for (QWidget* popup = QApplication::activePopupWidget(); popup;
             popup = QApplication::activePopupWidget())
            popup->close();
        m_app.stop();
    }

    // Start-up neither makes the window nor reads the file; the first result does both, and
    // the file is written once the event loop turns, with every line so far.
    void firstResultStartsTheTape()
    {
        calc()->show();
        QVERIFY(!journalMade());
        press(QStringLiteral("2 Plas 3"));
        QVERIFY(!journalMade());
        press(QStringLiteral("Res Sqr"));
        QVERIFY(journalMade());
        QVERIFY(!calc()->journal().isBuilt());
        QCOMPARE(readAll(journalPath()), QByteArray("<no file>"));
        QCoreApplication::processEvents();
        QCOMPARE(readAll(journalPath()), QByteArray("2 + 3 = 5\r\n5² = 25\r\n"));
    }

    // The tape survives a restart; a damaged file is read up to the damage without a word.
    void fileReadBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("own file") << QByteArray("1 + 1 = 2\r\n√4 = 2\r\n")
                                  << QStringList{"1 + 1 = 2", "√4 = 2"};
        QTest::newRow("damaged") << QByteArray("1 + 1 = 2\n\xff\xfe\0\n7 = 7\n", 20)
                                 << QStringList{"1 + 1 = 2"};
    }
    void fileReadBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        restart(bytes);
        press(QStringLiteral("9 Sqrt"));
        QCOMPARE(listed(shownJournal()), lines << QStringLiteral("√9 = 3"));
        QVERIFY(dialogs().boxes.isEmpty());
    }

    // A file that cannot be written is reported once; the keys go on working.
    void unwritableFileReportedOnce()
    {
        QFile blocker(m_app.path(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        restart({}, m_app.path(QStringLiteral("blocker/journal.txt")));
        press(QStringLiteral("4 Sqrt"));
        QCoreApplication::processEvents();
        press(QStringLiteral("Sqr"));
        QCoreApplication::processEvents();
        QCOMPARE(display(), QStringLiteral("4"));
        QCOMPARE(dialogs().errors().size(), 1);
        QVERIFY(dialogs().errors().front().startsWith(QStringLiteral("Cannot create file")));
        QCOMPARE(calc()->journal().lines().size(), std::size_t(2));
    }

    void copyClearAndSave()
    {
        press(QStringLiteral("2 Plas 3 Res Clear 7 Mod 2 Res"));
        TfmJournal* journal = shownJournal();
        QVERIFY(journal->isVisible());
        QCOMPARE(listed(journal), (QStringList{"2 + 3 = 5", "7 Mod 2 = 1"}));

        testkit::click(journal, "btnCopy"); // nothing selected: every line
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2 + 3 = 5\n7 Mod 2 = 1\n"));
        journal->lstJournal->item(1)->setSelected(true);
        QApplication::setActiveWindow(journal);
        QTest::keySequence(journal->lstJournal, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("7 Mod 2 = 1\n"));

        dialogs().fileAnswers.push_back(m_app.path(QStringLiteral("tape.txt")));
        testkit::click(journal, "btnSave");
        QCOMPARE(readAll(m_app.path(QStringLiteral("tape.txt"))), QByteArray("2 + 3 = 5\r\n7 Mod 2 = 1\r\n"));

        QCoreApplication::processEvents(); // the file holds both lines before the clear
        dialogs().confirmAnswers = {ui::Answer::No, ui::Answer::Yes};
        testkit::click(journal, "btnClear");
        QCOMPARE(journal->lstJournal->count(), 2);
        testkit::click(journal, "btnClear");
        QCOMPARE(journal->lstJournal->count(), 0);
        QCOMPARE(dialogs().boxes.last().text, QStringLiteral("Очистить журнал?"));
        QCoreApplication::processEvents();
        QCOMPARE(readAll(journalPath()), QByteArray());
    }

    // A double-clicked line's result replaces the display; a failed calculation has none.
    void doubleClickShowsTheResult()
    {
        press(QStringLiteral("2 Sqrt Clear 8 Divisor 0 Zap 0 Res 7"));
        QCOMPARE(dialogs().errors(), QStringList{"Floating point division by zero."});
        TfmJournal* journal = shownJournal();
        QCOMPARE(listed(journal),
                 (QStringList{"√2 = 1,4142135623731", "Ошибка: Floating point division by zero"}));
        const auto doubleClick = [&](int row) {
            QListWidget* list = journal->lstJournal;
            list->doItemsLayout();
            const QRect place = list->visualItemRect(list->item(row));
            // A double click as the window system delivers it: a click, then the second press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
        };
        doubleClick(1);
        QCOMPARE(display(), QStringLiteral("0,07"));
        doubleClick(0);
        QCOMPARE(display(), QStringLiteral("1,4142135623731"));
    }

    // The window's place and size come back after a restart, from the settings file.
    void placeRemembered()
    {
        TfmJournal* journal = shownJournal();
        journal->resize(420, 300);
        calc()->close();
        restart();
        journal = shownJournal();
        QCOMPARE(journal->size(), QSize(420, 300));
    }

    // The words items follow the box's own items in the display and the answer boxes.
    void wordsMenus_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::newRow("display") << QStringLiteral("fmCalc") << QStringLiteral("edtCalc");
        QTest::newRow("converter answer") << QStringLiteral("fmKonvert") << QStringLiteral("Edit2");
        QTest::newRow("written-off sum") << QStringLiteral("fmKred") << QStringLiteral("Edit5");
        QTest::newRow("months") << QStringLiteral("fmKred") << QStringLiteral("Edit9");
    }
    void wordsMenus()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        ui::ToolWindow* tool = window == QLatin1String("fmKonvert")
                                   ? static_cast<ui::ToolWindow*>(m_app.windows.fmKonvert.get())
                               : window == QLatin1String("fmKred") ? m_app.windows.fmKred.get()
                                                                   : nullptr;
        if (tool)
            tool->ensureBuilt();
        QWidget* owner = tool ? static_cast<QWidget*>(tool) : calc();
        auto* edit = byName<QLineEdit>(owner, qPrintable(box));
        edit->setText(QStringLiteral("1 001,5"));
        emit edit->customContextMenuRequested(QPoint(1, 1));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QVERIFY(menu->actions().size() > 3); // the box's own items come first
        byName<QAction>(menu, "mnuMoneyWords")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Одна тысяча один рубль 50 копеек"));
        byName<QAction>(menu, "mnuNumberWords")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("одна тысяча одна целая пять десятых"));
        menu->close();
    }

    // More than six decimals: the item says it rounds; a text that is no number is refused.
    void wordsMenuLimits()
    {
        QLineEdit* edit = byName<QLineEdit>(calc(), "edtCalc");
        edit->setText(QStringLiteral("0,1234567"));
        std::unique_ptr<QMenu> menu(ui::wordsMenu(edit, dialogs()));
        QCOMPARE(byName<QAction>(menu.get(), "mnuNumberWords")->text(), ui::kCopyNumberWordsRounded);
        byName<QAction>(menu.get(), "mnuNumberWords")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("ноль целых сто двадцать три тысячи четыреста пятьдесят семь миллионных"));
        edit->setText(QStringLiteral("Нельзя такой операнд"));
        menu.reset(ui::wordsMenu(edit, dialogs()));
        QCOMPARE(byName<QAction>(menu.get(), "mnuNumberWords")->text(), ui::kCopyNumberWords);
        byName<QAction>(menu.get(), "mnuMoneyWords")->trigger();
        QCOMPARE(dialogs().errors(),
                 QStringList{"«Нельзя такой операнд» не число: словами пишутся только числа."});
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
