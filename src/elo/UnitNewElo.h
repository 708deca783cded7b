#pragma once
// Initial-rating window: opponents' rating, games and points in, an estimated first rating
// out. The arithmetic is elo::initialRating.

#include "ui/ToolWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TfmNewElo : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmNewElo(ui::Dialogs& dialogs);

public slots:
    void Button1Click();
    void Button2Click();

public:
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QPushButton* Button1;
    QPushButton* Button2;
};
