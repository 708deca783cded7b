#include "ui/Help.h"

#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ui {

QString helpDocumentPath()
{
    const QString name = QStringLiteral("Help.htm");
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QStringList candidates{QDir::current().absoluteFilePath(name),
                                 programDir.absoluteFilePath(QStringLiteral("../share/vilorka/") + name),
                                 programDir.absoluteFilePath(name)};
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return QDir::cleanPath(path);
    return QString();
}

void openHelp(Dialogs& dialogs, const QString& anchor)
{
    const QString path = helpDocumentPath();
    if (!path.isEmpty())
        dialogs.openDocument(path, anchor);
}

} // namespace ui
