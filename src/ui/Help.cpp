#include "ui/Help.h"

#include "ui/Dialogs.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {

namespace {

const QString kHelpFile = QStringLiteral("Help.htm");

} // namespace

QStringList helpFolders()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {QDir::currentPath(),
            QDir::cleanPath(programDir.absoluteFilePath(QStringLiteral("../share/vilorka"))),
            programDir.absolutePath()};
}

QString helpDocumentPath(const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).absoluteFilePath(kHelpFile);
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return QString();
}

void openHelp(Dialogs& dialogs, QWidget* owner, const QString& anchor, const QStringList& folders)
{
    const QString path = helpDocumentPath(folders);
    if (path.isEmpty()) {
        dialogs.information(owner, QStringLiteral("Справка не найдена: файла %1 нет ни в одной из папок:\n%2")
                                       .arg(kHelpFile, folders.join(u'\n')));
        return;
    }
    QWidget* window = owner->window();
    auto* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(dialogs, window);
    help->showDocument(path, anchor);
    help->show();
    help->raise();
    help->activateWindow();
}

HelpWindow::HelpWindow(Dialogs& dialogs, QWidget* owner)
    : QWidget(owner, Qt::Window)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(QStringLiteral("Справка"));
    Browser = new QTextBrowser(this);
    nameControl(Browser, "Browser", QStringLiteral("Справка"));
    btnBrowser = new QPushButton(QStringLiteral("Открыть в браузере"), this);
    nameControl(btnBrowser, "btnBrowser", btnBrowser->text());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnBrowser);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addLayout(buttons);
    resize(760, 600);
    connectGuarded(m_dialogs, btnBrowser, &QPushButton::clicked, this, &HelpWindow::openInBrowser);
}

void HelpWindow::showDocument(const QString& path, const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    if (path != m_path) {
        m_path = path;
        Browser->clearHistory();
    }
    Browser->setSource(url); // without a section: the top
}

void HelpWindow::openInBrowser()
{
    // The section the window shows, so the desktop's browser opens where the reader is.
    m_dialogs.openDocument(m_path, Browser->source().fragment());
}

} // namespace ui
