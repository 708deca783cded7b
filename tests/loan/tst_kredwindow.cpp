// The loan window under the offscreen platform, opened from the main menu, both tabs driven by
// objectName with the message service answering.

#include "app/Unitcalc.h"
#include "loan/UnitKred.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using testkit::byName;

namespace {

const QString kOld = QStringLiteral("old");

} // namespace

class TestKredWindow : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    QWidget* open()
    {
        byName<QAction>(m_app.windows.fmCalc.get(), "N3")->trigger();
        return m_app.windows.fmKred.get();
    }

private slots:
    void init() { m_app.start(); }
    void cleanup() { m_app.stop(); }

    void frameAndPages()
    {
        QWidget* w = open();
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 192, 192));
        auto* pages = byName<QTabWidget>(w, "PageControl1");
        QCOMPARE(pages->geometry(), QRect(8, 16, 345, 393));
        QCOMPARE(pages->currentWidget(), byName<QWidget>(w, "TabSheet1")); // in front at creation
        QCOMPARE(pages->indexOf(byName<QWidget>(w, "TabSheet2")), 1);
        QCOMPARE(pages->tabText(0), QStringLiteral("Списание"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Продолжительность"));
        for (const auto& [name, rect] : {std::pair{"Button1", QRect(128, 336, 75, 25)},
                                         {"Button2", {136, 328, 75, 25}},
                                         {"RadioGroup1", {8, 224, 137, 97}},
                                         {"RadioGroup2", {80, 232, 185, 81}},
                                         {"UpDown1", {137, 88, 16, 21}},
                                         {"UpDown3", {313, 88, 16, 24}},
                                         {"UpDown2", {313, 128, 16, 24}},
                                         {"UpDown4", {217, 152, 16, 21}}})
            QCOMPARE(byName<QWidget>(w, name)->geometry(), rect);
        for (const char* name : {"Button1", "Button2"})
            QCOMPARE(byName<QPushButton>(w, name)->text(), QStringLiteral("Расчёт"));
        for (const char* name : {"RadioGroup1", "RadioGroup2"}) {
            auto* group = byName<ui::RadioGroup>(w, name);
            QCOMPARE(group->title(), QStringLiteral("Происхождение выплат"));
            QCOMPARE(group->item(0)->text(), QStringLiteral("В начале периода"));
            QCOMPARE(group->item(1)->text(), QStringLiteral("В конце периода"));
            QCOMPARE(group->itemIndex(), 0);
        }
    }

    // Every box on its sheet, at its place, with its initial text and font, named by its label.
    void boxes_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<int>("pixelSize"); // -1: the window's 8-point font
        QTest::addColumn<QString>("label");
        QTest::addColumn<QPoint>("labelAt");
        QTest::addColumn<QString>("caption");
        // clang-format off
        QTest::newRow("rate") << "TabSheet1" << "Edit2" << QRect(112, 88, 25, 21) << "20" << -1 << "Label2" << QPoint(8, 96) << "Процентная ставка";
        QTest::newRow("month number") << "TabSheet1" << "Edit4" << QRect(280, 88, 33, 24) << "17" << 13 << "Label4" << QPoint(200, 96) << "Номер месяца";
        QTest::newRow("months") << "TabSheet1" << "Edit3" << QRect(280, 128, 33, 24) << "36" << 13 << "Label3" << QPoint(8, 136) << "Количество месяцев в течении которых вы платите";
        QTest::newRow("loan") << "TabSheet1" << "Edit1" << QRect(16, 184, 97, 24) << "100000" << 13 << "Label1" << QPoint(16, 168) << "Сумма кредита";
        QTest::newRow("written off") << "TabSheet1" << "Edit5" << QRect(208, 184, 97, 21) << "" << -1 << "Label5" << QPoint(208, 168) << "Списанная сумма";
        QTest::newRow("payment") << "TabSheet2" << "Edit7" << QRect(184, 64, 121, 21) << "5000" << -1 << "Label10" << QPoint(8, 72) << "Величена регулярных выплат";
        QTest::newRow("first loan") << "TabSheet2" << "Edit8" << QRect(184, 112, 121, 21) << "50000" << -1 << "Label11" << QPoint(8, 120) << "Первоначальная сумма кредита";
        QTest::newRow("duration rate") << "TabSheet2" << "Edit6" << QRect(184, 152, 33, 21) << "20" << -1 << "Label9" << QPoint(8, 160) << "Процентная ставка";
        QTest::newRow("months needed") << "TabSheet2" << "Edit9" << QRect(184, 192, 49, 21) << "" << -1 << "Label12" << QPoint(8, 200) << "Количество этапов (месяцев)";
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
        QFETCH(QPoint, labelAt);
        QFETCH(QString, caption);
        QWidget* w = open();
        auto* edit = byName<QLineEdit>(w, name);
        auto* title = byName<QLabel>(w, label);
        QCOMPARE(edit->parentWidget()->objectName(), sheet);
        QCOMPARE(title->parentWidget()->objectName(), sheet);
        QCOMPARE(edit->geometry(), rect);
        QCOMPARE(edit->text(), initial);
        QCOMPARE(edit->font().pixelSize(), pixelSize);
        QCOMPARE(title->pos(), labelAt);
        QCOMPARE(title->text(), caption);
        QCOMPARE(title->buddy(), edit);
        QCOMPARE(edit->accessibleName(), caption);
        if (title->geometry().bottom() >= rect.top()) // side by side: the caption ends before its box
            QVERIFY(title->x() + title->sizeHint().width() <= rect.x());
    }

    // Each arrow writes into its own box, within 0 to 100.
    void upDownWritesItsBox_data()
    {
        for (const char* column : {"upDown", "arrow", "box", "typed", "shown"})
            QTest::addColumn<QString>(column);
        // clang-format off
        QTest::newRow("rate up") << "UpDown1" << "up" << "Edit2" << "20" << "21";
        QTest::newRow("month number up") << "UpDown3" << "up" << "Edit4" << "17" << "18";
        QTest::newRow("months down") << "UpDown2" << "down" << "Edit3" << "36" << "35";
        QTest::newRow("duration rate down") << "UpDown4" << "down" << "Edit6" << "20" << "19";
        QTest::newRow("no step past 100") << "UpDown1" << "up" << "Edit2" << "100" << "100";
        // clang-format on
    }

    void upDownWritesItsBox()
    {
        QFETCH(QString, upDown);
        QFETCH(QString, arrow);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QWidget* w = open();
        auto* edit = byName<QLineEdit>(w, box);
        edit->setText(typed);
        QTest::mouseClick(byName<ui::UpDown>(w, upDown)->findChild<QToolButton*>(arrow), Qt::LeftButton);
        QCOMPARE(edit->text(), shown);
    }

    // Each LF CR of a help text is one line break, never an empty line; the label fits its text.
    void helpTexts()
    {
        const struct {
            const char* name;
            QPoint at;
            QStringList lines;
        } texts[] = {
            // clang-format off
            {"Label6", {24, 16}, {"Функция вычисляет процентную ставку кредита", "на определенном этапе в денежном исчислении"}},
            {"Label7", {176, 224}, {"Знак минус в результате ", "функции показывает,", "что данная сумма", " является кредитовой, т.е.", " должна быть списана", "со счета."}},
            {"Label8", {40, 16}, {"Функция определяет количество этапов (месяцев),", "необходимых для погашения кредита"}},
            // clang-format on
        };
        QWidget* w = open();
        for (const auto& text : texts) {
            auto* help = byName<QLabel>(w, text.name);
            QCOMPARE(help->text().split(QLatin1Char('\n')), text.lines);
            QCOMPARE(help->geometry(), QRect(text.at, help->sizeHint()));
            QVERIFY(help->parentWidget()->rect().contains(help->geometry()));
        }
    }

    // Either button: the boxes typed ("Edit2=12,5 Edit4=": empty after "=" clears), the timing
    // item clicked, the answer box afterwards (its beginning in view) and the boxes shown.
    void calculate_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("boxes");
        const QStringList emptyInput{QStringLiteral("emptyInput: Не введено значение!")};
        // clang-format off
        QTest::newRow("write-off, initial values at the start") << "TabSheet1" << "" << "RadioGroup10" << "-16254,8653206598" << QStringList();
        QTest::newRow("write-off, initial values at the end") << "TabSheet1" << "" << "RadioGroup11" << "-19505,8383847917" << QStringList();
        QTest::newRow("write-off reads the boxes, not the arrows") << "TabSheet1" << "Edit3=200 Edit4=150" << "RadioGroup11" << "-19998,1685863481" << QStringList();
        QTest::newRow("write-off, month 37 of 36") << "TabSheet1" << "Edit4=37" << "RadioGroup10" << kOld << QStringList{"error: InterestPayment."};
        QTest::newRow("write-off, loan empty") << "TabSheet1" << "Edit1= Edit2=x Edit3=x Edit4=x" << "RadioGroup10" << kOld << emptyInput;
        QTest::newRow("write-off, rate empty") << "TabSheet1" << "Edit2= Edit3=x Edit4=x" << "RadioGroup10" << kOld << emptyInput;
        QTest::newRow("write-off, months empty") << "TabSheet1" << "Edit3= Edit4=x" << "RadioGroup10" << kOld << emptyInput;
        QTest::newRow("write-off, month number empty") << "TabSheet1" << "Edit4=" << "RadioGroup10" << kOld << emptyInput;
        QTest::newRow("duration, initial values: never repaid") << "TabSheet2" << "" << "RadioGroup20" << kOld << QStringList{"emptyInput: Кредит не будет погашен: выплата не покрывает проценты"};
        QTest::newRow("duration, 1 % at the end") << "TabSheet2" << "Edit6=1" << "RadioGroup21" << "10,5886444594232" << QStringList();
        QTest::newRow("duration, rate -100 %") << "TabSheet2" << "Edit6=-100" << "RadioGroup20" << kOld << QStringList{"error: NumberOfPeriods."};
        QTest::newRow("duration, rate empty") << "TabSheet2" << "Edit6= Edit7=x Edit8=x" << "RadioGroup20" << kOld << emptyInput;
        QTest::newRow("duration, payment empty") << "TabSheet2" << "Edit7= Edit8=x" << "RadioGroup20" << kOld << emptyInput;
        QTest::newRow("duration, loan empty") << "TabSheet2" << "Edit8=" << "RadioGroup20" << kOld << emptyInput;
        // clang-format on
    }

    void calculate()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, typed);
        QFETCH(QString, item);
        QFETCH(QString, shown);
        QFETCH(QStringList, boxes);
        const bool writeOff = sheet == QLatin1String("TabSheet1");
        QWidget* w = open();
        byName<QTabWidget>(w, "PageControl1")->setCurrentWidget(byName<QWidget>(w, sheet));
        auto* answer = byName<QLineEdit>(w, writeOff ? "Edit5" : "Edit9");
        answer->setText(kOld);
        testkit::fill(w, typed);
        byName<QRadioButton>(w, item)->click();
        testkit::click(w, writeOff ? "Button1" : "Button2");
        QCOMPARE(answer->text(), shown);
        QCOMPARE(answer->cursorPosition(), shown == kOld ? kOld.size() : 0);
        QCOMPARE(m_app.dialogs->shown(), boxes);
    }

    // An answer longer than its box shows, while the box has no focus, that it goes on: its
    // digits cut with "…", its exponent whole, the whole answer in the tool tip. With the focus
    // the box shows its text as any edit box does.
    void longAnswersShowThatTheyContinue_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("end"); // of the text shown without focus
        // clang-format off
        QTest::newRow("fits") << "Edit5" << "-16254,86" << "-16254,86";
        QTest::newRow("too many digits") << "Edit5" << "-16254,8653206598" << "…";
        QTest::newRow("large exponent") << "Edit5" << "-2,78170229094446E298" << "…E298";
        QTest::newRow("small exponent, narrow box") << "Edit9" << "1,00499170807131E-300" << "…E-300";
        // clang-format on
    }

    void longAnswersShowThatTheyContinue()
    {
        QFETCH(QString, box);
        QFETCH(QString, answer);
        QFETCH(QString, end);
        QWidget* w = open();
        auto* edit = byName<AnswerBox>(w, box);
        byName<QTabWidget>(w, "PageControl1")->setCurrentWidget(edit->parentWidget());
        edit->setText(answer);
        const QString shown = edit->shownText();
        QVERIFY2(shown.endsWith(end), qPrintable(shown));
        const bool whole = shown == answer;
        QVERIFY2(whole || shown.size() > end.size(), qPrintable(shown)); // some of the digits shown
        QVERIFY(answer.startsWith(shown.left(shown.size() - end.size())));
        QCOMPARE(edit->toolTip(), whole ? QString() : answer);
        QCOMPARE(edit->text(), answer);
        // What is shown fits inside the box.
        QVERIFY(edit->fontMetrics().horizontalAdvance(shown) < edit->width());
        edit->setFocus();
        QApplication::setActiveWindow(w);
        QTRY_VERIFY(edit->hasFocus());
        QCOMPARE(edit->shownText(), answer);
    }
};

QTEST_MAIN(TestKredWindow)
#include "tst_kredwindow.moc"
