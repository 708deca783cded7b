// The main window under the offscreen platform: layout, keys clicked by name, the typing
// filter, menus, the error box and the settings file.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "ui/Help.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/UnitKred.h"
#include "numtext/numtext.h"
#include "password/UnitSort.h"
#include "plot/UnitGraph.h"
#include "ui/Placement.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include <unistd.h>

using testkit::byName;

namespace {

// How a text reaches the display in typingFilter.
enum Via { Typed, OneKeyPress, InputMethod };

// The operable nodes below node without a name, each as its path of object names and role.
void collectUnnamed(QAccessibleInterface* node, const QString& path, QStringList& unnamed)
{
    // Roles of the controls a user operates: they must carry a name to be announced by.
    static const QList<QAccessible::Role> operable{
        QAccessible::PushButton,    QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::EditableText,  QAccessible::ComboBox, QAccessible::List,
        QAccessible::ListItem,      QAccessible::SpinBox,  QAccessible::PageTab,
        QAccessible::PageTabList,   QAccessible::MenuItem, QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown};
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        const QObject* object = child->object();
        const QString at =
            path + u'/' +
            (object && !object->objectName().isEmpty() ? object->objectName() : QString::number(i));
        if (operable.contains(child->role()) && child->text(QAccessible::Name).trimmed().isEmpty())
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

QList<ui::ToolWindow*> toolWindows()
{
    QList<ui::ToolWindow*> all;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* tool = qobject_cast<ui::ToolWindow*>(top))
            all << tool;
    return all;
}

} // namespace

