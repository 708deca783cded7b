// The loan window under the offscreen platform, opened from the main menu, both tabs driven by
// objectName with the message service answering.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "loan/UnitKred.h"
#include "numtext.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "ui/testkit.h"

#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using testkit::byName;
using testkit::click;
using testkit::FakeDialogs;

namespace {

const QString kEmptyInput = QStringLiteral("Не введено значение!");
const QString kNeverRepaid = QStringLiteral("Кредит не будет погашен: выплата не покрывает проценты");
const QString kOld = QStringLiteral("old");

} // namespace

class TestKredWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FakeDialogs> m_dialogs;
    app::Windows m_windows;

    QWidget* openFromMenu()
    {
        byName<QAction>(m_windows.fmCalc.get(), "N3")->trigger();
        return m_windows.fmKred.get();
    }

    QWidget* openOn(const char* sheet)
    {
        QWidget* w = openFromMenu();
        byName<QTabWidget>(w, "PageControl1")->setCurrentWidget(byName<QWidget>(w, sheet));
        return w;
    }

    static QString text(QWidget* w, const char* name) { return byName<QLineEdit>(w, name)->text(); }
    static void setText(QWidget* w, const char* name, const QString& value)
    {
        byName<QLineEdit>(w, name)->setText(value);
    }

    // Names of the controls Tab visits from first, as many as expected.
    static QStringList tabChain(QWidget* w, const char* first, int count)
    {
        QStringList order;
        QWidget* at = byName<QWidget>(w, first);
        for (int i = 0; i < count; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus) || at->objectName().isEmpty());
        }
        return order;
    }

