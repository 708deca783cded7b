#pragma once
// Rating-update window: own rating, opponents' rating, games and points in, the new Elo
// rating out. The arithmetic is elo::newRating; this window checks for empty boxes first.

#include "ui/ToolWindow.h"

class QPushButton;

namespace ui {
class LabeledEdit;
}

class TfmElo : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmElo(ui::Dialogs& dialogs);

public slots:
    void bbStartClick();
    void bbClearClick();

protected:
    void build() override;

public:
    ui::LabeledEdit* leYouElo = nullptr;
    ui::LabeledEdit* leEloTurn = nullptr;
    ui::LabeledEdit* leGame = nullptr;
    ui::LabeledEdit* leNo = nullptr;
    ui::LabeledEdit* leNewElo = nullptr;
    QPushButton* bbStart = nullptr;
    QPushButton* bbClear = nullptr;
};
