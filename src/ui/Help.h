#pragma once
// The help document Help.htm, shown in the program's own help window: a browser that reads the
// document and its anchors, so it opens at the asked section at once and works offline, with a
// button that hands the document to the desktop's browser. The document is looked up in the
// current folder, among the installed data beside the program (../share/vilorka, where the build
// tree keeps a copy too) and in the program's own folder; when none holds it, an information box
// says so and names the places looked in.

#include <QString>
#include <QStringList>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace ui {

class Dialogs;

// The folders looked in, in order.
QStringList helpFolders();
// The document's path in the first folder that holds it; empty when none does.
QString helpDocumentPath(const QStringList& folders = helpFolders());

// Shows the help window of owner's window at section anchor (empty: at the top), creating it the
// first time; or the box saying the document was not found.
void openHelp(Dialogs& dialogs, QWidget* owner, const QString& anchor = QString(),
              const QStringList& folders = helpFolders());

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    HelpWindow(Dialogs& dialogs, QWidget* owner);
    // Reads the document (again when it is another one) and scrolls to the section.
    void showDocument(const QString& path, const QString& anchor);

    QTextBrowser* Browser = nullptr;
    QPushButton* btnBrowser = nullptr;

private:
    void openInBrowser();

    Dialogs& m_dialogs;
    QString m_path;
};

} // namespace ui
