#include "plot/UnitGraph.h"

TfmGraph::TfmGraph(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs,
                     {"fmGraph", QStringLiteral("График"), 192, 114, 639, 480, QColor(192, 220, 192)})
{
}
