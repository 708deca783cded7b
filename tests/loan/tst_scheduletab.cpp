// The loan window's payment-schedule tab under the offscreen platform: made at its first show,
// its choices and results, the table, the CSV file's bytes and the text copied.

#include "app/Unitcalc.h"
#include "loan/ScheduleSheet.h"
#include "loan/UnitKred.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"

#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using testkit::byName;
using testkit::readAll;

namespace {

const QString kOld = QStringLiteral("old");

} // namespace

class TestScheduleTab : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    TfmKred* window() const { return m_app.windows.fmKred.get(); }
    ScheduleSheet* sheet() const { return window()->TabSheet3; }

    // The window opened from the main menu, the schedule tab in front.
    ScheduleSheet* open()
    {
        byName<QAction>(m_app.windows.fmCalc.get(), "N3")->trigger();
        window()->PageControl1->setCurrentWidget(sheet());
        return sheet();
    }

    QStringList shownResults() const
    {
        return {sheet()->lblPayment->text(), sheet()->lblTotal->text(), sheet()->lblOverpayment->text()};
    }

    QStringList row(int index) const
    {
        QStringList cells;
        const QAbstractItemModel* model = sheet()->tblSchedule->model();
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(index, column).data().toString();
        return cells;
    }

private slots:
    void init() { m_app.start(); }
    void cleanup() { m_app.stop(); }

    void madeAtFirstShow()
    {
        byName<QAction>(m_app.windows.fmCalc.get(), "N3")->trigger();
        auto* pages = window()->PageControl1;
        QCOMPARE(pages->indexOf(sheet()), 2);
        QCOMPARE(pages->tabText(2), QStringLiteral("График платежей"));
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(!sheet()->isBuilt());
        QVERIFY(sheet()->findChildren<QWidget*>().isEmpty());
        pages->setCurrentWidget(sheet());
        QVERIFY(sheet()->isBuilt());
        QVERIFY(sheet()->btnSchedule->isVisible());

        testkit::checkControls(
            sheet(), {"edtAmount Сумма кредита", "edtMonths Срок (месяцев)", "edtRate Процентная ставка",
                      "cbRateKind Ставка", "rgPaymentKind Вид платежа", "rgTiming Происхождение выплат",
                      "lblPayment ", "lblTotal ", "lblOverpayment ", "tblSchedule График платежей",
                      "btnSchedule Расчёт", "btnCopy Копировать", "btnSaveAs Сохранить как…"});
        QCOMPARE(sheet()->edtAmount->text(), QStringLiteral("100000"));
        QCOMPARE(sheet()->edtMonths->text(), QStringLiteral("12"));
        QCOMPARE(sheet()->edtRate->text(), QStringLiteral("12"));
        QCOMPARE(sheet()->cbRateKind->currentText(), QStringLiteral("годовая"));
        QCOMPARE(sheet()->rgPaymentKind->item(sheet()->rgPaymentKind->itemIndex())->text(),
                 QStringLiteral("Аннуитетный"));
        QCOMPARE(sheet()->rgTiming->item(sheet()->rgTiming->itemIndex())->text(),
                 QStringLiteral("В конце периода"));
        QVERIFY(!sheet()->btnCopy->isEnabled() && !sheet()->btnSaveAs->isEnabled());
        QCOMPARE(sheet()->tblSchedule->model()->rowCount(), 0);
    }

    // Boxes typed ("edtRate=1"; "=" alone empties a box), choices made (combo index, radio item
    // names), then "Расчёт": the three result lines, the rows, the first row, and the boxes shown.
    void calculate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QStringList>("boxes");
        const QStringList annuity{"Ежемесячный платёж: 8884,88", "Всего выплачено: 106618,53",
                                  "Переплата: 6618,53"};
        const QStringList old{kOld, kOld, kOld};
        const QStringList emptyInput{"emptyInput: Не введено значение!"};
        const QString first = QStringLiteral("1 8884,88 1000,00 7884,88 92115,12");
        // clang-format off
        QTest::newRow("as opened: annuity, 12 % a year, at the end") << "" << "" << annuity << 12 << first << QStringList();
        QTest::newRow("1 % a month is 12 % a year") << "edtRate=1" << "month" << annuity << 12 << first << QStringList();
        QTest::newRow("differentiated") << "" << "rgPaymentKind1" << QStringList{"Первый платёж: 9333,33; последний: 8416,70", "Всего выплачено: 106500,00", "Переплата: 6500,00"} << 12 << "1 9333,33 1000,00 8333,33 91666,67" << QStringList();
        QTest::newRow("at the start of each month") << "" << "rgTiming0" << QStringList{"Ежемесячный платёж: 8796,91", "Всего выплачено: 105562,90", "Переплата: 5562,90"} << 12 << "1 8796,91 0,00 8796,91 91203,09" << QStringList();
        QTest::newRow("1200 months at rate 0") << "edtMonths=1200 edtRate=0" << "" << QStringList{"Ежемесячный платёж: 83,33", "Всего выплачено: 100000,00", "Переплата: 0,00"} << 1200 << "1 83,33 0,00 83,33 99916,67" << QStringList();
        QTest::newRow("amount empty") << "edtAmount= edtMonths=x edtRate=x" << "" << old << 0 << "" << emptyInput;
        QTest::newRow("months empty") << "edtMonths= edtRate=x" << "" << old << 0 << "" << emptyInput;
        QTest::newRow("rate empty") << "edtRate=" << "" << old << 0 << "" << emptyInput;
        QTest::newRow("amount not a number") << "edtAmount=1O0" << "" << old << 0 << "" << QStringList{"error: '1O0' is not a valid floating point value."};
        QTest::newRow("term too long") << "edtMonths=1201" << "" << old << 0 << "" << QStringList{"error: Срок кредита должен быть от 1 до 1200 месяцев."};
        // clang-format on
    }

    void calculate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, choices);
        QFETCH(QStringList, results);
        QFETCH(int, rows);
        QFETCH(QString, firstRow);
        QFETCH(QStringList, boxes);
        open();
        for (QLabel* result : {sheet()->lblPayment, sheet()->lblTotal, sheet()->lblOverpayment})
            result->setText(kOld);
        testkit::fill(sheet(), typed);
        for (const QString& choice : choices.split(u' ', Qt::SkipEmptyParts)) {
            if (choice == QLatin1String("month"))
                sheet()->cbRateKind->setCurrentIndex(0);
            else
                byName<QRadioButton>(sheet(), choice)->click();
        }
        testkit::click(sheet(), "btnSchedule");
        QCOMPARE(shownResults(), results);
        QCOMPARE(sheet()->tblSchedule->model()->rowCount(), rows);
        if (rows > 0) {
            QCOMPARE(row(0).join(u' '), firstRow);
            QCOMPARE(row(rows - 1).back(), QStringLiteral("0,00"));
        }
        QCOMPARE(sheet()->btnCopy->isEnabled(), rows > 0);
        QCOMPARE(m_app.dialogs->shown(), boxes);
    }

    void tableHeaderAndColumnsFit()
    {
        open();
        testkit::click(sheet(), "btnSchedule");
        QTableView* table = sheet()->tblSchedule;
        QStringList headers;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            headers << table->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"№", "Платёж", "Проценты", "Основной\nдолг", "Остаток"}));
        QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(),
                 "all five columns in view, without scrolling sideways");
    }

    // The file for spreadsheets: a byte-order mark, ';' between fields, decimal comma, CR LF;
    // the dialog asked for CSV and offered the name chosen last time.
    void savesCsv()
    {
        open();
        const QString path = m_app.path("график.csv");
        m_app.dialogs->fileAnswers = {path, QString(), m_app.path("missing/g.csv")};
        testkit::click(sheet(), "btnSaveAs"); // nothing to save yet: no dialog
        QCOMPARE(m_app.dialogs->boxes.size(), 0);
        sheet()->edtAmount->setText(QStringLiteral("1"));
        sheet()->edtMonths->setText(QStringLiteral("2"));
        testkit::click(sheet(), "btnSchedule");
        testkit::click(sheet(), "btnSaveAs");
        QCOMPARE(m_app.dialogs->lastFilter, QStringLiteral("Файлы CSV (*.csv)"));
        QCOMPARE(m_app.dialogs->lastSuffix, QStringLiteral("csv"));
        QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF"
                                           "№;Платёж;Проценты;Основной долг;Остаток\r\n"
                                           "1;0,51;0,01;0,50;0,50\r\n"
                                           "2;0,51;0,01;0,50;0,00\r\n"));
        testkit::click(sheet(), "btnSaveAs"); // cancelled
        QCOMPARE(m_app.dialogs->lastInitialPath, path);
        testkit::click(sheet(), "btnSaveAs");
        QCOMPARE(m_app.dialogs->errors(),
                 QStringList{QStringLiteral("Cannot create file \"%1\". No such file or directory.")
                                 .arg(m_app.path("missing/g.csv"))});
        QCOMPARE(m_app.dialogs->lastInitialPath, path); // a cancel keeps the last name
    }

    void copiesTabSeparatedText()
    {
        open();
        QGuiApplication::clipboard()->setText(kOld);
        testkit::click(sheet(), "btnCopy"); // nothing to copy yet
        QCOMPARE(QGuiApplication::clipboard()->text(), kOld);
        sheet()->edtMonths->setText(QStringLiteral("2"));
        testkit::click(sheet(), "btnSchedule");
        testkit::click(sheet(), "btnCopy");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("№\tПлатёж\tПроценты\tОсновной долг\tОстаток\n"
                                "1\t50751,24\t1000,00\t49751,24\t50248,76\n"
                                "2\t50751,25\t502,49\t50248,76\t0,00\n"));
    }
};

QTEST_MAIN(TestScheduleTab)
#include "tst_scheduletab.moc"
