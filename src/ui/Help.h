#pragma once
// The help document Help.htm: looked up in the current folder first, then among the installed
// data, and handed to the desktop through the dialogs service. A missing document shows nothing.

#include <QString>

namespace ui {

class Dialogs;

QString helpDocumentPath(); // empty when no document is found
// Opens the document at section anchor (empty: at its top).
void openHelp(Dialogs& dialogs, const QString& anchor = QString());

} // namespace ui
