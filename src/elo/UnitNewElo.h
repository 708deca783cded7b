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

protected:
    void build() override;

public:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
