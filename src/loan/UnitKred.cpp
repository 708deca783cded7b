#include "loan/UnitKred.h"

TfmKred::TfmKred(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmKred", QStringLiteral("Кредит"), 193, 112, 372, 460, QColor(192, 192, 192)})
{
}
