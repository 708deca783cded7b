#pragma once
// Unit converter window.

#include "ui/ToolWindow.h"

class TfmKonvert : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmKonvert(ui::Dialogs& dialogs);
};
