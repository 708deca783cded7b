#include "ui/WordsMenu.h"

#include "numtext/numtext.h"
#include "ui/Dispatch.h"
#include "words/words.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

namespace ui {

namespace {

void addCopy(QMenu* menu, const char* name, const QString& caption, Dialogs& dialogs, QLineEdit* box,
             std::string (*spell)(std::string_view, char))
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, box, [&dialogs, box, spell] {
        runGuarded(dialogs, [box, spell] {
            const std::string text = spell(box->text().toStdString(), numtext::decimalSeparator());
            QGuiApplication::clipboard()->setText(QString::fromStdString(text));
        });
    });
}

} // namespace

QMenu* wordsMenu(QLineEdit* box, Dialogs& dialogs)
{
    QMenu* menu = box->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("mnuWords"));
    menu->addSeparator();
    addCopy(menu, "mnuMoneyWords", kCopyMoneyWords, dialogs, box, &words::money);
    const bool rounds = words::roundsNumber(box->text().toStdString(), numtext::decimalSeparator());
    addCopy(menu, "mnuNumberWords", rounds ? kCopyNumberWordsRounded : kCopyNumberWords, dialogs, box,
            &words::number);
    return menu;
}

void addWordsMenu(QLineEdit* box, Dialogs& dialogs)
{
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(box, &QWidget::customContextMenuRequested, box, [box, &dialogs](const QPoint& at) {
        QMenu* menu = wordsMenu(box, dialogs);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(box->mapToGlobal(at));
    });
}

} // namespace ui
