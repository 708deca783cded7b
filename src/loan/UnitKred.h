#pragma once
// Loan calculator window: on "Списание" the interest part of one month's payment, on
// "Продолжительность" the number of months that repay a loan, on "График платежей" the whole
// payment schedule (ScheduleSheet). The arithmetic is in finance.h and schedule.h; this window
// checks for empty boxes, reads the payment timing and shows the answer.

#include "ui/ToolWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class ScheduleSheet;

namespace ui {
class RadioGroup;
class UpDown;
} // namespace ui

class TfmKred : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmKred(ui::Dialogs& dialogs);

public slots:
    void FormCreate();
    void Button1Click();
    void Button2Click();

protected:
    void build() override;

public:
    QTabWidget* PageControl1 = nullptr;

    // "Списание"
    QWidget* TabSheet1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    ui::UpDown* UpDown1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit4 = nullptr;
    ui::UpDown* UpDown3 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    ui::UpDown* UpDown2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit5 = nullptr;
    ui::RadioGroup* RadioGroup1 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Button1 = nullptr;

    // "Продолжительность"
    QWidget* TabSheet2 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Edit6 = nullptr;
    ui::UpDown* UpDown4 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* Edit9 = nullptr;
    ui::RadioGroup* RadioGroup2 = nullptr;
    QPushButton* Button2 = nullptr;

    // "График платежей", whose controls are made when it is first shown
    ScheduleSheet* TabSheet3 = nullptr;
};
