#include "ui/Dispatch.h"

#include "numtext/numtext.h"

#include <exception>

namespace ui {

void runGuarded(Dialogs& dialogs, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const numtext::CalcError& e) {
        // The whole message, with its length: a quoted text may hold NUL characters.
        const std::string_view message = e.message();
        dialogs.reportError(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    } catch (const std::exception& e) {
        dialogs.reportError(QString::fromUtf8(e.what()));
    }
}

} // namespace ui
