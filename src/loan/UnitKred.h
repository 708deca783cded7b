#pragma once
// Loan calculator window: on "Списание" the interest part of one month's payment, on
// "Продолжительность" the number of months that repay a loan, on "График платежей" the whole
// payment schedule (ScheduleSheet). The arithmetic is in finance.h and schedule.h; this window
// checks for empty boxes, reads the payment timing and shows the answer.

#include "ui/ToolWindow.h"

#include <QLineEdit>

class QFontMetrics;
class QLabel;
class QPushButton;
class QTabWidget;
class ScheduleSheet;

namespace ui {
class RadioGroup;
class UpDown;
} // namespace ui

// An answer box: an edit box of a fixed size whose answer may be longer than it. While the box
// has no focus, an answer that does not fit is shown shortened where its digits end, marked by
// "…", with its exponent always shown; the whole answer is its tool tip and its text, read and
// scrolled through as usual once the box has the focus.
class AnswerBox : public QLineEdit {
    Q_OBJECT
public:
    explicit AnswerBox(QWidget* parent);
    // What the box shows while it has no focus.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const; // where the text is drawn
    void updateToolTip();
};

// text as it fits in width pixels: whole, or its mantissa cut short and marked by "…" before the
// exponent ("E" and what follows), which is kept; at least one character of the mantissa (the
// box sets that shortest form tighter when it is still too wide).
QString shortenedAnswer(const QString& text, const QFontMetrics& metrics, int width);

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
    AnswerBox* Edit5 = nullptr;
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
    AnswerBox* Edit9 = nullptr;
    ui::RadioGroup* RadioGroup2 = nullptr;
    QPushButton* Button2 = nullptr;

    // "График платежей", whose controls are made when it is first shown
    ScheduleSheet* TabSheet3 = nullptr;
};