class TestCalcWindow : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    TfmCalc* calc() { return m_app.windows.fmCalc.get(); }
    QLineEdit* edit() { return byName<QLineEdit>(calc(), "edtCalc"); }
    QString display() { return edit()->text(); }
    testkit::FakeDialogs& dialogs() { return *m_app.dialogs; }
    void trigger(const QString& action) { byName<QAction>(calc(), action.toLatin1().constData())->trigger(); }
    // Clicks the keys of a script: each digit of a number, "bb" + any other word.
    void press(const QString& script)
    {
        for (const QString& word : script.split(u' ', Qt::SkipEmptyParts)) {
            if (word.front().isDigit())
                for (QChar digit : word)
                    testkit::click(calc(), qPrintable(QStringLiteral("bb") + digit));
            else
                testkit::click(calc(), qPrintable(QStringLiteral("bb") + word));
        }
    }
    // The windows made again from the settings file at path, which first gets bytes unless null.
    void restart(const QByteArray& bytes = {}, QString path = {})
    {
        if (path.isEmpty())
            path = m_app.settingsPath();
        m_app.windows = app::Windows();
        if (!bytes.isNull()) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        m_app.windows = app::createWindows(dialogs(), path);
    }
    QByteArray settingsFile()
    {
        QFile file(m_app.settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }
    QList<QWidget*> allWindows()
    {
        const app::Windows& w = m_app.windows;
        return {calc(),         w.fmElo.get(),  w.fmNewElo.get(), w.fmKonvert.get(),
                w.fmKred.get(), w.fmSort.get(), w.fmGraph.get()};
    }

private slots:
    void init() { m_app.start(); }
    void cleanup() { m_app.stop(); }

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
        QCOMPARE(edit()->geometry(), QRect(0, 0, 369, 24));
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
        QCOMPARE(key->accessibleDescription(), caption);
        QCOMPARE(key->geometry(), QRect(topLeft, QSize(33, 25)));
        QCOMPARE(key->toolTip(), hint);
        const QColor expected = color.isValid() ? color : QApplication::palette().color(QPalette::WindowText);
        QCOMPARE(key->palette().color(QPalette::ButtonText), expected);
        QCOMPARE(key->cursor().shape(), Qt::PointingHandCursor);
    }
    // Every key has a name a screen reader can say; its caption is the description (above).
    void spokenKeyNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        const char* const names[][2] = {{"bb0", "0"},
                                        {"bb1", "1"},
                                        {"bb2", "2"},
                                        {"bb3", "3"},
                                        {"bb4", "4"},
                                        {"bb5", "5"},
                                        {"bb6", "6"},
                                        {"bb7", "7"},
                                        {"bb8", "8"},
                                        {"bb9", "9"},
                                        {"bbZap", "Запятая"},
                                        {"bbPlmin", "Сменить знак"},
                                        {"bbPi", "Пи"},
                                        {"bbClear", "Сброс"},
                                        {"bbPlas", "Плюс"},
                                        {"bbMinus", "Минус"},
                                        {"bbMultyply", "Умножить"},
                                        {"bbDivisor", "Разделить"},
                                        {"bbRes", "Равно"},
                                        {"bbSqrt", "Квадратный корень"},
                                        {"bbSqr", "Квадрат"},
                                        {"bbXy", "Степень"},
                                        {"bbFact", "Факториал"},
                                        {"bbLn", "Натуральный логарифм"},
                                        {"bbLog", "Десятичный логарифм"},
                                        {"bbTrunc", "Целая часть"},
                                        {"bbRnd", "Округлить"},
                                        {"bbSin", "Синус"},
                                        {"bbCos", "Косинус"},
                                        {"bbTg", "Тангенс"},
                                        {"bbCot", "Котангенс"},
                                        {"bbSec", "Секанс"},
                                        {"bbMod", "Остаток"},
                                        {"bbDiv", "Целое деление"},
                                        {"bbXor", "Исключающее или"},
                                        {"bbOr", "Или"},
                                        {"bbAnd", "И"},
                                        {"bbNot", "Не"},
                                        {"bbMS", "Запомнить"},
                                        {"bbMr", "Из памяти"},
                                        {"bbMC", "Очистить память"},
                                        {"bbMpl", "Прибавить к памяти"},
                                        {"bbMmin", "Вычесть из памяти"}};
        static_assert(std::size(names) == 43);
        for (const auto& [name, spoken] : names)
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(spoken);
    }
    void spokenKeyNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        auto* key = byName<ui::PictureButton>(calc(), name.toLatin1().constData());
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(key);
        QCOMPARE(node->text(QAccessible::Name), spoken);
        QCOMPARE(node->text(QAccessible::Description), key->text());
    }

    // Every key at least once, in a row whose result only that key gives, so a key wired to
    // another key's handler shows.
    void clickedSequences_data()
    {
        QTest::addColumn<QString>("keys");    // as press() takes them
        QTest::addColumn<QString>("angle");   // radio item of rgGrRad to select first
        QTest::addColumn<QString>("variant"); // radio item of rgArcHyp to select first
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, const char* keys, const char* shown, const char* angle = "",
                            const char* variant = "") {
            QTest::newRow(name) << QString::fromLatin1(keys) << QString::fromUtf8(angle)
                                << QString::fromUtf8(variant) << QString::fromUtf8(shown);
        };
        // clang-format off
        row("2 + 3 =", "2 Plas 3 Res", "5");
        row("repeat equals", "2 Plas 3 Res Res Res", "9");
        row("operator replaces pending", "2 Plas 3 Multyply 4 Res", "12");
        row("comma and sign", "1 Zap 5 Plmin", "-1,5");
        row("pi times two", "2 Multyply Pi Res", "6,28318530717958");
        row("clear", "2 Plas Clear", "0");
        row("every digit in its place", "1234567890", "1234567890");
        row("9 -- 4 =", "9 Minus 4 Res", "5");
        row("7 / 2 =", "7 Divisor 2 Res", "3,5");
        row("7 Div 2 =", "7 Div 2 Res", "3");
        row("7 Mod 3 =", "7 Mod 3 Res", "1");
        row("12 Xor 10 =", "12 Xor 10 Res", "6");
        row("12 Or 10 =", "12 Or 10 Res", "14");
        row("3 Sqr", "3 Sqr", "9");
        row("10 Ln", "10 Ln", "2,30258509299405");
        row("2,6 Trunc", "2 Zap 6 Trunc", "2");
        row("2,6 Rnd", "2 Zap 6 Rnd", "3");
        row("memory minus display", "5 MS Clear 3 Mmin Mr", "2");
        row("memory cleared", "5 MS MC Mr", "");
        row("square root", "2 Sqrt", "1,4142135623731");
        row("sine of 30 degrees", "30 Sin", "0,5");
        row("sine of 100 grads", "100 Sin", "1", "Грады");
        row("arc cosine of 0 in radians", "Cos", "1,5707963267949", "Радианы", "Arc");
        row("arc sine of 1 in degrees", "1 Sin", "90", "Градусы", "Arc");
        row("hyperbolic cosine of 0", "Cos", "1", "", "Hyp");
        row("power", "2 Xy 10 Res", "1024");
        row("factorial", "5 Fact", "120");
        row("logarithm of a negative", "5 Plmin Log", "Нельзя такой операнд");
        row("integer and", "12 And 10 Res", "8");
        row("not", "5 Not", "-6");
        row("memory add and recall", "5 MS Clear 3 Mpl Mr", "8");
        row("cosine of 60 degrees", "60 Cos", "0,5");
        row("tangent of 45 degrees", "45 Tg", "1");
        row("cotangent of 30 degrees", "30 Cot", "1,73205080756888");
        row("secant of 60 degrees", "60 Sec", "2");
        // 2^63 exactly, where sine is taken as 0; the largest double below it still has its sine.
        row("sine of 2^63 radians", "9223372036854775808 Sin", "0", "Радианы");
        row("sine just below 2^63 radians", "9223372036854774784 Sin", "0,989155581390811", "Радианы");
        // clang-format on
    }

    void clickedSequences()
    {
        QFETCH(QString, keys);
        QFETCH(QString, angle);
        QFETCH(QString, variant);
        QFETCH(QString, shown);
        for (const QString& item : {angle, variant})
            if (!item.isEmpty())
                for (QRadioButton* radio : calc()->findChildren<QRadioButton*>())
                    if (radio->text() == item)
                        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
        press(keys);
        QCOMPARE(display(), shown);
        QCOMPARE(dialogs().boxes.size(), 0);
    }

    void memoryIndicator()
    {
        auto* panel = byName<QLabel>(calc(), "Panel1");
        press("4 MS");
        QCOMPARE(panel->text(), QStringLiteral("M"));
        press("MC");
        QCOMPARE(panel->text(), QString());
        press("Mpl"); // empty memory cannot be read
        QCOMPARE(dialogs().errors(), QStringList{QStringLiteral("'' is not a valid floating point value.")});
    }

    void divisionByZeroShowsOneErrorBox()
    {
        press("8 Divisor 0 Zap 0 Res");
        QCOMPARE(dialogs().errors(), QStringList{QStringLiteral("Floating point division by zero.")});
        QCOMPARE(display(), QStringLiteral("0,0"));
        press("Clear 4"); // the program goes on: the next key works
        QCOMPARE(display(), QStringLiteral("4"));
    }

    void conversionErrorQuotesText()
    {
        edit()->setText(QStringLiteral("1,5,2"));
        press("Plas");
        QCOMPARE(dialogs().errors(),
                 QStringList{QStringLiteral("'1,5,2' is not a valid floating point value.")});
        QCOMPARE(display(), QStringLiteral("1,5,2"));
        QCOMPARE(calc()->engine().pendingOp(), '+');
    }

    // However a character arrives, only digits and backspace reach the display: dead keys and
    // compose sequences come as key texts beyond ASCII or as an input method's commit string.
    void typingFilter_data()
    {
        QTest::addColumn<int>("via");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("digits append at the caret") << int(Typed) << "12" << "012";
        QTest::newRow("letters, comma, signs ignored") << int(Typed) << "a,-+=5" << "05";
        QTest::newRow("blank and dot ignored") << int(Typed) << " .7" << "07";
        QTest::newRow("key: accented letter") << int(OneKeyPress) << "á" << "0";
        QTest::newRow("key: digit then a sign") << int(OneKeyPress) << "5©" << "0";
        QTest::newRow("key: two digits") << int(OneKeyPress) << "56" << "056";
        QTest::newRow("input method: accented letter") << int(InputMethod) << "á" << "0";
        QTest::newRow("input method: digit") << int(InputMethod) << "5" << "05";
        QTest::newRow("input method: digits kept from a mix") << int(InputMethod) << "5½7\u00AD" << "057";
        // clang-format on
    }

    void typingFilter()
    {
        QFETCH(int, via);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        edit()->end(false);
        if (via == Typed) {
            QTest::keyClicks(edit(), text);
        } else if (via == OneKeyPress) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
            QApplication::sendEvent(edit(), &press);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit(), &commit);
        }
        QCOMPARE(display(), shown);
    }

    // The display has no length limit, and the edit box's own paste is not filtered.
    void longPasteKeepsEveryCharacter()
    {
        const QString pasted = QStringLiteral("a,") + QString(39998, u'7');
        QGuiApplication::clipboard()->setText(pasted);
        edit()->selectAll();
        edit()->paste();
        QCOMPARE(display(), pasted);
        QTest::keyClick(edit(), Qt::Key_5);
        QCOMPARE(display().size(), 40001);
        QVERIFY(display().endsWith(QStringLiteral("75")));
    }

    void typingEditingKeys()
    {
        QLineEdit* edit = this->edit();
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
        QTest::addColumn<int>("answer"); // to the rating question; -1: none asked
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("control"); // one of the window's controls
        // clang-format off
        QTest::newRow("Elo, yes") << "mnuElo" << int(ui::Answer::Yes) << "fmElo" << "Расчёт Эло" << "leYouElo";
        QTest::newRow("Elo, no") << "mnuElo" << int(ui::Answer::No) << "fmNewElo" << "Расчёт начального Эло" << "Edit1";
        QTest::newRow("plot") << "mnuGraph" << -1 << "fmGraph" << "График" << "Memo1";
        QTest::newRow("password") << "mnuSort" << -1 << "fmSort" << "Пароль" << "btnSort";
        QTest::newRow("loan") << "N3" << -1 << "fmKred" << "Кредит" << "PageControl1";
        QTest::newRow("converter") << "N4" << -1 << "fmKonvert" << "Конвертер измерительных величин" << "ComboBox1";
        // clang-format on
    }

    void toolWindowsFromMenu()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, control);
        // Every tool window exists from the start with its frame, its controls not yet made.
        QCOMPARE(toolWindows().size(), 6);
        for (const ui::ToolWindow* tool : toolWindows()) {
            QVERIFY2(!tool->isBuilt() && tool->findChildren<QWidget*>().isEmpty(),
                     qPrintable(tool->objectName()));
            QVERIFY(!tool->windowTitle().isEmpty());
        }
        const auto open = [&] {
            if (answer >= 0)
                dialogs().confirmAnswers.push_back(static_cast<ui::Answer>(answer));
            trigger(action);
        };
        open();
        QList<ui::ToolWindow*> shown;
        for (ui::ToolWindow* tool : toolWindows()) {
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
            QCOMPARE(dialogs().boxes.front().text, QStringLiteral("У вас есть рейтинг?"));
        QWidget* const built = byName<QWidget>(shown.front(), qPrintable(control));
        QVERIFY(built->isVisible());

        // Closing only hides the window; the menu shows it again, with the same controls.
        shown.front()->close();
        QVERIFY(!shown.front()->isVisible());
        open();
        QVERIFY(shown.front()->isVisible());
        QCOMPARE(byName<QWidget>(shown.front(), qPrintable(control)), built);
    }

    void eloQuestionDismissedShowsNothing()
    {
        dialogs().confirmAnswers.push_back(ui::Answer::Dismissed);
        trigger("mnuElo");
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible() || top == calc(), qPrintable(top->objectName()));
    }

    void menuShortcuts_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        // clang-format off
        QTest::newRow("colour") << "mnuColor" << "&Цвет" << QKeySequence(Qt::CTRL | Qt::Key_F1);
        QTest::newRow("font") << "mnuFont" << "&Шрифт" << QKeySequence(Qt::CTRL | Qt::Key_F2);
        QTest::newRow("elo") << "mnuElo" << "Вычисление Эло" << QKeySequence(Qt::CTRL | Qt::Key_W);
        QTest::newRow("plot") << "mnuGraph" << "График" << QKeySequence(Qt::CTRL | Qt::Key_G);
        QTest::newRow("password") << "mnuSort" << "Пароль" << QKeySequence(Qt::CTRL | Qt::Key_Y);
        QTest::newRow("loan") << "N3" << "Кредит" << QKeySequence(Qt::SHIFT | Qt::Key_F1);
        QTest::newRow("converter") << "N4" << "Конвертер" << QKeySequence(Qt::SHIFT | Qt::Key_F2);
        QTest::newRow("help") << "mnuHelp" << "Справка" << QKeySequence();
        QTest::newRow("about") << "mnuPrograms" << "О прграмме" << QKeySequence();
        // clang-format on
    }

    void menuShortcuts()
    {
        QFETCH(QString, action);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        auto* a = byName<QAction>(calc(), qPrintable(action));
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut(), shortcut);
    }

    void aboutBox()
    {
        trigger("mnuPrograms");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes.front().kind, QStringLiteral("information"));
        const QString text = dialogs().boxes.front().text;
        QCOMPARE(text.count(QStringLiteral("\n\r")), 1);
        QVERIFY(!text.contains(QStringLiteral("\r\n")));
        // The program and its authors, by the one name the package and the metainfo give them;
        // then the version and the licence.
        QVERIFY2(text.section(QStringLiteral("\n\r"), 0, 0).startsWith(QStringLiteral("Вилорка")) &&
                     text.contains(QStringLiteral("Разработчики Вилорки")),
                 qPrintable(text));
        QCOMPARE(text.section(QStringLiteral("\n\r"), 1),
                 QStringLiteral("Версия 1.0, лицензия GNU GPL версии 3 или более поздней"));
    }

    // Ctrl+G pressed in the converter opens the plot window.
    void menuKeysWorkFromToolWindows()
    {
        calc()->show();
        trigger("N4");
        QWidget* converter = m_app.windows.fmKonvert.get();
        QVERIFY(QTest::qWaitForWindowActive(converter));
        QTest::keyClick(converter, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(m_app.windows.fmGraph->isVisible());
    }

    // The document in the current folder comes first, shown at its top in the help window.
    void helpDocument()
    {
        QFile help(QDir::current().filePath(QStringLiteral("Help.htm")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        trigger("mnuHelp");
        QCOMPARE(dialogs().boxes.size(), 0);
        auto* window = byName<ui::HelpWindow>(calc(), "fmHelp");
        QVERIFY(window->isVisible());
        QCOMPARE(window->Browser->source(), QUrl::fromLocalFile(QFileInfo(help).absoluteFilePath()));
    }

    void colourDialogOpensOnLastChoice()
    {
        dialogs().colorAnswers = {QColor(10, 20, 30), std::nullopt};
        trigger("mnuColor");
        QCOMPARE(dialogs().lastColorInitial, QColor(Qt::black));
        QCOMPARE(calc()->windowColor(), QColor(10, 20, 30));
        trigger("mnuColor"); // cancelled
        QCOMPARE(dialogs().lastColorInitial, QColor(10, 20, 30));
        QCOMPARE(calc()->windowColor(), QColor(10, 20, 30));
        // The display and the keys keep their own colours.
        QVERIFY(edit()->palette().color(QPalette::Base) != QColor(10, 20, 30));
    }

    void fontDialogSetsDisplayFontUntilRestart()
    {
        dialogs().fontAnswers = {QFont(QStringLiteral("DejaVu Serif"), 20)};
        trigger("mnuFont");
        QCOMPARE(edit()->font().pointSize(), 20);
        calc()->close();
        restart();
        QCOMPARE(edit()->font().pixelSize(), 13);
    }

    void storedBlackComesBackGreen()
    {
        calc()->setWindowColor(Qt::black);
        calc()->close();
        QCOMPARE(settingsFile(), QByteArray("[Position]\nTop=0\nLeft=0\n\n[Color]\nForm=0\n"));
        restart();
        QCOMPARE(TfmCalc::colorToValue(calc()->windowColor()), 500000);
    }

    void unreadableValuesReadAsZero()
    {
        restart("[Position]\nTop=abc\nLeft=-40\n[Color]\nForm=12x\n");
        QCOMPARE(calc()->pos(), QPoint(-40, 0));
        QCOMPARE(TfmCalc::colorToValue(calc()->windowColor()), 500000);
    }

    // The place and colour written at the close come back at the next start. What the file
    // holds beside them survives, and an unusual file, or a stale lock left by another program,
    // is read and written without a false error.
    void settingsRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<bool>("lockFolder");
        QTest::addColumn<QPoint>("place"); // as read from before
        QTest::addColumn<QByteArray>("after");
        const QByteArray written("[Position]\nTop=80\nLeft=120\n\n[Color]\nForm=197121\n");
        QTest::newRow("no file") << QByteArray() << false << QPoint(0, 0) << written;
        QTest::newRow("junk line") << QByteArray("junk\n[Position]\nTop=5\n") << false << QPoint(0, 5)
                                   << "junk\n" + written;
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBF[Position]\nLeft=7\nTop=5\n[Color]\nForm=1\n") << false << QPoint(7, 5)
            << QByteArray("\xEF\xBB\xBF[Position]\nLeft=120\nTop=80\n[Color]\nForm=197121\n");
        QTest::newRow("other sections and comments")
            << QByteArray("; mine\n[Other]\nName=a b\n\n[Position]\nTop=5\n") << false << QPoint(0, 5)
            << "; mine\n[Other]\nName=a b\n\n" + written;
        QTest::newRow("CR LF line ends")
            << QByteArray("[Position]\r\nTop=5\r\n") << false << QPoint(0, 5)
            << QByteArray("[Position]\r\nTop=80\r\nLeft=120\r\n\r\n[Color]\r\nForm=197121\r\n");
        QTest::newRow("lock folder") << QByteArray() << true << QPoint(0, 0) << written;
    }

    void settingsRoundTrip()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, lockFolder);
        QFETCH(QPoint, place);
        QFETCH(QByteArray, after);
        if (lockFolder)
            QVERIFY(QDir().mkpath(m_app.settingsPath() + QStringLiteral(".lock")));
        restart(before);
        QCOMPARE(calc()->pos(), place);
        calc()->move(120, 80);
        calc()->setWindowColor(QColor(1, 2, 3));
        QSignalSpy closed(calc(), &TfmCalc::closed);
        QVERIFY(calc()->close());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(dialogs().errors(), QStringList());
        QCOMPARE(settingsFile(), after);
        restart();
        QCOMPARE(calc()->pos(), QPoint(120, 80));
        QCOMPARE(calc()->windowColor(), QColor(1, 2, 3));
    }

    // A place on a screen that is no longer attached comes back onto the screen, no further
    // than that: an edge of the window meets the screen's edge. A place whose title bar is on
    // the screen is kept.
    void savedPlaceOnShow_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<bool>("kept");
        QTest::newRow("on the screen") << QPoint(100, 50) << true;
        QTest::newRow("far right, below") << QPoint(5000, 4000) << false;
        QTest::newRow("title bar above the screen") << QPoint(10, -20) << false;
    }

    void savedPlaceOnShow()
    {
        QFETCH(QPoint, saved);
        QFETCH(bool, kept);
        restart(QStringLiteral("[Position]\nLeft=%1\nTop=%2\n").arg(saved.x()).arg(saved.y()).toUtf8());
        calc()->show();
        QVERIFY(QTest::qWaitForWindowExposed(calc()));
        if (kept) {
            QCOMPARE(calc()->pos(), saved);
            return;
        }
        const QRect area = calc()->screen()->availableGeometry();
        const QRect frame(calc()->pos(), calc()->size().grownBy(ui::kAssumedFrame));
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y())));
        QVERIFY(frame.left() == area.left() || frame.right() == area.right() || frame.top() == area.top() ||
                frame.bottom() == area.bottom());
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
        const bool diskFull = obstacle == QLatin1String("disk full");
        const QString inside = m_app.settingsPath() + QStringLiteral("/inside");
        if (obstacle == QLatin1String("plain file")) {
            QFile blocker(m_app.path(QStringLiteral("blocker")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            restart({}, m_app.path(QStringLiteral("blocker/CalcConf.ini")));
        } else {
            if (!diskFull)
                QVERIFY(QDir().mkpath(inside));
            restart(diskFull ? previous : QByteArray());
        }
        calc()->show();
        calc()->move(120, 80);
        QSignalSpy closed(calc(), &TfmCalc::closed);
        {
            std::optional<testkit::DiskFull> full;
            if (diskFull)
                full.emplace(8);
            QVERIFY(calc()->close());
        }
        QCOMPARE(dialogs().errors(), QStringList{QStringLiteral("Unable to write to CalcConf.ini.")});
        QCOMPARE(closed.count(), 1);
        QVERIFY(!calc()->isVisible());
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir(inside).exists());
        if (diskFull)
            QCOMPARE(settingsFile(), previous);
        QCOMPARE(QDir(QFileInfo(m_app.settingsPath()).absolutePath()).entryList(QDir::Files),
                 diskFull ? QStringList{"CalcConf.ini"} : QStringList());
    }

    // A settings file that exists but cannot be read, or is no settings file at all, reads as
    // zeros and is never replaced on close: what it holds is not known, so it cannot be kept.
    void unreadableSettingsKept_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("no permission to read") << "unreadable";
        QTest::newRow("larger than a mebibyte") << "large";
        QTest::newRow("link to an endless device") << "device";
    }

    void unreadableSettingsKept()
    {
        QFETCH(QString, obstacle);
        QByteArray before("[Position]\nTop=5\nLeft=7\n");
        const QString path = m_app.settingsPath();
        if (obstacle == QLatin1String("device")) {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
            restart();
        } else {
            if (obstacle == QLatin1String("large"))
                before += QByteArray(1024 * 1024, '\n');
            restart(before);
            if (obstacle == QLatin1String("unreadable")) {
                if (::geteuid() == 0)
                    QSKIP("permissions do not apply to root");
                QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
                restart();
            }
        }
        QCOMPARE(calc()->pos(), QPoint(0, 0));
        QVERIFY(calc()->close());
        QCOMPARE(dialogs().errors(), QStringList{QStringLiteral("Unable to write to CalcConf.ini.")});
        if (obstacle == QLatin1String("device")) {
            QCOMPARE(QFileInfo(path).symLinkTarget(), QStringLiteral("/dev/zero"));
            return;
        }
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(settingsFile(), before);
    }

    // Every control a user can operate, in every window, has a name that assistive technology
    // announces, found the way a screen reader finds it: through the accessibility tree.
    void everyControlNamed()
    {
        QStringList unnamed;
        for (QWidget* window : allWindows()) {
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
        // clang-format off
        QTest::newRow("rating update") << "fmElo" << -1
            << QStringList{"leYouElo", "leEloTurn", "leGame", "leNo", "leNewElo", "bbStart", "bbClear"};
        QTest::newRow("initial rating") << "fmNewElo" << -1
            << QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Button1", "Button2"};
        QTest::newRow("converter") << "fmKonvert" << -1
            << QStringList{"ComboBox1", "ListBox1", "ListBox2", "Edit1", "Edit2", "bbHelp"};
        QTest::newRow("loan, write-off") << "fmKred" << 0
            << QStringList{"PageControl1", "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "RadioGroup1", "Button1"};
        QTest::newRow("loan, duration") << "fmKred" << 1
            << QStringList{"PageControl1", "Edit6", "Edit7", "Edit8", "RadioGroup2", "Edit9", "Button2"};
        QTest::newRow("loan, schedule") << "fmKred" << 2
            << QStringList{"PageControl1", "edtAmount", "edtMonths", "edtRate", "cbRateKind", "rgPaymentKind", "rgTiming", "tblSchedule", "btnSchedule"};
        QTest::newRow("password") << "fmSort" << -1
            << QStringList{"Edit1", "Le1", "btnSort", "btnClear", "Button1", "RadioGroup1", "Memo1", "chkNoLookalikes"};
        QTest::newRow("plot") << "fmGraph" << -1 << QStringList{"Memo1", "BitBtn2", "BitBtn1", "BitBtn3", "Button2"};
        // clang-format on
    }

    void toolWindowTabOrder()
    {
        QFETCH(QString, window);
        QFETCH(int, page);
        QFETCH(QStringList, order);
        ui::ToolWindow* w = nullptr;
        for (QWidget* top : allWindows())
            if (top->objectName() == window)
                w = qobject_cast<ui::ToolWindow*>(top);
        QVERIFY(w);
        w->showTool();
        QVERIFY(QTest::qWaitForWindowActive(w));
        if (page >= 0)
            byName<QTabWidget>(w, "PageControl1")->setCurrentIndex(page);
        byName<QWidget>(w, qPrintable(order.front()))->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (qsizetype i = 0; i <= order.size(); ++i) {
            visited << focusStop(QApplication::focusWidget(), order);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, order + QStringList{order.front()});
    }

    // In every tool window, Enter and the keypad's Enter press the focused push button once each.
    void enterPressesTheFocusedButton()
    {
        for (ui::ToolWindow* w : toolWindows()) {
            w->showTool();
            QVERIFY(QTest::qWaitForWindowActive(w));
            QPushButton* button = nullptr;
            for (QPushButton* candidate : w->findChildren<QPushButton*>())
                if (!button && candidate->isVisible() && candidate->isEnabled() &&
                    candidate->focusPolicy() & Qt::TabFocus)
                    button = candidate;
            QVERIFY2(button, qPrintable(w->objectName()));
            button->setFocus(Qt::TabFocusReason);
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::keyClick(button, Qt::Key_Return);
            QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY2(clicked.count() == 2, qPrintable(w->objectName() + u' ' + button->objectName()));
            w->hide();
        }
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
        press("1 Zap 5 Plas 1 Res");
        QCOMPARE(display(), QStringLiteral("2.5"));
    }
};

QTEST_MAIN(TestCalcWindow)
#include "tst_calcwindow.moc"
