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

AtomicFile::AtomicFile(const QString& path, FileAccess access, const std::string& failure)
    : m_file(std::make_unique<QSaveFile>(path))
    , m_failure(failure.empty() ? kStreamWriteError : failure)
{
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count: a
    // buffered QSaveFile can commit a truncated file and report success.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failure.empty() ? cannotCreate(path, m_file->errorString()) : FileError(failure);
#ifdef Q_OS_UNIX
    // The temporary file becomes the file: restrict it before a single byte is written.
    if (access == FileAccess::OwnerOnly && ::fchmod(m_file->handle(), S_IRUSR | S_IWUSR) != 0)
        throw cannotCreate(path, QString::fromLocal8Bit(std::strerror(errno)));
#else
    if (access == FileAccess::OwnerOnly)
        m_file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

AtomicFile::~AtomicFile() = default;

void AtomicFile::write(std::string_view bytes)
{
    if (m_file->write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        throw FileError(m_failure);
}

void AtomicFile::commit()
{
    if (!m_file->commit())
        throw FileError(m_failure);
}

void writeTextFile(const QString& path, const QString& text, FileAccess access)
{
    AtomicFile file(path, access);
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray bytes = crlf.toUtf8();
    file.write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    file.commit();
}

} // namespace ui
