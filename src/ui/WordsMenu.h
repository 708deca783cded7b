#pragma once
// The context menu of a box that shows a number: the box's own items, then "Копировать прописью"
// (the number as an amount in rubles and kopecks) and "Копировать словами" (the number itself),
// which put the words on the clipboard. A number with more decimals than words are written
// with says so in the second item. Failures (not a number, too large) go to the error box.

#include "ui/Dialogs.h"

class QLineEdit;
class QMenu;

namespace ui {

inline const QString kCopyMoneyWords = QStringLiteral("Копировать прописью");
inline const QString kCopyNumberWords = QStringLiteral("Копировать словами");
inline const QString kCopyNumberWordsRounded = QStringLiteral("Копировать словами (округлив до миллионных)");

// Gives box this context menu.
void addWordsMenu(QLineEdit* box, Dialogs& dialogs);

// The menu as it is shown for box now; the caller owns it.
QMenu* wordsMenu(QLineEdit* box, Dialogs& dialogs);

} // namespace ui
