#pragma once
// Shared by the window tests: a Dialogs that records every box and answers from a script,
// lookup of controls by objectName that fails with the missing name, the check of a window's
// named controls, and a file's bytes.

#include "ui/Dialogs.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <deque>
#include <stdexcept>

#include <sys/resource.h>

namespace testkit {

struct Box {
    QString
        kind; // "error", "emptyInput", "confirm", "information", "color", "font", "open", "save", "document"
    QString text;
};

class FakeDialogs : public ui::Dialogs {
public:
    QList<Box> boxes;
    std::deque<ui::Answer> confirmAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    std::deque<QString> fileAnswers;
    QColor lastColorInitial;
    QFont lastFontInitial;

    void emptyInput(QWidget*, const QString& text) override
    {
        boxes.append({QStringLiteral("emptyInput"), text});
    }
    ui::Answer confirm(QWidget*, const QString& text) override
    {
        boxes.append({QStringLiteral("confirm"), text});
        return take(confirmAnswers, "confirm");
    }
    void information(QWidget*, const QString& text) override
    {
        boxes.append({QStringLiteral("information"), text});
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override
    {
        boxes.append({QStringLiteral("color"), initial.name()});
        lastColorInitial = initial;
        return take(colorAnswers, "colour dialog");
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override
    {
        boxes.append({QStringLiteral("font"), initial.family()});
        lastFontInitial = initial;
        return take(fontAnswers, "font dialog");
    }
    // The dialogs' arguments as the last call passed them.
    QString lastFilter, lastSuffix, lastInitialPath;
    QString openFileName(QWidget*, const QString& filter, const QString& initialPath) override
    {
        boxes.append({QStringLiteral("open"), filter});
        lastFilter = filter;
        lastInitialPath = initialPath;
        return take(fileAnswers, "open dialog");
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& defaultSuffix,
                         const QString& initialPath) override
    {
        boxes.append({QStringLiteral("save"), filter});
        lastFilter = filter;
        lastSuffix = defaultSuffix;
        lastInitialPath = initialPath;
        return take(fileAnswers, "save dialog");
    }
    // Recorded as path#fragment, or the path alone.
    void openDocument(const QString& path, const QString& fragment) override
    {
        boxes.append({QStringLiteral("document"), fragment.isEmpty() ? path : path + u'#' + fragment});
    }

    QStringList errors() const
    {
        QStringList out;
        for (const Box& b : boxes)
            if (b.kind == QLatin1String("error"))
                out << b.text;
        return out;
    }
    // Every box so far as "kind: text".
    QStringList shown() const
    {
        QStringList out;
        for (const Box& b : boxes)
            out << b.kind + QStringLiteral(": ") + b.text;
        return out;
    }

protected:
    void errorBox(const QString& text) override { boxes.append({QStringLiteral("error"), text}); }

private:
    template <typename T> static T take(std::deque<T>& answers, const char* what)
    {
        if (answers.empty())
            throw std::logic_error(std::string("test gave no answer for the ") + what);
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// While it lives, files cannot grow beyond bytes: writes fail as they do on a full disk (a
// file-size limit, with the signal that would end the process ignored).
class DiskFull {
public:
    explicit DiskFull(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~DiskFull() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit m_saved{};
};

// The control named name under root; fails the test naming the missing control.
template <typename T> T* byName(const QObject* root, const char* name)
{
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        const std::string message = std::string("no control named ") + name;
        QTest::qFail(message.c_str(), __FILE__, __LINE__);
        throw std::runtime_error(message);
    }
    return found;
}

template <typename T> T* byName(const QObject* root, const QString& name)
{
    return byName<T>(root, qPrintable(name));
}

inline void click(const QObject* root, const char* name)
{
    QTest::mouseClick(byName<QAbstractButton>(root, name), Qt::LeftButton);
}

// Space-separated "objectName=text" entries: each box under root given its text ("name=" empties it).
inline void fill(const QObject* root, const QString& entries)
{
    for (const QString& entry : entries.split(u' ', Qt::SkipEmptyParts))
        byName<QLineEdit>(root, entry.section(u'=', 0, 0))->setText(entry.section(u'=', 1));
}

// Each entry "objectName accessible name": the control under root by that name announces that
// name, lies inside root and clear of every control listed before it.
inline void checkControls(const QWidget* root, const QStringList& controls)
{
    QList<QRect> taken;
    for (const QString& c : controls) {
        auto* control = byName<QWidget>(root, qPrintable(c.section(u' ', 0, 0)));
        QCOMPARE(control->accessibleName(), c.section(u' ', 1));
        QVERIFY2(root->rect().contains(control->geometry()), qPrintable(c));
        for (const QRect& other : taken)
            QVERIFY2(!other.intersects(control->geometry()), qPrintable(c));
        taken << control->geometry();
    }
}

// The file's bytes, or "<no file>" when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

} // namespace testkit
