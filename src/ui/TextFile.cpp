#include "ui/TextFile.h"

#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#endif

namespace ui {

namespace {

QString trimmedDescription(QString description)
{
    while (!description.isEmpty() && (description.back() == u' ' || description.back() == u'.'))
        description.chop(1);
    return description;
}

FileError fileError(const char* format, const QString& path, const QString& description)
{
    return FileError(QString::fromLatin1(format)
                         .arg(QFileInfo(path).absoluteFilePath(), trimmedDescription(description))
                         .toStdString());
}

} // namespace

FileError cannotCreate(const QString& path, const QString& description)
{
    return fileError("Cannot create file \"%1\". %2", path, description);
}

FileError cannotOpen(const QString& path, const QString& description)
{
    return fileError("Cannot open file \"%1\". %2", path, description);
}

void writeTextFile(const QString& path, const QString& text, FileAccess access)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count: a
    // buffered QSaveFile can commit a truncated file and report success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw cannotCreate(path, file.errorString());
#ifdef Q_OS_UNIX
    // The temporary file becomes the file: restrict it before a single byte is written.
    if (access == FileAccess::OwnerOnly && ::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        throw cannotCreate(path, QString::fromLocal8Bit(std::strerror(errno)));
#else
    if (access == FileAccess::OwnerOnly)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = crlf.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(kStreamWriteError);
}

} // namespace ui