private slots:
    void init()
    {
        numtext::setDecimalSeparator(',');
        m_dialogs = std::make_unique<FakeDialogs>();
        m_windows = app::createWindows(*m_dialogs, m_dir.filePath(QStringLiteral("CalcConf.ini")));
    }

    void cleanup()
    {
        m_windows = app::Windows();
        m_dialogs.reset();
    }

    void frameAndPages()
    {
        QWidget* w = openFromMenu();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Кредит"));
        QCOMPARE(w->pos(), QPoint(193, 112));
        QCOMPARE(w->size(), ui::ToolWindow::clientSize(372, 460));
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 192, 192));
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        auto* pages = byName<QTabWidget>(w, "PageControl1");
        QCOMPARE(pages->geometry(), QRect(8, 16, 345, 393));
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), QStringLiteral("Списание"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Продолжительность"));
        QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TabSheet1"));
        QCOMPARE(pages->widget(1)->objectName(), QStringLiteral("TabSheet2"));
        QCOMPARE(pages->currentIndex(), 0);
    }

    // Every box, on its sheet, at its place, with its initial text, font and naming label.
    void boxes_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("pixelSize"); // 0: the window's font
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("labelAt");
        // clang-format off
        QTest::newRow("rate") << "TabSheet1" << "Edit2" << QRect(112, 88, 25, 21) << "20" << 0 << "Label2" << "Процентная ставка" << QPoint(8, 96);
        QTest::newRow("month number") << "TabSheet1" << "Edit4" << QRect(280, 88, 33, 24) << "17" << 13 << "Label4" << "Номер месяца" << QPoint(200, 96);
        QTest::newRow("months") << "TabSheet1" << "Edit3" << QRect(280, 128, 33, 24) << "36" << 13 << "Label3" << "Количество месяцев в течении которых вы платите" << QPoint(8, 136);
        QTest::newRow("loan") << "TabSheet1" << "Edit1" << QRect(16, 184, 97, 24) << "100000" << 13 << "Label1" << "Сумма кредита" << QPoint(16, 168);
        QTest::newRow("written off") << "TabSheet1" << "Edit5" << QRect(208, 184, 97, 21) << "" << 0 << "Label5" << "Списанная сумма" << QPoint(208, 168);
        QTest::newRow("payment") << "TabSheet2" << "Edit7" << QRect(184, 64, 121, 21) << "5000" << 0 << "Label10" << "Величена регулярных выплат" << QPoint(8, 72);
        QTest::newRow("first loan") << "TabSheet2" << "Edit8" << QRect(184, 112, 121, 21) << "50000" << 0 << "Label11" << "Первоначальная сумма кредита" << QPoint(8, 120);
        QTest::newRow("duration rate") << "TabSheet2" << "Edit6" << QRect(184, 152, 33, 21) << "20" << 0 << "Label9" << "Процентная ставка" << QPoint(8, 160);
        QTest::newRow("months needed") << "TabSheet2" << "Edit9" << QRect(184, 192, 49, 21) << "" << 0 << "Label12" << "Количество этапов (месяцев)" << QPoint(8, 200);
        // clang-format on
    }

    void boxes()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(QString, initial);
        QFETCH(int, pixelSize);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QFETCH(QPoint, labelAt);
        QWidget* w = openFromMenu();
        auto* edit = byName<QLineEdit>(w, name.toLatin1().constData());
        auto* title = byName<QLabel>(w, label.toLatin1().constData());
        QCOMPARE(edit->parentWidget()->objectName(), sheet);
        QCOMPARE(title->parentWidget()->objectName(), sheet);
        QCOMPARE(edit->geometry(), rect);
        QCOMPARE(edit->text(), initial);
        QCOMPARE(edit->font().pixelSize(), pixelSize == 0 ? w->font().pixelSize() : pixelSize);
        QCOMPARE(title->text(), caption);
        QCOMPARE(title->pos(), labelAt);
        QCOMPARE(title->buddy(), edit);
        QCOMPARE(edit->accessibleName(), caption);
        // The caption ends before its box begins when both share a row.
        if (title->y() + title->height() > rect.y())
            QVERIFY(title->x() + title->sizeHint().width() <= rect.x());
    }

    void upDownsAndButtons()
    {
        QWidget* w = openFromMenu();
        const struct {
            const char* name;
            const char* buddy;
            QRect rect;
        } arrows[] = {{"UpDown1", "Edit2", {137, 88, 16, 21}},
                      {"UpDown3", "Edit4", {313, 88, 16, 24}},
                      {"UpDown2", "Edit3", {313, 128, 16, 24}},
                      {"UpDown4", "Edit6", {217, 152, 16, 21}}};
        for (const auto& a : arrows) {
            QCOMPARE(byName<ui::UpDown>(w, a.name)->geometry(), a.rect);
            QCOMPARE(byName<ui::UpDown>(w, a.name)->position(), text(w, a.buddy).toInt());
        }
        QCOMPARE(byName<QPushButton>(w, "Button1")->geometry(), QRect(128, 336, 75, 25));
        QCOMPARE(byName<QPushButton>(w, "Button2")->geometry(), QRect(136, 328, 75, 25));
        QCOMPARE(byName<QPushButton>(w, "Button1")->text(), QStringLiteral("Расчёт"));
        QCOMPARE(byName<QPushButton>(w, "Button2")->text(), QStringLiteral("Расчёт"));
    }

    // An arrow writes its position into its own box; the range ends at 0 and 100.
    void upDownWritesItsBox_data()
    {
        QTest::addColumn<QString>("upDown");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed"); // empty: the initial text
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QString>("shown");
        QTest::newRow("rate up") << "UpDown1"
                                 << "Edit2"
                                 << ""
                                 << "up"
                                 << "21";
        QTest::newRow("month number up") << "UpDown3"
                                         << "Edit4"
                                         << ""
                                         << "up"
                                         << "18";
        QTest::newRow("months down") << "UpDown2"
                                     << "Edit3"
                                     << ""
                                     << "down"
                                     << "35";
        QTest::newRow("duration rate down") << "UpDown4"
                                            << "Edit6"
                                            << ""
                                            << "down"
                                            << "19";
        QTest::newRow("no step past 100") << "UpDown1"
                                          << "Edit2"
                                          << "100"
                                          << "up"
                                          << "100";
        QTest::newRow("no step below 0") << "UpDown4"
                                         << "Edit6"
                                         << "0"
                                         << "down"
                                         << "0";
    }

    void upDownWritesItsBox()
    {
        QFETCH(QString, upDown);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, arrow);
        QFETCH(QString, shown);
        QWidget* w = openFromMenu();
        const QByteArray boxName = box.toLatin1();
        if (!typed.isEmpty())
            setText(w, boxName.constData(), typed);
        auto* arrows = byName<ui::UpDown>(w, upDown.toLatin1().constData());
        QTest::mouseClick(arrows->findChild<QToolButton*>(arrow), Qt::LeftButton);
        QCOMPARE(text(w, boxName.constData()), shown);
    }

    void radioGroups()
    {
        QWidget* w = openFromMenu();
        const struct {
            const char* name;
            QRect rect;
        } groups[] = {{"RadioGroup1", {8, 224, 137, 97}}, {"RadioGroup2", {80, 232, 185, 81}}};
        for (const auto& g : groups) {
            auto* group = byName<ui::RadioGroup>(w, g.name);
            QCOMPARE(group->geometry(), g.rect);
            QCOMPARE(group->title(), QStringLiteral("Происхождение выплат"));
            QCOMPARE(group->item(0)->text(), QStringLiteral("В начале периода"));
            QCOMPARE(group->item(1)->text(), QStringLiteral("В конце периода"));
            QCOMPARE(group->itemIndex(), 0);
        }
    }

    // The help texts are shown line by line: each LF CR is one break, never an empty line.
    void helpTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("what the write-off is") << "Label6" << QPoint(24, 16)
                                               << QStringList{"Функция вычисляет процентную ставку кредита",
                                                              "на определенном этапе в денежном исчислении"};
        QTest::newRow("the minus sign")
            << "Label7" << QPoint(176, 224)
            << QStringList{"Знак минус в результате ",   "функции показывает,",  "что данная сумма",
                           " является кредитовой, т.е.", " должна быть списана", "со счета."};
        QTest::newRow("what the duration is")
            << "Label8" << QPoint(40, 16)
            << QStringList{"Функция определяет количество этапов (месяцев),",
                           "необходимых для погашения кредита"};
    }

    void helpTexts()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, at);
        QFETCH(QStringList, lines);
        QWidget* w = openFromMenu();
        auto* help = byName<QLabel>(w, name.toLatin1().constData());
        QCOMPARE(help->text().split(QLatin1Char('\n')), lines);
        QCOMPARE(help->pos(), at);
        // Sized to its text, and inside its sheet.
        QCOMPARE(help->size(), help->sizeHint());
        QVERIFY(help->parentWidget()->rect().contains(help->geometry()));
    }

    void tabOrder()
    {
        QWidget* w = openOn("TabSheet1");
        QCOMPARE(tabChain(w, "Edit1", 8), (QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5",
                                                       "RadioGroup10", "RadioGroup11", "Button1"}));
        QCOMPARE(tabChain(w, "Edit6", 7), (QStringList{"Edit6", "Edit7", "Edit8", "RadioGroup20",
                                                       "RadioGroup21", "Edit9", "Button2"}));
    }

    // "Списание": the boxes as typed (empty: initial text), the timing item, Edit5 afterwards
    // and the box shown, if any.
    void writeOff_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("month");
        QTest::addColumn<int>("timing");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("box");
        // clang-format off
        QTest::newRow("initial values at the start") << "" << "" << "" << "" << 0 << "-16254,8653206598" << "";
        QTest::newRow("initial values at the end") << "" << "" << "" << "" << 1 << "-19505,8383847917" << "";
        QTest::newRow("fractional rate typed") << "" << "12,5" << "" << "" << 0 << "-10204,4286405751" << "";
        QTest::newRow("numbers beyond the arrows' range") << "" << "" << "200" << "150" << 1 << "-19998,1685863481" << "";
        QTest::newRow("month 37 of 36") << "" << "" << "" << "37" << 0 << kOld << "error: InterestPayment.";
        QTest::newRow("rate -100 %") << "" << "-100" << "" << "" << 0 << kOld << "error: InterestPayment.";
        QTest::newRow("blank month number") << "" << "" << "" << " " << 0 << kOld << "error: ' ' is not a valid integer value.";
        // clang-format on
    }

    void writeOff()
    {
        QFETCH(QString, amount);
        QFETCH(QString, rate);
        QFETCH(QString, months);
        QFETCH(QString, month);
        QFETCH(int, timing);
        QFETCH(QString, shown);
        QFETCH(QString, box);
        QWidget* w = openOn("TabSheet1");
        for (const auto& [name, typed] : {std::pair{"Edit1", amount}, std::pair{"Edit2", rate},
                                          std::pair{"Edit3", months}, std::pair{"Edit4", month}})
            if (!typed.isEmpty())
                setText(w, name, typed);
        setText(w, "Edit5", kOld);
        byName<QRadioButton>(w, timing == 0 ? "RadioGroup10" : "RadioGroup11")->click();
        click(w, "Button1");
        QCOMPARE(text(w, "Edit5"), shown);
        if (shown != kOld) // the sign and the whole part in view, however narrow the box
            QCOMPARE(byName<QLineEdit>(w, "Edit5")->cursorPosition(), 0);
        QStringList boxes;
        for (const testkit::Box& b : std::as_const(m_dialogs->boxes))
            boxes << b.kind + QStringLiteral(": ") + b.text;
        QCOMPARE(boxes, box.isEmpty() ? QStringList() : QStringList{box});
    }

    void writeOffEmptyBox_data()
    {
        QTest::addColumn<QString>("empty");
        QTest::newRow("loan") << "Edit1";
        QTest::newRow("rate") << "Edit2";
        QTest::newRow("months") << "Edit3";
        QTest::newRow("month number, the others filled") << "Edit4";
    }

    void writeOffEmptyBox()
    {
        QFETCH(QString, empty);
        QWidget* w = openOn("TabSheet1");
        // The boxes after the empty one hold text that would fail to convert: the check comes first.
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4"})
            if (name > empty)
                setText(w, name, QStringLiteral("x"));
        setText(w, empty.toLatin1().constData(), QString());
        setText(w, "Edit5", kOld);
        click(w, "Button1");
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_dialogs->boxes.front().text, kEmptyInput);
        QCOMPARE(text(w, "Edit5"), kOld);
    }

    // "Продолжительность": rate, payment, loan as typed (empty: initial text), the timing item,
    // Edit9 afterwards and the box shown, if any.
    void duration_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("timing");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("box");
        const QString never = QStringLiteral("emptyInput: ") + kNeverRepaid;
        // clang-format off
        QTest::newRow("initial values at the start: never repaid") << "" << "" << "" << 0 << kOld << never;
        QTest::newRow("initial values at the end: never repaid") << "" << "" << "" << 1 << kOld << never;
        QTest::newRow("rate 0") << "0" << "" << "" << 0 << "10" << "";
        QTest::newRow("1 % at the end") << "1" << "" << "" << 1 << "10,5886444594232" << "";
        QTest::newRow("payment 0") << "1" << "0" << "" << 1 << kOld << never;
        QTest::newRow("rate -100 %") << "-100" << "" << "" << 0 << kOld << "error: NumberOfPeriods.";
        QTest::newRow("payment read after the loan") << "1" << "y" << "x" << 0 << kOld << "error: 'x' is not a valid floating point value.";
        // clang-format on
    }

    void duration()
    {
        QFETCH(QString, rate);
        QFETCH(QString, payment);
        QFETCH(QString, amount);
        QFETCH(int, timing);
        QFETCH(QString, shown);
        QFETCH(QString, box);
        QWidget* w = openOn("TabSheet2");
        for (const auto& [name, typed] :
             {std::pair{"Edit6", rate}, std::pair{"Edit7", payment}, std::pair{"Edit8", amount}})
            if (!typed.isEmpty())
                setText(w, name, typed);
        setText(w, "Edit9", kOld);
        byName<QRadioButton>(w, timing == 0 ? "RadioGroup20" : "RadioGroup21")->click();
        click(w, "Button2");
        QCOMPARE(text(w, "Edit9"), shown);
        if (shown != kOld)
            QCOMPARE(byName<QLineEdit>(w, "Edit9")->cursorPosition(), 0);
        QStringList boxes;
        for (const testkit::Box& b : std::as_const(m_dialogs->boxes))
            boxes << b.kind + QStringLiteral(": ") + b.text;
        QCOMPARE(boxes, box.isEmpty() ? QStringList() : QStringList{box});
    }

    void durationEmptyBox_data()
    {
        QTest::addColumn<QString>("empty");
        QTest::newRow("rate") << "Edit6";
        QTest::newRow("payment") << "Edit7";
        QTest::newRow("loan") << "Edit8";
    }

    void durationEmptyBox()
    {
        QFETCH(QString, empty);
        QWidget* w = openOn("TabSheet2");
        for (const char* name : {"Edit6", "Edit7", "Edit8"})
            if (name > empty)
                setText(w, name, QStringLiteral("x"));
        setText(w, empty.toLatin1().constData(), QString());
        setText(w, "Edit9", kOld);
        click(w, "Button2");
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_dialogs->boxes.front().text, kEmptyInput);
        QCOMPARE(text(w, "Edit9"), kOld);
    }

    // Closing only hides: the boxes, the answers, the timing and the tab in front stay.
    void closedWindowKeepsItsState()
    {
        QWidget* w = openOn("TabSheet2");
        setText(w, "Edit6", QStringLiteral("1"));
        byName<QRadioButton>(w, "RadioGroup21")->click();
        click(w, "Button2");
        w->close();
        QVERIFY(!w->isVisible());
        openFromMenu();
        QVERIFY(w->isVisible());
        QCOMPARE(byName<QTabWidget>(w, "PageControl1")->currentWidget()->objectName(),
                 QStringLiteral("TabSheet2"));
        QCOMPARE(text(w, "Edit6"), QStringLiteral("1"));
        QCOMPARE(text(w, "Edit9"), QStringLiteral("10,5886444594232"));
        QCOMPARE(byName<ui::RadioGroup>(w, "RadioGroup2")->itemIndex(), 1);
    }
};

QTEST_MAIN(TestKredWindow)
#include "tst_kredwindow.moc"
