// The main window under the offscreen platform: layout, keys clicked by name, the typing
// filter, menus, the error box and the settings file.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/UnitKred.h"
#include "numtext.h"
#include "password/UnitSort.h"
#include "plot/UnitGraph.h"
#include "ui/Placement.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "ui/testkit.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using testkit::byName;
using testkit::click;
using testkit::FakeDialogs;

namespace {

// Digit keys for the digits of a word, the key of that name for any other word.
QStringList keyScript(const QString& script)
{
    QStringList names;
    for (const QString& word : script.split(u' ', Qt::SkipEmptyParts)) {
        if (word.front().isDigit())
            for (QChar digit : word)
                names << QStringLiteral("bb") + digit;
        else
            names << QStringLiteral("bb") + word;
    }
    return names;
}

// Roles of the controls a user operates: they must carry a name to be announced by.
bool operable(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// The operable nodes below node without a name, each as its path of object names and role.
void collectUnnamed(QAccessibleInterface* node, const QString& path, QStringList& unnamed)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        const QObject* object = child->object();
        const QString name =
            object && !object->objectName().isEmpty() ? object->objectName() : QString::number(i);
        const QString at = path + u'/' + name;
        if (operable(child->role()) && child->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1(role %2)").arg(at).arg(int(child->role()));
        collectUnnamed(child, at, unnamed);
    }
}

// The control a focused widget belongs to: itself, or the radio group of a radio item, or the
// combo box of its text field.
QString focusStop(const QWidget* focused, const QStringList& names)
{
    for (const QWidget* at = focused; at; at = at->parentWidget())
        if (names.contains(at->objectName()))
            return at->objectName();
    return focused ? QStringLiteral("%1 %2").arg(focused->metaObject()->className(), focused->objectName())
                   : QStringLiteral("nothing");
}

} // namespace

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
    void writeSettingsFile(const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readSettingsFile()
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    QList<QWidget*> windows()
    {
        return {calc(),
                m_windows.fmElo.get(),
                m_windows.fmNewElo.get(),
                m_windows.fmKonvert.get(),
                m_windows.fmKred.get(),
                m_windows.fmSort.get(),
                m_windows.fmGraph.get()};
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

    // The radio items sit 3 pixels from their indicators, whose rims are shaded from the
    // application's window colour, not from the colour chosen for the window.
    void radioItemsKeepTheirLook()
    {
        calc()->setWindowColor(Qt::red);
        const QList<QRadioButton*> radios = calc()->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 6);
        for (const QRadioButton* radio : radios) {
            QCOMPARE(radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, radio), 3);
            QCOMPARE(radio->palette().color(QPalette::Window),
                     QApplication::palette(radio).color(QPalette::Window));
        }
    }

    void keyLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QColor>("color"); // invalid: the window text colour
        QTest::addColumn<QString>("hint");
        const QColor text, blue(0, 0, 255), olive(128, 128, 0), red(255, 0, 0), green(0, 128, 0),
            maroon(128, 0, 0), navy(0, 0, 128);
        const auto row = [](const char* name, const char* caption, int left, int top, const QColor& color,
                            const char* hint = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                                << QPoint(left, top) << color << QString::fromUtf8(hint);
        };
        // clang-format off
        row("bb7", "7", 8, 72, text);
        row("bb8", "8", 48, 72, text);
        row("bb9", "9", 88, 72, text);
        row("bbPlas", "+", 128, 72, blue);
        row("bbSqrt", "Sqrt", 168, 72, blue, "Квадратный корень");
        row("bbFact", "Fact", 208, 72, blue, "Факториал");
        row("bbSin", "Sin", 248, 72, blue);

        row("bb4", "4", 8, 104, text);
        row("bb5", "5", 48, 104, text);
        row("bb6", "6", 88, 104, text);
        row("bbMinus", "--", 128, 104, blue);
        row("bbMultyply", "*", 168, 104, blue);
        row("bbSqr", "Sqr", 208, 104, blue, "Возведение в квадрат");
        row("bbCos", "Cos", 248, 104, blue);
        row("bbSec", "Sec", 288, 104, navy, "Секанс");
        row("bbMod", "Mod", 328, 104, olive);

        row("bb1", "1", 8, 136, text);
        row("bb2", "2", 48, 136, text);
        row("bb3", "3", 88, 136, text);
        row("bb0", "0", 128, 136, text);
        row("bbDivisor", "/", 168, 136, blue);
        row("bbXy", "X^y", 208, 136, blue);
        row("bbTg", "tg", 248, 136, blue);
        row("bbOr", "Or", 288, 136, olive);
        row("bbNot", "Not", 328, 136, olive);

        row("bbPi", "Pi", 8, 168, blue);
        row("bbPlmin", "+\\-", 48, 168, blue);
        row("bbZap", ",", 88, 168, blue);
        row("bbRnd", "Rnd", 128, 168, olive, "Округление до ближайшего целого");
        row("bbLn", "Ln", 168, 168, olive, "Натуральный логарифм");
        row("bbClear", "С", 208, 168, red); // Cyrillic Es
        row("bbTrunc", "Trunc", 248, 168, green, "Отброс дробной части");
        row("bbXor", "Xor", 288, 168, olive);
        row("bbAnd", "And", 328, 168, olive);

        row("bbMC", "MC", 8, 200, red);
        row("bbMS", "MS", 48, 200, red);
        row("bbMr", "MR", 88, 200, red);
        row("bbMpl", "M+", 128, 200, red);
        row("bbMmin", "M-", 168, 200, red);
        row("bbLog", "Log", 208, 200, green, "Логарифм по основанию 10");
        row("bbRes", "=", 248, 200, maroon);
        row("bbCot", "Cot", 288, 200, navy, "Котангенс");
        row("bbDiv", "Div", 328, 200, olive, "Отброс целой части");
        // clang-format on
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
        const QColor expected = color.isValid() ? color : QApplication::palette().color(QPalette::WindowText);
        QCOMPARE(key->palette().color(QPalette::ButtonText), expected);
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
        // Each key once more in a row whose result only that key gives, so a key wired to
        // another key's handler shows.
        QTest::newRow("every digit in its place")
            << QStringList{"bb1", "bb2", "bb3", "bb4", "bb5", "bb6", "bb7", "bb8", "bb9", "bb0"}
            << "1234567890";
        QTest::newRow("9 -- 4 =") << QStringList{"bb9", "bbMinus", "bb4", "bbRes"} << "5";
        QTest::newRow("7 / 2 =") << QStringList{"bb7", "bbDivisor", "bb2", "bbRes"} << "3,5";
        QTest::newRow("7 Div 2 =") << QStringList{"bb7", "bbDiv", "bb2", "bbRes"} << "3";
        QTest::newRow("7 Mod 3 =") << QStringList{"bb7", "bbMod", "bb3", "bbRes"} << "1";
        QTest::newRow("12 Xor 10 =") << QStringList{"bb1", "bb2", "bbXor", "bb1", "bb0", "bbRes"} << "6";
        QTest::newRow("12 Or 10 =") << QStringList{"bb1", "bb2", "bbOr", "bb1", "bb0", "bbRes"} << "14";
        QTest::newRow("3 Sqr") << QStringList{"bb3", "bbSqr"} << "9";
        QTest::newRow("10 Ln") << QStringList{"bb1", "bb0", "bbLn"} << "2,30258509299405";
        QTest::newRow("2,6 Trunc") << QStringList{"bb2", "bbZap", "bb6", "bbTrunc"} << "2";
        QTest::newRow("2,6 Rnd") << QStringList{"bb2", "bbZap", "bb6", "bbRnd"} << "3";
        QTest::newRow("memory minus display")
            << QStringList{"bb5", "bbMS", "bbClear", "bb3", "bbMmin", "bbMr"} << "2";
        QTest::newRow("memory cleared") << QStringList{"bb5", "bbMS", "bbMC", "bbMr"} << "";
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
        // clang-format off
        QTest::newRow("cosine of 60 degrees") << QStringList{"bb6", "bb0", "bbCos"} << "" << "" << "0,5";
        QTest::newRow("tangent of 45 degrees") << QStringList{"bb4", "bb5", "bbTg"} << "" << "" << "1";
        QTest::newRow("cotangent of 30 degrees") << QStringList{"bb3", "bb0", "bbCot"} << "" << "" << "1,73205080756888";
        QTest::newRow("secant of 60 degrees") << QStringList{"bb6", "bb0", "bbSec"} << "" << "" << "2";
        // 9223372036854775808 = 2^63 exactly, where sine is taken as 0; the largest double below
        // it still has its sine computed.
        QTest::newRow("sine of 2^63 radians") << keyScript("9223372036854775808 Sin") << "Радианы" << "" << "0";
        QTest::newRow("sine just below 2^63 radians")
            << keyScript("9223372036854774784 Sin") << "Радианы" << "" << "0,989155581390811";
        // clang-format on
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

    // However a character arrives, only digits and backspace reach the display: dead keys and
    // compose sequences come as key texts beyond ASCII or as an input method's commit string.
    void typedCharacters_data()
    {
        QTest::addColumn<bool>("inputMethod"); // false: a key press with this text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("key: accented letter") << false << "á" << "0";
        QTest::newRow("key: copyright sign") << false << "©" << "0";
        QTest::newRow("key: soft hyphen") << false << "\u00AD" << "0";
        QTest::newRow("key: digit then a sign") << false << "5©" << "0";
        QTest::newRow("key: two digits") << false << "56" << "056";
        QTest::newRow("input method: accented letter") << true << "á" << "0";
        QTest::newRow("input method: copyright sign") << true << "©" << "0";
        QTest::newRow("input method: one half") << true << "½" << "0";
        QTest::newRow("input method: soft hyphen") << true << "\u00AD" << "0";
        QTest::newRow("input method: digit") << true << "5" << "05";
        QTest::newRow("input method: digits kept from a mix") << true << "5½7\u00AD" << "057";
        // clang-format on
    }

    void typedCharacters()
    {
        QFETCH(bool, inputMethod);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        auto* edit = byName<QLineEdit>(calc(), "edtCalc");
        edit->end(false);
        if (inputMethod) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit, &commit);
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
            QApplication::sendEvent(edit, &press);
        }
        QCOMPARE(edit->text(), shown);
    }

    // The display has no length limit, and the edit box's own paste is not filtered.
    void longPasteKeepsEveryCharacter()
    {
        auto* edit = byName<QLineEdit>(calc(), "edtCalc");
        const QString pasted = QStringLiteral("a,") + QString(39998, u'7');
        QGuiApplication::clipboard()->setText(pasted);
        edit->selectAll();
        edit->paste();
        QCOMPARE(edit->text(), pasted);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(edit->text().size(), 40001);
        QVERIFY(edit->text().endsWith(QStringLiteral("75")));
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
        // Tab types nothing but leaves the display for the keys.
        calc()->show();
        calc()->activateWindow();
        edit->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(calc()));
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), QStringLiteral("293"));
        QVERIFY(!edit->hasFocus());
    }

    void toolWindowsFromMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("control"); // one of the window's controls
        QTest::newRow("Elo, yes") << "mnuElo" << int(ui::Answer::Yes) << "fmElo"
                                  << "Расчёт Эло"
                                  << "leYouElo";
        QTest::newRow("Elo, no") << "mnuElo" << int(ui::Answer::No) << "fmNewElo"
                                 << "Расчёт начального Эло"
                                 << "Edit1";
        QTest::newRow("plot") << "mnuGraph" << -1 << "fmGraph"
                              << "График"
                              << "Memo1";
        QTest::newRow("password") << "mnuSort" << -1 << "fmSort"
                                  << "Пароль"
                                  << "btnSort";
        QTest::newRow("loan") << "N3" << -1 << "fmKred"
                              << "Кредит"
                              << "PageControl1";
        QTest::newRow("converter") << "N4" << -1 << "fmKonvert"
                                   << "Конвертер измерительных величин"
                                   << "ComboBox1";
    }

    void toolWindowsFromMenu()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, control);
        const auto tools = [] {
            QList<ui::ToolWindow*> all;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* tool = qobject_cast<ui::ToolWindow*>(top))
                    all << tool;
            return all;
        };
        // Every tool window exists from the start with its frame, its controls not yet made.
        QCOMPARE(tools().size(), 6);
        for (const ui::ToolWindow* tool : tools()) {
            QVERIFY2(!tool->isBuilt() && tool->findChildren<QWidget*>().isEmpty(),
                     qPrintable(tool->objectName()));
            QVERIFY(!tool->windowTitle().isEmpty());
        }

        if (answer >= 0)
            m_dialogs->confirmAnswers.push_back(static_cast<ui::Answer>(answer));
        byName<QAction>(calc(), action.toLatin1().constData())->trigger();

        QList<ui::ToolWindow*> shown;
        for (ui::ToolWindow* tool : tools()) {
            if (tool->isVisible())
                shown << tool;
            else
                QVERIFY2(!tool->isBuilt(), qPrintable(tool->objectName())); // only what is shown is built
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front()->objectName(), window);
        QCOMPARE(shown.front()->windowTitle(), caption);
        QVERIFY(!(shown.front()->windowFlags() & Qt::WindowMaximizeButtonHint));
        if (answer >= 0)
            QCOMPARE(m_dialogs->boxes.front().text, QStringLiteral("У вас есть рейтинг?"));
        QWidget* const built = byName<QWidget>(shown.front(), control.toLatin1().constData());
        QVERIFY(built->isVisible());

        // Closing only hides the window; the menu shows it again, with the same controls.
        shown.front()->close();
        QVERIFY(!shown.front()->isVisible());
        if (answer >= 0)
            m_dialogs->confirmAnswers.push_back(static_cast<ui::Answer>(answer));
        byName<QAction>(calc(), action.toLatin1().constData())->trigger();
        QVERIFY(shown.front()->isVisible());
        QCOMPARE(byName<QWidget>(shown.front(), control.toLatin1().constData()), built);
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
        // Second line: the version and the licence.
        const QString second = text.section(QStringLiteral("\n\r"), 1);
        QVERIFY2(second.contains(QStringLiteral("Версия 1.0")) && second.contains(QStringLiteral("GPL 3.0")),
                 qPrintable(second));
    }

    void menuKeysWorkFromToolWindows()
    {
        // Ctrl+G pressed in the converter opens the plot window.
        calc()->show();
        byName<QAction>(calc(), "N4")->trigger();
        QWidget* converter = m_windows.fmKonvert.get();
        QVERIFY(QTest::qWaitForWindowActive(converter));
        QTest::keyClick(converter, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(m_windows.fmGraph->isVisible());
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

    // What the settings file holds beside the three values survives a close, and an unusual
    // file is read and written without a false error.
    void settingsFileKeptAroundTheValues_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QPoint>("place"); // as read from before
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("junk line") << QByteArray("junk\n[Position]\nTop=5\n") << QPoint(0, 5)
                                   << QByteArray(
                                          "junk\n[Position]\nTop=80\nLeft=120\n\n[Color]\nForm=197121\n");
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Position]\nLeft=7\nTop=5\n[Color]\nForm=1\n") << QPoint(7, 5)
            << QByteArray("\xEF\xBB\xBF[Position]\nLeft=120\nTop=80\n[Color]\nForm=197121\n");
        QTest::newRow("other sections and comments")
            << QByteArray("; mine\n[Other]\nName=a b\n\n[Position]\nTop=5\n") << QPoint(0, 5)
            << QByteArray(
                   "; mine\n[Other]\nName=a b\n\n[Position]\nTop=80\nLeft=120\n\n[Color]\nForm=197121\n");
        QTest::newRow("CR LF line ends")
            << QByteArray("[Position]\r\nTop=5\r\n") << QPoint(0, 5)
            << QByteArray("[Position]\r\nTop=80\r\nLeft=120\r\n\r\n[Color]\r\nForm=197121\r\n");
    }

    void settingsFileKeptAroundTheValues()
    {
        QFETCH(QByteArray, before);
        QFETCH(QPoint, place);
        QFETCH(QByteArray, after);
        m_windows = app::Windows();
        writeSettingsFile(before);
        m_windows = app::createWindows(*m_dialogs, settingsPath());
        QCOMPARE(calc()->pos(), place);
        calc()->move(120, 80);
        calc()->setWindowColor(QColor(1, 2, 3));
        calc()->close();
        QCOMPARE(m_dialogs->errors(), QStringList());
        QCOMPARE(readSettingsFile(), after);
    }

    // A stale lock left by another program must not hold up the close.
    void closeIgnoresALockFolder()
    {
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("config/CalcConf.ini.lock"))));
        QSignalSpy closed(calc(), &TfmCalc::closed);
        calc()->move(10, 20);
        QVERIFY(calc()->close());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(m_dialogs->errors(), QStringList());
        QCOMPARE(readSettingsFile(), QByteArray("[Position]\nTop=20\nLeft=10\n\n[Color]\nForm=500000\n"));
    }

    // A place on a screen that is no longer attached comes back onto the screen; a place
    // whose title bar is on the screen is kept.
    void savedPlaceOnShow_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<bool>("kept");
        QTest::newRow("on the screen") << QPoint(100, 50) << true;
        QTest::newRow("top-left corner") << QPoint(0, 0) << true;
        QTest::newRow("far right, below") << QPoint(5000, 4000) << false;
        QTest::newRow("far left, above") << QPoint(-3000, -2000) << false;
        QTest::newRow("title bar above the screen") << QPoint(10, -20) << false;
    }

    void savedPlaceOnShow()
    {
        QFETCH(QPoint, saved);
        QFETCH(bool, kept);
        m_windows = app::Windows();
        writeSettingsFile(
            QStringLiteral("[Position]\nLeft=%1\nTop=%2\n").arg(saved.x()).arg(saved.y()).toUtf8());
        m_windows = app::createWindows(*m_dialogs, settingsPath());
        calc()->show();
        QVERIFY(QTest::qWaitForWindowExposed(calc()));
        const QRect area = calc()->screen()->availableGeometry();
        const QRect frame(calc()->pos(), calc()->size().grownBy(ui::kAssumedFrame));
        if (kept)
            QCOMPARE(calc()->pos(), saved);
        else
            QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y())));
        // Moved no further than onto the screen: an edge of the window meets the screen's edge.
        if (!kept)
            QVERIFY(frame.left() == area.left() || frame.right() == area.right() ||
                    frame.top() == area.top() || frame.bottom() == area.bottom());
    }

    // A settings file that cannot be written is reported, leaves what the last close wrote as it
    // was, and the window closes all the same.
    void unwritableSettingsReportedAndWindowStillCloses_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("folder below a plain file") << "plain file"; // never writable, even by root
        QTest::newRow("settings file replaced by a folder") << "folder";
        QTest::newRow("disk full") << "disk full";
    }

    void unwritableSettingsReportedAndWindowStillCloses()
    {
        QFETCH(QString, obstacle);
        const QByteArray previous("[Position]\nTop=5\nLeft=7\n\n[Color]\nForm=197121\n");
        QString settings = settingsPath();
        m_windows = app::Windows();
        if (obstacle == QLatin1String("plain file")) {
            QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            settings = m_dir->filePath(QStringLiteral("blocker/CalcConf.ini"));
        } else if (obstacle == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(settingsPath() + QStringLiteral("/inside")));
        } else {
            writeSettingsFile(previous);
        }
        m_windows = app::createWindows(*m_dialogs, settings);
        calc()->show();
        calc()->move(120, 80);
        QSignalSpy closed(calc(), &TfmCalc::closed);
        {
            std::optional<testkit::DiskFull> full;
            if (obstacle == QLatin1String("disk full"))
                full.emplace(8);
            QVERIFY(calc()->close());
        }
        QCOMPARE(m_dialogs->errors(), QStringList{QStringLiteral("Unable to write to CalcConf.ini.")});
        QCOMPARE(closed.count(), 1);
        QVERIFY(!calc()->isVisible());
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir(settingsPath() + QStringLiteral("/inside")).exists());
        if (obstacle == QLatin1String("disk full"))
            QCOMPARE(readSettingsFile(), previous);
        QCOMPARE(QDir(QFileInfo(settingsPath()).absolutePath()).entryList(QDir::Files),
                 obstacle == QLatin1String("disk full") ? QStringList{"CalcConf.ini"} : QStringList());
    }

    // Every control a user can operate, in every window, has a name that assistive technology
    // announces, found the way a screen reader finds it: through the accessibility tree.
    void everyControlNamed()
    {
        QStringList unnamed;
        for (QWidget* window : windows()) {
            window->show(); // parts built at the first show are in the tree too
            QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
            if (root->text(QAccessible::Name).isEmpty())
                unnamed << window->objectName();
            collectUnnamed(root, window->objectName(), unnamed);
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("unnamed: ") + unnamed.join(u' ')));
    }

    // Tab in each tool window visits its controls in this order and comes round again; a radio
    // group is one stop. Up-down arrows take no focus: Up and Down in their box step them.
    void toolWindowTabOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("page"); // of the loan window's page control
        QTest::addColumn<QStringList>("order");
        QTest::newRow("rating update")
            << "fmElo" << -1
            << QStringList{"leYouElo", "leEloTurn", "leGame", "leNo", "leNewElo", "bbStart", "bbClear"};
        QTest::newRow("initial rating")
            << "fmNewElo" << -1 << QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Button1", "Button2"};
        QTest::newRow("converter") << "fmKonvert" << -1 << QStringList{"ComboBox1", "ListBox1", "ListBox2",
                                                                       "Edit1",     "Edit2",    "bbHelp"};
        QTest::newRow("loan, write-off")
            << "fmKred" << 0 << QStringList{"PageControl1", "Edit1", "Edit2",       "Edit3",
                                            "Edit4",        "Edit5", "RadioGroup1", "Button1"};
        QTest::newRow("loan, duration")
            << "fmKred" << 1
            << QStringList{"PageControl1", "Edit6", "Edit7", "Edit8", "RadioGroup2", "Edit9", "Button2"};
        QTest::newRow("password") << "fmSort" << -1
                                  << QStringList{"Edit1",   "Le1",         "btnSort", "btnClear",
                                                 "Button1", "RadioGroup1", "Memo1"};
        QTest::newRow("plot") << "fmGraph" << -1
                              << QStringList{"Memo1", "BitBtn2", "BitBtn1", "BitBtn3", "Button2"};
    }

    void toolWindowTabOrder()
    {
        QFETCH(QString, window);
        QFETCH(int, page);
        QFETCH(QStringList, order);
        ui::ToolWindow* w = nullptr;
        for (QWidget* top : windows())
            if (top->objectName() == window)
                w = qobject_cast<ui::ToolWindow*>(top);
        QVERIFY(w);
        w->showTool();
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (page >= 0)
            byName<QTabWidget>(w, "PageControl1")->setCurrentIndex(page);
        byName<QWidget>(w, order.front().toLatin1().constData())->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (qsizetype i = 0; i <= order.size(); ++i) {
            visited << focusStop(QApplication::focusWidget(), order);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, order + QStringList{order.front()});
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
