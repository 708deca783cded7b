#pragma once
// Loan calculator window: on "Списание" the interest part of one month's payment, on
// "Продолжительность" the number of months that repay a loan. The arithmetic is in finance.h;
// this window checks for empty boxes, reads the payment timing and shows the answer.

#include "ui/ToolWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

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

public:
    QTabWidget* PageControl1;

    // "Списание"
    QWidget* TabSheet1;
    QLabel* Label6;
    QLabel* Label2;
    QLineEdit* Edit2;
    ui::UpDown* UpDown1;
    QLabel* Label4;
    QLineEdit* Edit4;
    ui::UpDown* UpDown3;
    QLabel* Label3;
    QLineEdit* Edit3;
    ui::UpDown* UpDown2;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label5;
    QLineEdit* Edit5;
    ui::RadioGroup* RadioGroup1;
    QLabel* Label7;
    QPushButton* Button1;

    // "Продолжительность"
    QWidget* TabSheet2;
    QLabel* Label8;
    QLabel* Label10;
    QLineEdit* Edit7;
    QLabel* Label11;
    QLineEdit* Edit8;
    QLabel* Label9;
    QLineEdit* Edit6;
    ui::UpDown* UpDown4;
    QLabel* Label12;
    QLineEdit* Edit9;
    ui::RadioGroup* RadioGroup2;
    QPushButton* Button2;
};
