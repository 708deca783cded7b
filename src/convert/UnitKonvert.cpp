#include "convert/UnitKonvert.h"

TfmKonvert::TfmKonvert(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmKonvert", QStringLiteral("Конвертер измерительных величин"), 192, 114, 548,
                               494, QColor(192, 192, 192)})
{
}
