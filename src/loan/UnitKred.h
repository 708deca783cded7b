#pragma once
// Loan calculator window.

#include "ui/ToolWindow.h"

class TfmKred : public ui::ToolWindow {
    Q_OBJECT
public:
    explicit TfmKred(ui::Dialogs& dialogs);
};
