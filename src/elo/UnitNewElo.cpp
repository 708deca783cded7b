#include "elo/UnitNewElo.h"

#include "elo/rating.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfmNewElo::TfmNewElo(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs,
                     {"fmNewElo", QStringLiteral("Расчёт начального Эло"), 192, 114, 255, 214, QColor()})
{
}

void TfmNewElo::build()
{
    Label1 = ui::label(this, "Label1", QStringLiteral("Эло противника (турнира)"), {16, 16, 130, 13});
    Label2 = ui::label(this, "Label2", QStringLiteral("Количество сыгранных партий"), {16, 48, 156, 13});
    Label3 = ui::label(this, "Label3", QStringLiteral("Набрано очков"), {16, 80, 76, 13});
    Label4 = ui::label(this, "Label4", QStringLiteral("Ваш рейтинг"), {16, 112, 64, 13});
    Edit1 = ui::lineEdit(this, "Edit1", Label1, {184, 8, 57, 21});
    Edit2 = ui::lineEdit(this, "Edit2", Label2, {184, 40, 57, 21});
    Edit3 = ui::lineEdit(this, "Edit3", Label3, {184, 72, 57, 21});
    Edit4 = ui::lineEdit(this, "Edit4", Label4, {184, 104, 57, 21});
    Button1 = ui::pushButton(this, "Button1", QStringLiteral("Расчёт"), {40, 144, 75, 25});
    Button2 = ui::pushButton(this, "Button2", QStringLiteral("Сброс"), {120, 144, 75, 25});

    ui::chainTabOrder({Edit1, Edit2, Edit3, Edit4, Button1, Button2});
    ui::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TfmNewElo::Button1Click);
    ui::connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TfmNewElo::Button2Click);
}

void TfmNewElo::Button1Click()
{
    // A score outside 0..100 per cent (negative points or games, more points than games) has
    // no rating difference: the result box keeps its text.
    if (const auto rating = elo::initialRating(Edit1->text().toStdString(), Edit2->text().toStdString(),
                                               Edit3->text().toStdString()))
        Edit4->setText(QString::fromStdString(*rating));
}

void TfmNewElo::Button2Click()
{
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit4})
        box->clear();
}
