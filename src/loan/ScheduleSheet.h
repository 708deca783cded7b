#pragma once
// The loan window's "График платежей" tab: amount, term and rate in, the monthly payment, the
// totals and the month-by-month table out (schedule.h computes it), with the table copied to
// the clipboard as tab-separated text or saved as a CSV file for spreadsheets. The controls are
// made the first time the tab is shown, so the window opens as fast as before.

#include "loan/schedule.h"
#include "ui/Dialogs.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ui {
class RadioGroup;
} // namespace ui

class ScheduleModel;

class ScheduleSheet : public QWidget {
    Q_OBJECT
public:
    explicit ScheduleSheet(ui::Dialogs& dialogs);

    // Makes the controls, the first time only; showing the tab makes them too.
    void ensureBuilt();
    void setVisible(bool visible) override;
    bool isBuilt() const { return m_built; }
    // The schedule the table shows; empty until the first calculation.
    const std::optional<loan::Schedule>& schedule() const { return m_schedule; }

public slots:
    void btnScheduleClick();
    void btnCopyClick();
    void btnSaveAsClick();

private:
    void build();
    void showSchedule(loan::Schedule schedule);

    ui::Dialogs& m_dialogs;
    bool m_built = false;
    std::optional<loan::Schedule> m_schedule;
    ScheduleModel* m_model = nullptr;
    QString m_saveName; // the file chosen last time

public:
    QLabel* lblAmount = nullptr;
    QLineEdit* edtAmount = nullptr;
    QLabel* lblMonths = nullptr;
    QLineEdit* edtMonths = nullptr;
    QLabel* lblRate = nullptr;
    QLineEdit* edtRate = nullptr;
    QComboBox* cbRateKind = nullptr;
    ui::RadioGroup* rgPaymentKind = nullptr;
    ui::RadioGroup* rgTiming = nullptr;
    QLabel* lblPayment = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblOverpayment = nullptr;
    QTableView* tblSchedule = nullptr;
    QPushButton* btnSchedule = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnSaveAs = nullptr;
};
