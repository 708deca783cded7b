#include "elo/UnitElo.h"

#include "elo/rating.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"

#include <QPushButton>

TfmElo::TfmElo(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmElo", QStringLiteral("Расчёт Эло"), 192, 114, 294, 178, QColor()})
{
}

void TfmElo::build()
{
    leYouElo = ui::labeledEdit(this, "leYouElo", QStringLiteral("Ваше Эло"), {8, 24, 57, 21});
    leEloTurn =
        ui::labeledEdit(this, "leEloTurn", QStringLiteral("Эло противника (турнира)"), {112, 24, 57, 21});
    leGame = ui::labeledEdit(this, "leGame", QStringLiteral("Сыграно партий"), {8, 72, 81, 21});
    leNo = ui::labeledEdit(this, "leNo", QStringLiteral("Набрано очков"), {8, 112, 81, 21});
    leNewElo = ui::labeledEdit(this, "leNewElo", QStringLiteral("Новое Эло"), {112, 72, 57, 21});
    bbStart = ui::pushButton(this, "bbStart", QStringLiteral("Расчёт"), {112, 112, 75, 25});
    bbClear = ui::pushButton(this, "bbClear", QStringLiteral("Сброс"), {192, 112, 75, 25});

    ui::chainTabOrder({leYouElo, leEloTurn, leGame, leNo, leNewElo, bbStart, bbClear});
    ui::connectGuarded(m_dialogs, bbStart, &QPushButton::clicked, this, &TfmElo::bbStartClick);
    ui::connectGuarded(m_dialogs, bbClear, &QPushButton::clicked, this, &TfmElo::bbClearClick);
}

void TfmElo::bbStartClick()
{
    if (!requireFilled({leYouElo, leEloTurn, leNo, leGame}))
        return;
    leNewElo->setText(
        QString::fromStdString(elo::newRating(leYouElo->text().toStdString(), leEloTurn->text().toStdString(),
                                              leNo->text().toStdString(), leGame->text().toStdString())));
}

void TfmElo::bbClearClick()
{
    for (QLineEdit* box : {leEloTurn, leGame, leNewElo, leNo, leYouElo})
        box->clear();
}
