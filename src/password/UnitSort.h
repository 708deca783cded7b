#pragma once
// Password generator window.

#include "ui/ToolWindow.h"

class TfmSort : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmSort(ui::Dialogs& dialogs);
};
