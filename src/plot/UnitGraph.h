#pragma once
// Plot window: a line through a typed column of numbers.

#include "ui/ToolWindow.h"

class TfmGraph : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmGraph(ui::Dialogs& dialogs);
};
