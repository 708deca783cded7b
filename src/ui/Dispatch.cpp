#include "ui/Dispatch.h"

#include <exception>

namespace ui {

void runGuarded(Dialogs& dialogs, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        dialogs.reportError(QString::fromUtf8(e.what()));
    }
}

} // namespace ui
