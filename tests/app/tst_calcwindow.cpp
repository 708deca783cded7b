// The main window under the offscreen platform: layout, keys clicked by name, the typing
// filter, menus, the error box and the settings file.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "numtext.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "ui/testkit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using testkit::byName;
using testkit::click;
using testkit::FakeDialogs;

class TestCalcWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDialogs> m_dialogs;
    app::Windows m_windows;
    QString m_oldCurrent;

    TfmCalc* calc() { return m_windows.fmCalc.get(); }
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("config/CalcConf.ini")); }
    QString display() { return byName<QLineEdit>(calc(), "edtCalc")->text(); }
    void restart()
    {
        m_windows = app::Windows();
        m_windows = app::createWindows(*m_dialogs, settingsPath());
    }
    void keys(const QStringList& names)
    {
        for (const QString& name : names)
            click(calc(), name.toLatin1().constData());
    }

private slots:
    void init()
    {
        numtext::setDecimalSeparator(',');
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        m_dialogs = std::make_unique<FakeDialogs>();
        m_windows = app::createWindows(*m_dialogs, settingsPath());
    }

    void cleanup()
    {
        m_windows = app::Windows();
        QDir::setCurrent(m_oldCurrent);
        m_dialogs.reset();
        m_dir.reset();
    }

    void firstRunLayout()
    {
        TfmCalc* w = calc();
        QCOMPARE(w->windowTitle(), QStringLiteral("Вилорка"));
        QCOMPARE(w->centralWidget()->size(), QSize(370, 251));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->pos(), QPoint(0, 0));
        QCOMPARE(TfmCalc::colorToValue(w->windowColor()), 500000);
        QCOMPARE(w->windowColor(), QColor(32, 161, 7));
        QCOMPARE(display(), QStringLiteral("0"));
        QCOMPARE(byName<QLineEdit>(w, "edtCalc")->geometry(), QRect(0, 0, 369, 24));
        QCOMPARE(byName<QGroupBox>(w, "rgGrRad")->geometry(), QRect(0, 24, 201, 33));
        QCOMPARE(byName<QGroupBox>(w, "rgArcHyp")->geometry(), QRect(208, 24, 161, 33));
        QCOMPARE(byName<QLabel>(w, "Panel1")->geometry(), QRect(288, 72, 33, 25));
        QCOMPARE(byName<QLabel>(w, "Panel1")->text(), QString());
        QCOMPARE(byName<QStatusBar>(w, "StatusBar1")->geometry(), QRect(0, 232, 370, 19));
        QCOMPARE(w->findChildren<ui::PictureButton*>().size(), 43);

        const auto items = [](QGroupBox* box) {
            QStringList texts;
            for (const QRadioButton* b : box->findChildren<QRadioButton*>())
                texts << (b->isChecked() ? u'*' + b->text() : b->text());
            return texts;
        };
        QCOMPARE(
            items(byName<QGroupBox>(w, "rgGrRad")),
            (QStringList{QStringLiteral("*Градусы"), QStringLiteral("Радианы"), QStringLiteral("Грады")}));
        QCOMPARE(items(byName<QGroupBox>(w, "rgArcHyp")),
                 (QStringList{QStringLiteral("Arc"), QStringLiteral("Hyp"), QStringLiteral("*None")}));
    }

    void keyLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("hint");
        const QColor none;
        QTest::newRow("first key") << "bb7"
                                   << "7" << QPoint(8, 72) << none << "";
        QTest::newRow("plus, blue") << "bbPlas"
                                    << "+" << QPoint(128, 72) << QColor(0, 0, 255) << "";
        QTest::newRow("minus is two dashes") << "bbMinus"
                                             << "--" << QPoint(128, 104) << QColor(0, 0, 255) << "";
        QTest::newRow("square root hint")
            << "bbSqrt"
            << "Sqrt" << QPoint(168, 72) << QColor(0, 0, 255) << "Квадратный корень";
        QTest::newRow("last column") << "bbMod"
                                     << "Mod" << QPoint(328, 104) << QColor(128, 128, 0) << "";
        QTest::newRow("sign key") << "bbPlmin"
                                  << "+\\-" << QPoint(48, 168) << QColor(0, 0, 255) << "";
        QTest::newRow("clear is Cyrillic") << "bbClear"
                                           << "С" << QPoint(208, 168) << QColor(255, 0, 0) << "";
        QTest::newRow("trunc, green")
            << "bbTrunc"
            << "Trunc" << QPoint(248, 168) << QColor(0, 128, 0) << "Отброс дробной части";
        QTest::newRow("equals, maroon") << "bbRes"
                                        << "=" << QPoint(248, 200) << QColor(128, 0, 0) << "";
        QTest::newRow("cotangent, navy") << "bbCot"
                                         << "Cot" << QPoint(288, 200) << QColor(0, 0, 128) << "Котангенс";
        QTest::newRow("div hint") << "bbDiv"
                                  << "Div" << QPoint(328, 200) << QColor(128, 128, 0) << "Отброс целой части";
        QTest::newRow("memory recall") << "bbMr"
                                       << "MR" << QPoint(88, 200) << QColor(255, 0, 0) << "";
    }

    void keyLayout()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QPoint, topLeft);
        QFETCH(QColor, color);
        QFETCH(QString, hint);
        auto* key = byName<ui::PictureButton>(calc(), name.toLatin1().constData());
        QCOMPARE(key->text(), caption);
        QCOMPARE(key->accessibleName(), caption);
        QCOMPARE(key->geometry(), QRect(topLeft, QSize(33, 25)));
        QCOMPARE(key->toolTip(), hint);
        if (color.isValid())
            QCOMPARE(key->palette().color(QPalette::ButtonText), color);
        QCOMPARE(key->cursor().shape(), Qt::PointingHandCursor);
    }

    void clickedSequences_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2 + 3 =") << QStringList{"bb2", "bbPlas", "bb3", "bbRes"} << "5";
        QTest::newRow("repeat equals")
            << QStringList{"bb2", "bbPlas", "bb3", "bbRes", "bbRes", "bbRes"} << "9";
        QTest::newRow("operator replaces pending")
            << QStringList{"bb2", "bbPlas", "bb3", "bbMultyply", "bb4", "bbRes"} << "12";
        QTest::newRow("comma and sign") << QStringList{"bb1", "bbZap", "bb5", "bbPlmin"} << "-1,5";
        QTest::newRow("pi times two")
            << QStringList{"bb2", "bbMultyply", "bbPi", "bbRes"} << "6,28318530717958";
        QTest::newRow("clear") << QStringList{"bb2", "bbPlas", "bbClear"} << "0";
    }

    void clickedSequences()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, shown);
        this->keys(keys);
        QCOMPARE(display(), shown);
        QCOMPARE(m_dialogs->boxes.size(), 0);
    }

    void functionKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("angle");   // radio item of rgGrRad to select first
        QTest::addColumn<QString>("variant"); // radio item of rgArcHyp to select first
        QTest::addColumn<QString>("shown");
        QTest::newRow("square root") << QStringList{"bb2", "bbSqrt"} << ""
                                     << ""
                                     << "1,4142135623731";
        QTest::newRow("sine of 30 degrees") << QStringList{"bb3", "bb0", "bbSin"} << ""
                                            << ""
                                            << "0,5";
        QTest::newRow("sine of 100 grads") << QStringList{"bb1", "bb0", "bb0", "bbSin"} << "Грады"
                                           << ""
                                           << "1";
        QTest::newRow("arc cosine of 0 in radians") << QStringList{"bbCos"} << "Радианы"
                                                    << "Arc"
                                                    << "1,5707963267949";
        QTest::newRow("arc sine of 1 in degrees") << QStringList{"bb1", "bbSin"} << "Градусы"
                                                  << "Arc"
                                                  << "90";
        QTest::newRow("hyperbolic cosine of 0") << QStringList{"bbCos"} << ""
                                                << "Hyp"
                                                << "1";
        QTest::newRow("power") << QStringList{"bb2", "bbXy", "bb1", "bb0", "bbRes"} << ""
                               << ""
                               << "1024";
        QTest::newRow("factorial") << QStringList{"bb5", "bbFact"} << ""
                                   << ""
                                   << "120";
        QTest::newRow("logarithm of a negative") << QStringList{"bb5", "bbPlmin", "bbLog"} << ""
                                                 << ""
                                                 << "Нельзя такой операнд";
        QTest::newRow("integer and") << QStringList{"bb1", "bb2", "bbAnd", "bb1", "bb0", "bbRes"} << ""
                                     << ""
                                     << "8";
        QTest::newRow("not") << QStringList{"bb5", "bbNot"} << ""
                             << ""
                             << "-6";
        QTest::newRow("memory add and recall")
            << QStringList{"bb5", "bbMS", "bbClear", "bb3", "bbMpl", "bbMr"} << ""
            << ""
            << "8";
    }

    void functionKeys()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, angle);
        QFETCH(QString, variant);
        QFETCH(QString, shown);
        for (const QString& item : {angle, variant})
            if (!item.isEmpty())
                for (QRadioButton* radio : calc()->findChildren<QRadioButton*>())
                    if (radio->text() == item)
                        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
        this->keys(keys);
        QCOMPARE(display(), shown);
        QCOMPARE(m_dialogs->errors(), QStringList());
    }

    void memoryIndicator()
    {
        auto* panel = byName<QLabel>(calc(), "Panel1");
        keys({"bb4", "bbMS"});
        QCOMPARE(panel->text(), QStringLiteral("M"));
        keys({"bbMC"});
        QCOMPARE(panel->text(), QString());
        keys({"bbMpl"}); // empty memory cannot be read
        QCOMPARE(m_dialogs->errors(), QStringList{QStringLiteral("'' is not a valid floating point value.")});
    }

    void divisionByZeroShowsOneErrorBox()
    {
        keys({"bb8", "bbDivisor", "bb0", "bbZap", "bb0", "bbRes"});
        QCOMPARE(m_dialogs->errors(), QStringList{QStringLiteral("Floating point division by zero.")});
        QCOMPARE(display(), QStringLiteral("0,0"));
        // The program goes on: the next key works.
        keys({"bbClear", "bb4"});
        QCOMPARE(display(), QStringLiteral("4"));
    }

    void conversionErrorQuotesText()
    {
        byName<QLineEdit>(calc(), "edtCalc")->setText(QStringLiteral("1,5,2"));
        click(calc(), "bbPlas");
        QCOMPARE(m_dialogs->errors(),
                 QStringList{QStringLiteral("'1,5,2' is not a valid floating point value.")});
        QCOMPARE(display(), QStringLiteral("1,5,2"));
        QCOMPARE(calc()->engine().pendingOp(), '+');
    }

    void typingFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits append at the caret") << "12"
                                                    << "012";
        QTest::newRow("letters, comma, signs ignored") << "a,-+=5"
                                                       << "05";
        QTest::newRow("blank and dot ignored") << " .7"
                                               << "07";
    }

    void typingFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto* edit = byName<QLineEdit>(calc(), "edtCalc");
        edit->end(false);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    void typingEditingKeys()
    {
        auto* edit = byName<QLineEdit>(calc(), "edtCalc");
        edit->setText(QStringLiteral("1234"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("123"));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("23"));
        QTest::keyClick(edit, Qt::Key_Right);
        QTest::keyClick(edit, Qt::Key_9);
        QCOMPARE(edit->text(), QStringLiteral("293"));
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("293"));
    }

    void toolWindowsFromMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Elo, yes") << "mnuElo" << int(ui::Answer::Yes) << "fmElo"
                                  << "Расчёт Эло";
        QTest::newRow("Elo, no") << "mnuElo" << int(ui::Answer::No) << "fmNewElo"
                                 << "Расчёт начального Эло";
        QTest::newRow("plot") << "mnuGraph" << -1 << "fmGraph"
                              << "График";
        QTest::newRow("password") << "mnuSort" << -1 << "fmSort"
                                  << "Пароль";
        QTest::newRow("loan") << "N3" << -1 << "fmKred"
                              << "Кредит";
        QTest::newRow("converter") << "N4" << -1 << "fmKonvert"
                                   << "Конвертер измерительных величин";
    }

    void toolWindowsFromMenu()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        if (answer >= 0)
            m_dialogs->confirmAnswers.push_back(static_cast<ui::Answer>(answer));
        byName<QAction>(calc(), action.toLatin1().constData())->trigger();

        QList<ui::ToolWindow*> shown;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* tool = qobject_cast<ui::ToolWindow*>(top); tool && tool->isVisible())
                shown << tool;
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front()->objectName(), window);
        QCOMPARE(shown.front()->windowTitle(), caption);
        QVERIFY(!(shown.front()->windowFlags() & Qt::WindowMaximizeButtonHint));
        if (answer >= 0)
            QCOMPARE(m_dialogs->boxes.front().text, QStringLiteral("У вас есть рейтинг?"));

        // Closing only hides the window; the menu shows it again.
        shown.front()->close();
        QVERIFY(!shown.front()->isVisible());
        if (answer >= 0)
            m_dialogs->confirmAnswers.push_back(static_cast<ui::Answer>(answer));
        byName<QAction>(calc(), action.toLatin1().constData())->trigger();
        QVERIFY(shown.front()->isVisible());
    }

    void eloQuestionDismissedShowsNothing()
    {
        m_dialogs->confirmAnswers.push_back(ui::Answer::Dismissed);
        byName<QAction>(calc(), "mnuElo")->trigger();
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible() || top == calc(), qPrintable(top->objectName()));
    }

    void menuShortcuts_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("colour") << "mnuColor"
                                << "&Цвет" << QKeySequence(Qt::CTRL | Qt::Key_F1);
        QTest::newRow("font") << "mnuFont"
                              << "&Шрифт" << QKeySequence(Qt::CTRL | Qt::Key_F2);
        QTest::newRow("elo") << "mnuElo"
                             << "Вычисление Эло" << QKeySequence(Qt::CTRL | Qt::Key_W);
        QTest::newRow("plot") << "mnuGraph"
                              << "График" << QKeySequence(Qt::CTRL | Qt::Key_G);
        QTest::newRow("password") << "mnuSort"
                                  << "Пароль" << QKeySequence(Qt::CTRL | Qt::Key_Y);
        QTest::newRow("loan") << "N3"
                              << "Кредит" << QKeySequence(Qt::SHIFT | Qt::Key_F1);
        QTest::newRow("converter") << "N4"
                                   << "Конвертер" << QKeySequence(Qt::SHIFT | Qt::Key_F2);
        QTest::newRow("help") << "mnuHelp"
                              << "Справка" << QKeySequence();
        QTest::newRow("about") << "mnuPrograms"
                               << "О прграмме" << QKeySequence();
    }

    void menuShortcuts()
    {
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        auto* a = byName<QAction>(calc(), action.toLatin1().constData());
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut(), shortcut);
    }

    void aboutBox()
    {
        byName<QAction>(calc(), "mnuPrograms")->trigger();
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("information"));
        const QString text = m_dialogs->boxes.front().text;
        QCOMPARE(text.count(QStringLiteral("\n\r")), 1);
        QVERIFY(!text.contains(QStringLiteral("\r\n")));
    }

    void helpDocument()
    {
        byName<QAction>(calc(), "mnuHelp")->trigger();
        QCOMPARE(m_dialogs->boxes.size(), 0); // no document: nothing shown, nothing reported

        QFile help(QDir::current().filePath(QStringLiteral("Help.htm")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        byName<QAction>(calc(), "mnuHelp")->trigger();
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("document"));
        QCOMPARE(m_dialogs->boxes.front().text, QFileInfo(help).absoluteFilePath());
    }

    void colourDialogOpensOnLastChoice()
    {
        m_dialogs->colorAnswers = {QColor(10, 20, 30), std::nullopt};
        byName<QAction>(calc(), "mnuColor")->trigger();
        QCOMPARE(m_dialogs->lastColorInitial, QColor(Qt::black));
        QCOMPARE(calc()->windowColor(), QColor(10, 20, 30));
        byName<QAction>(calc(), "mnuColor")->trigger(); // cancelled
        QCOMPARE(m_dialogs->lastColorInitial, QColor(10, 20, 30));
        QCOMPARE(calc()->windowColor(), QColor(10, 20, 30));
        // The display and the keys keep their own colours.
        QVERIFY(byName<QLineEdit>(calc(), "edtCalc")->palette().color(QPalette::Base) != QColor(10, 20, 30));
    }

    void fontDialogSetsDisplayFontUntilRestart()
    {
        QFont chosen(QStringLiteral("DejaVu Serif"), 20);
        m_dialogs->fontAnswers = {chosen};
        byName<QAction>(calc(), "mnuFont")->trigger();
        QCOMPARE(byName<QLineEdit>(calc(), "edtCalc")->font().pointSize(), 20);
        calc()->close();
        restart();
        QCOMPARE(byName<QLineEdit>(calc(), "edtCalc")->font().pixelSize(), 13);
    }

    void settingsRoundTrip()
    {
        calc()->move(120, 80);
        calc()->setWindowColor(QColor(1, 2, 3));
        QSignalSpy closed(calc(), &TfmCalc::closed);
        calc()->close();
        QCOMPARE(closed.count(), 1);
        {
            QSettings file(settingsPath(), QSettings::IniFormat);
            QCOMPARE(file.value(QStringLiteral("Position/Top")).toInt(), 80);
            QCOMPARE(file.value(QStringLiteral("Position/Left")).toInt(), 120);
            QCOMPARE(file.value(QStringLiteral("Color/Form")).toInt(), 1 | 2 << 8 | 3 << 16);
        }
        restart();
        QCOMPARE(calc()->pos(), QPoint(120, 80));
        QCOMPARE(calc()->windowColor(), QColor(1, 2, 3));
    }

    void storedBlackComesBackGreen()
    {
        calc()->setWindowColor(Qt::black);
        calc()->close();
        QCOMPARE(QSettings(settingsPath(), QSettings::IniFormat).value(QStringLiteral("Color/Form")).toInt(),
                 0);
        restart();
        QCOMPARE(TfmCalc::colorToValue(calc()->windowColor()), 500000);
    }

    void unreadableValuesReadAsZero()
    {
        m_windows = app::Windows();
        QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Position]\nTop=abc\nLeft=-40\n[Color]\nForm=12x\n");
        file.close();
        m_windows = app::createWindows(*m_dialogs, settingsPath());
        QCOMPARE(calc()->pos(), QPoint(-40, 0));
        QCOMPARE(TfmCalc::colorToValue(calc()->windowColor()), 500000);
    }

    void unwritableSettingsReportedAndWindowStillCloses()
    {
        // A settings path below a plain file can never be written, even by root.
        QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_windows = app::Windows();
        m_windows = app::createWindows(*m_dialogs, m_dir->filePath(QStringLiteral("blocker/CalcConf.ini")));
        calc()->show();
        QSignalSpy closed(calc(), &TfmCalc::closed);
        QVERIFY(calc()->close());
        QCOMPARE(m_dialogs->errors(), QStringList{QStringLiteral("Unable to write to CalcConf.ini.")});
        QCOMPARE(closed.count(), 1);
        QVERIFY(!calc()->isVisible());
    }

    void separatorFromLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<char>("separator");
        QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << ',';
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << '.';
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << ',';
        QTest::newRow("C") << QLocale::c() << '.';
    }

    void separatorFromLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(char, separator);
        QCOMPARE(app::separatorOf(locale), separator);
    }

    void localeChangeRereadsSeparator()
    {
        numtext::setDecimalSeparator('#');
        QEvent change(QEvent::LocaleChange);
        QApplication::sendEvent(calc(), &change);
        QCOMPARE(numtext::decimalSeparator(), app::separatorOf(QLocale::system()));
    }

    void pointSeparatorKeypad()
    {
        numtext::setDecimalSeparator('.');
        keys({"bb1", "bbZap", "bb5", "bbPlas", "bb1", "bbRes"});
        QCOMPARE(display(), QStringLiteral("2.5"));
    }
};

QTEST_MAIN(TestCalcWindow)
#include "tst_calcwindow.moc"
