#pragma once
// Writing the program's text files (the password list, the plot column): whole and atomic, so a
// failed save never leaves a half-written or empty file in place of the previous one. Failures
// are raised with the messages the windows show.

#include <QString>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class QSaveFile;

namespace ui {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot create file \"<full path>\". <description>" and its reading twin; the description
// loses its trailing blanks and full stops, since the error box adds its own.
FileError cannotCreate(const QString& path, const QString& description);
FileError cannotOpen(const QString& path, const QString& description);
inline constexpr const char* kStreamWriteError = "Stream write error";

enum class FileAccess { Default, OwnerOnly };

// A file replaced whole: written to a temporary file beside it that takes its place on commit.
// Destroyed uncommitted, it leaves the previous file as it was.
class AtomicFile {
public:
    // Throws cannotCreate. OwnerOnly creates the file readable and writable by its owner alone.
    // A failure message, when given, is what every failure throws instead.
    explicit AtomicFile(const QString& path, FileAccess access = FileAccess::Default,
                        const std::string& failure = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view bytes); // throws kStreamWriteError
    void commit();                      // throws kStreamWriteError

private:
    std::unique_ptr<QSaveFile> m_file;
    std::string m_failure;
};

// Replaces path with text (UTF-8), each '\n' written as CR LF. OwnerOnly creates the file
// readable and writable by its owner alone. Throws cannotCreate when the file cannot be
// created and kStreamWriteError when writing or replacing it fails.
void writeTextFile(const QString& path, const QString& text, FileAccess access = FileAccess::Default);

} // namespace ui
