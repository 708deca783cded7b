#include "loan/ScheduleSheet.h"

#include "ui/Dispatch.h"
#include "ui/TextFile.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <array>

namespace {

const QStringList kRateKinds{QStringLiteral("в месяц"), QStringLiteral("годовая")};
const QStringList kPaymentKinds{QStringLiteral("Аннуитетный"), QStringLiteral("Дифференцированный")};
const QStringList kTimingItems{QStringLiteral("В начале периода"), QStringLiteral("В конце периода")};
const std::array<QString, 5> kColumns{QStringLiteral("№"), QStringLiteral("Платёж"),
                                      QStringLiteral("Проценты"), QStringLiteral("Основной долг"),
                                      QStringLiteral("Остаток")};
const QString kCsvFilter = QStringLiteral("Файлы CSV (*.csv)");
const QString kCsvSuffix = QStringLiteral("csv");

QString money(loan::Kopecks value)
{
    return QString::fromStdString(loan::moneyText(value, numtext::decimalSeparator()));
}

} // namespace

// The rows of the schedule shown, formatted as they are drawn, so a long term costs nothing
// until it is scrolled into view.
class ScheduleModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<loan::ScheduleRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        const loan::ScheduleRow& row = m_rows.at(static_cast<std::size_t>(index.row()));
        switch (index.column()) {
        case 0:
            return QString::number(row.number);
        case 1:
            return money(row.payment);
        case 2:
            return money(row.interest);
        case 3:
            return money(row.principal);
        default:
            return money(row.balance);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        // The longest caption takes two lines, so that five columns fit the tab's width.
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < static_cast<int>(kColumns.size()))
            return QString(kColumns[static_cast<std::size_t>(section)]).replace(u' ', u'\n');
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    std::vector<loan::ScheduleRow> m_rows;
};

ScheduleSheet::ScheduleSheet(ui::Dialogs& dialogs)
    : m_dialogs(dialogs)
{
}

void ScheduleSheet::setVisible(bool visible)
{
    // Made while still hidden, so the controls are shown with the tab as if made with it.
    if (visible)
        ensureBuilt();
    QWidget::setVisible(visible);
}

void ScheduleSheet::ensureBuilt()
{
    if (m_built)
        return;
    m_built = true;
    build();
}

void ScheduleSheet::build()
{
    lblAmount = ui::label(this, "lblAmount", QStringLiteral("Сумма кредита"), {8, 12, 90, 13});
    edtAmount = ui::lineEdit(this, "edtAmount", lblAmount, {120, 8, 97, 21});
    lblMonths = ui::label(this, "lblMonths", QStringLiteral("Срок (месяцев)"), {8, 36, 90, 13});
    edtMonths = ui::lineEdit(this, "edtMonths", lblMonths, {120, 32, 49, 21});
    lblRate = ui::label(this, "lblRate", QStringLiteral("Процентная ставка"), {8, 60, 99, 13});
    edtRate = ui::lineEdit(this, "edtRate", lblRate, {120, 56, 49, 21});
    cbRateKind = new QComboBox(this);
    ui::nameControl(cbRateKind, "cbRateKind", QStringLiteral("Ставка"));
    cbRateKind->addItems(kRateKinds);
    cbRateKind->setGeometry(176, 56, 81, 21);
    rgPaymentKind =
        ui::radioGroup(this, "rgPaymentKind", QStringLiteral("Вид платежа"), kPaymentKinds, {8, 84, 157, 57});
    rgTiming = ui::radioGroup(this, "rgTiming", QStringLiteral("Происхождение выплат"), kTimingItems,
                              {172, 84, 157, 57});
    lblPayment = ui::label(this, "lblPayment", QString(), {8, 148, 321, 13});
    lblTotal = ui::label(this, "lblTotal", QString(), {8, 164, 321, 13});
    lblOverpayment = ui::label(this, "lblOverpayment", QString(), {8, 180, 321, 13});
    tblSchedule = new QTableView(this);
    ui::nameControl(tblSchedule, "tblSchedule", QStringLiteral("График платежей"));
    tblSchedule->setGeometry(8, 200, 321, 129);
    btnSchedule = ui::pushButton(this, "btnSchedule", QStringLiteral("Расчёт"), {8, 336, 75, 25});
    btnCopy = ui::pushButton(this, "btnCopy", QStringLiteral("Копировать"), {136, 336, 89, 25});
    btnSaveAs = ui::pushButton(this, "btnSaveAs", QStringLiteral("Сохранить как…"), {232, 336, 97, 25});

    edtAmount->setText(QStringLiteral("100000"));
    edtMonths->setText(QStringLiteral("12"));
    edtRate->setText(QStringLiteral("12"));
    cbRateKind->setCurrentIndex(1); // banks quote a yearly rate
    rgPaymentKind->setItemIndex(0);
    rgTiming->setItemIndex(1); // banks take payments at the end of each month
    m_model = new ScheduleModel(this);
    tblSchedule->setModel(m_model);
    tblSchedule->verticalHeader()->hide();
    tblSchedule->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tblSchedule->verticalHeader()->setDefaultSectionSize(tblSchedule->fontMetrics().height() + 4);
    tblSchedule->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSchedule->setTabKeyNavigation(false);
    for (QPushButton* button : {btnCopy, btnSaveAs})
        button->setEnabled(false); // until there is a table

    ui::chainTabOrder({edtAmount, edtMonths, edtRate, cbRateKind, rgPaymentKind->item(0),
                       rgPaymentKind->item(1), rgTiming->item(0), rgTiming->item(1), tblSchedule, btnSchedule,
                       btnCopy, btnSaveAs});
    ui::connectGuarded(m_dialogs, btnSchedule, &QPushButton::clicked, this, &ScheduleSheet::btnScheduleClick);
    ui::connectGuarded(m_dialogs, btnCopy, &QPushButton::clicked, this, &ScheduleSheet::btnCopyClick);
    ui::connectGuarded(m_dialogs, btnSaveAs, &QPushButton::clicked, this, &ScheduleSheet::btnSaveAsClick);
}

