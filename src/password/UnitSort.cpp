#include "password/UnitSort.h"

TfmSort::TfmSort(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmSort", QStringLiteral("Пароль"), 193, 111, 233, 379, QColor()})
{
}
