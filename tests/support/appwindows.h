#pragma once
// Shared by the window tests: the program's seven windows on a recording Dialogs, with the
// settings file and the current directory in a fresh temporary folder for each test function.

#include "app/Startup.h"
#include "numtext/numtext.h"
#include "support/testkit.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace testkit {

class AppWindows {
public:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeDialogs> dialogs;
    app::Windows windows;

    // Call from init(): "," as separator, a new folder as current directory, the windows made.
    void start()
    {
        numtext::setDecimalSeparator(',');
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(dir->path());
        dialogs = std::make_unique<FakeDialogs>();
        windows = app::createWindows(*dialogs, settingsPath());
    }
    // Call from cleanup(): windows closed before the folder they may write to is removed.
    void stop()
    {
        windows = app::Windows();
        QDir::setCurrent(m_oldCurrent);
        dialogs.reset();
        dir.reset();
    }
    QString path(const QString& name) const { return dir->filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("config/CalcConf.ini")); }

private:
    QString m_oldCurrent;
};

} // namespace testkit