void ScheduleSheet::btnScheduleClick()
{
    if (!ui::requireFilled(m_dialogs, window(), {edtAmount, edtMonths, edtRate}))
        return;
    showSchedule(loan::paymentSchedule(
        edtAmount->text().toStdString(), edtMonths->text().toStdString(), edtRate->text().toStdString(),
        cbRateKind->currentIndex() == 1 ? loan::RateKind::PerYear : loan::RateKind::PerMonth,
        rgPaymentKind->itemIndex() == 1 ? loan::PaymentKind::Differentiated : loan::PaymentKind::Annuity,
        rgTiming->itemIndex() == 0 ? loan::PaymentTime::StartOfPeriod : loan::PaymentTime::EndOfPeriod));
}

void ScheduleSheet::btnCopyClick()
{
    if (m_schedule)
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(loan::scheduleText(*m_schedule, '\t', numtext::decimalSeparator())));
}

void ScheduleSheet::btnSaveAsClick()
{
    if (!m_schedule)
        return;
    const QString name = m_dialogs.saveFileName(window(), kCsvFilter, kCsvSuffix, m_saveName);
    if (name.isEmpty())
        return;
    m_saveName = name;
    // The byte-order mark tells spreadsheet programs the file is UTF-8.
    ui::writeTextFile(name, QChar(QChar::ByteOrderMark) +
                                QString::fromStdString(loan::scheduleText(*m_schedule, ';', ',')));
}

void ScheduleSheet::showSchedule(loan::Schedule schedule)
{
    const std::vector<loan::ScheduleRow>& rows = schedule.rows;
    const bool annuity = rgPaymentKind->itemIndex() != 1;
    lblPayment->setText(annuity ? QStringLiteral("Ежемесячный платёж: %1").arg(money(rows.front().payment))
                                : QStringLiteral("Первый платёж: %1; последний: %2")
                                      .arg(money(rows.front().payment), money(rows.back().payment)));
    lblTotal->setText(QStringLiteral("Всего выплачено: %1").arg(money(schedule.totalPaid)));
    lblOverpayment->setText(QStringLiteral("Переплата: %1").arg(money(schedule.overpayment)));
    for (QLabel* result : {lblPayment, lblTotal, lblOverpayment})
        result->setAccessibleName(result->text());
    m_model->setRows(rows);
    m_schedule = std::move(schedule);

    // Columns as wide as their widest text, the room left shared among the money columns.
    tblSchedule->resizeColumnsToContents();
    QHeaderView* header = tblSchedule->horizontalHeader();
    const int room = tblSchedule->width() - 2 * tblSchedule->frameWidth() -
                     tblSchedule->verticalScrollBar()->sizeHint().width();
    const int spare = room - header->length();
    for (int column = 1; spare > 0 && column < m_model->columnCount({}); ++column)
        header->resizeSection(column, header->sectionSize(column) + spare / 4);
    tblSchedule->scrollToTop();
    for (QPushButton* button : {btnCopy, btnSaveAs})
        button->setEnabled(true);
}
