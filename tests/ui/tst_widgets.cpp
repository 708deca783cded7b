// The shared controls and the text-file writer: radio group selection and its signal, the
// up-down arrows' range and text, and saving whole, atomically, with CR LF and the window's
// error messages.

#include "ui/TextFile.h"
#include "ui/Widgets.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void radioGroupSelection()
    {
        QWidget parent;
        auto* group =
            ui::radioGroup(&parent, "rg", QStringLiteral("Скорость"),
                           {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {0, 0, 150, 90});
        QSignalSpy clicked(group, &ui::RadioGroup::clicked);
        QCOMPARE(group->itemIndex(), -1);
        group->setItemIndex(1); // from code: fires like a user's pick
        QCOMPARE(clicked.count(), 1);
        group->setItemIndex(1); // no change, no signal
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(group->item(2), Qt::LeftButton, {}, QPoint(5, group->item(2)->height() / 2));
        QCOMPARE(group->itemIndex(), 2);
        QCOMPARE(clicked.count(), 2);
        group->setItemIndex(-1);
        QCOMPARE(group->itemIndex(), -1);
        QCOMPARE(group->item(0)->objectName(), QStringLiteral("rg0"));
    }

    void upDownSteps_data()
    {
        QTest::addColumn<QString>("typed"); // the box's text before the step
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("fired");
        QTest::newRow("up from the position") << "" << 1 << "7" << 1;
        QTest::newRow("down from a typed number") << "3" << -1 << "2" << 1;
        QTest::newRow("past the top changes nothing") << "10" << 1 << "10" << 0;
        QTest::newRow("past the bottom changes nothing") << "0" << -1 << "0" << 0;
        QTest::newRow("typed text out of range: from the position") << "50" << 1 << "7" << 1;
        QTest::newRow("typed letters: from the position") << "ab" << -1 << "5" << 1;
    }

    void upDownSteps()
    {
        QFETCH(QString, typed);
        QFETCH(int, delta);
        QFETCH(QString, shown);
        QFETCH(int, fired);
        QWidget parent;
        auto* edit = new QLineEdit(&parent);
        auto* arrows = ui::upDown(&parent, "UpDown1", edit, 0, 10, 6, {40, 0, 16, 21});
        edit->setText(typed.isEmpty() ? QStringLiteral("6") : typed);
        QSignalSpy clicked(arrows, &ui::UpDown::clicked);
        QTest::keyClick(edit, delta > 0 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(clicked.count(), fired);
    }

    void textFileWrittenWithCrLf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Pass.txt"));
        ui::writeTextFile(path, QStringLiteral("ab1\nЖ2\n"), ui::FileAccess::OwnerOnly);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("ab1\r\n\xd0\x96"
                                            "2\r\n"));
        QCOMPARE(file.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup), 0);
    }

    void textFileErrors_data()
    {
        QTest::addColumn<QString>("relative"); // file path below the temporary folder
        QTest::addColumn<QString>("message");  // %1: the absolute path
        QTest::newRow("folder missing") << "missing/a.txt"
                                        << "Cannot create file \"%1\". No such file or directory";
        QTest::newRow("below a plain file") << "plain/a.txt"
                                            << "Cannot create file \"%1\". Not a directory";
        QTest::newRow("name of a folder") << "folder"
                                          << "Cannot create file \"%1\". Filename refers to a directory";
    }

    void textFileErrors()
    {
        QFETCH(QString, relative);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(relative);
        try {
            ui::writeTextFile(path, QStringLiteral("x"));
            QFAIL("no error");
        } catch (const ui::FileError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message.arg(path));
        }
    }

    void failedSaveKeepsPreviousFile()
    {
#ifdef Q_OS_UNIX
        // A file-size limit makes writes fail the way a full disk does.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.txt"));
        ui::writeTextFile(path, QStringLiteral("old\n"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool thrown = false;
        try {
            ui::writeTextFile(path, QString(4096, u'x'));
        } catch (const ui::FileError& e) {
            thrown = QString::fromUtf8(e.what()) == QLatin1String(ui::kStreamWriteError);
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(thrown);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.txt")});
#endif
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
