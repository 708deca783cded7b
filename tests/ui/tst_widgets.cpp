// The shared controls and the text-file writer: radio group selection and its signal, the
// up-down arrows' range and text, and saving whole, atomically, with CR LF and the window's
// error messages. Where a window with a saved place goes when its screen is gone. Which font
// family a window's font names.

#include "ui/Placement.h"
#include "ui/TextFile.h"
#include "ui/Widgets.h"
#include "support/testkit.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

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

    // Each item lies inside the frame, below the line the caption sits on, in the window font:
    // the password window's speed items, the loan window's timing items.
    void radioItemsInsideTheFrame_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("items");
        QTest::newRow("speed") << QRect(8, 120, 211, 81) << 3;
        QTest::newRow("timing") << QRect(80, 232, 185, 81) << 2;
    }

    void radioItemsInsideTheFrame()
    {
        QFETCH(QRect, rect);
        QFETCH(int, items);
        QWidget parent;
        parent.setFont(ui::windowFont());
        QStringList texts;
        for (int i = 0; i < items; ++i)
            texts << QStringLiteral("%1 пароля в секунду").arg(i);
        auto* group = ui::radioGroup(&parent, "rg", QStringLiteral("Скорость"), texts, rect);
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect inside =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, group);
        for (int i = 0; i < items; ++i) {
            const QRect item = group->item(i)->geometry();
            QVERIFY2(
                inside.contains(QRect(item.topLeft(), group->item(i)->sizeHint().boundedTo(item.size()))),
                qPrintable(QStringLiteral("item %1 at %2,%3").arg(i).arg(item.y()).arg(item.height())));
        }
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

    // Two screens side by side: the first with a 30-pixel panel at its foot, the second
    // larger, to its right. The window's frame is 376 x 297 with a 25-pixel title bar.
    void reachablePlace_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("place");
        const QSize window(376, 297);
        // clang-format off
        QTest::newRow("top-left corner") << QPoint(0, 0) << window << QPoint(0, 0);
        QTest::newRow("on the second screen") << QPoint(2000, 500) << window << QPoint(2000, 500);
        QTest::newRow("across both screens") << QPoint(1100, 100) << window << QPoint(1100, 100);
        QTest::newRow("only the title bar on the screen") << QPoint(100, 960) << window << QPoint(100, 960);
        QTest::newRow("title bar one pixel above") << QPoint(100, -1) << window << QPoint(100, 0);
        QTest::newRow("title bar behind the panel") << QPoint(100, 980) << window << QPoint(100, 697);
        QTest::newRow("partly off the right") << QPoint(3100, 100) << window << QPoint(2824, 100);
        QTest::newRow("detached screen to the right") << QPoint(5000, 300) << window << QPoint(2824, 300);
        QTest::newRow("detached screen below left") << QPoint(-2000, 2000) << window << QPoint(0, 697);
        QTest::newRow("larger than the screen") << QPoint(-50, -50) << QSize(1400, 1200) << QPoint(0, 0);
        // clang-format on
    }

    void reachablePlace()
    {
        QFETCH(QPoint, saved);
        QFETCH(QSize, size);
        QFETCH(QPoint, place);
        const QList<QRect> screens{{0, 0, 1280, 994}, {1280, 0, 1920, 1080}};
        QCOMPARE(ui::reachablePlace(QRect(saved, size), 25, screens), place);
    }

    void reachablePlaceWithoutScreens()
    {
        QCOMPARE(ui::reachablePlace(QRect(-500, 9000, 300, 200), 25, {}), QPoint(-500, 9000));
    }

    // A font names the first wanted family that is installed, alone, so no fallbacks are asked
    // for as it loads; with none installed it keeps them all for the font matcher to resolve.
    void preferredFamily_data()
    {
        QTest::addColumn<QStringList>("wanted");
        QTest::addColumn<QStringList>("chosen");
        const QStringList installed = QFontDatabase::families();
        if (installed.size() < 2)
            QSKIP("needs two installed font families");
        const QString missing = QStringLiteral("No Such Family 7");
        QTest::newRow("first installed")
            << QStringList{missing, installed[1], installed[0]} << QStringList{installed[1]};
        QTest::newRow("none installed") << QStringList{missing, missing + QStringLiteral("b")}
                                        << QStringList{missing, missing + QStringLiteral("b")};
    }

    void preferredFamily()
    {
        QFETCH(QStringList, wanted);
        QFETCH(QStringList, chosen);
        QCOMPARE(ui::preferredFamily(wanted), chosen);
    }

    // A file written before holds CR LF line ends and UTF-8, readable by its owner alone. A file
    // that cannot be written is reported with the window's message, and no file is changed or
    // left behind.
    void textFileErrors_data()
    {
        QTest::addColumn<QString>("relative"); // file path below the temporary folder
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("message"); // %1: the absolute path
        // clang-format off
        QTest::newRow("folder missing") << "missing/a.txt" << false
                                        << "Cannot create file \"%1\". No such file or directory";
        QTest::newRow("below a plain file") << "plain/a.txt" << false << "Cannot create file \"%1\". Not a directory";
        QTest::newRow("name of a folder") << "folder" << false
                                          << "Cannot create file \"%1\". Filename refers to a directory";
        QTest::newRow("disk full") << "plain" << true << ui::kStreamWriteError;
        // clang-format on
    }

    void textFileErrors()
    {
        QFETCH(QString, relative);
        QFETCH(bool, diskFull);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("plain")));
        ui::writeTextFile(file.fileName(), QStringLiteral("ab1\nЖ2\n"), ui::FileAccess::OwnerOnly);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(relative);
        try {
            std::optional<testkit::DiskFull> full;
            if (diskFull)
                full.emplace(1024);
            ui::writeTextFile(path, QString(4096, u'x'));
            QFAIL("no error");
        } catch (const ui::FileError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), diskFull ? message : message.arg(path));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("ab1\r\n\xd0\x96"
                                            "2\r\n"));
        QCOMPARE(file.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
