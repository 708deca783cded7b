#include "ui/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace ui {

QString Dialogs::errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void Dialogs::reportError(const QString& message)
{
    if (m_errorBoxOpen)
        return;
    m_errorBoxOpen = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_errorBoxOpen};
    errorBox(errorBoxText(message));
}

namespace {

// A box centred on the screen, modal over all windows of the program.
void runBox(QMessageBox& box)
{
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void QtDialogs::errorBox(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, kAppTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    runBox(box);
}

void QtDialogs::emptyInput(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    runBox(box);
}

Answer QtDialogs::confirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    runBox(box);
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Dismissed;
}

void QtDialogs::information(QWidget* parent, const QString& text)
{
    // A line break written as LF CR is one break, not a break and an empty line.
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), shown, QMessageBox::Ok, parent);
    runBox(box);
}

std::optional<QColor> QtDialogs::chooseColor(QWidget* parent, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> QtDialogs::chooseFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

QString QtDialogs::openFileName(QWidget* parent, const QString& filter, const QString& initialPath)
{
    QFileDialog dialog(parent, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // an opened file need not exist: loading reports it
    if (!initialPath.isEmpty())
        dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                const QString& initialPath)
{
    QFileDialog dialog(parent, QString(), initialPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!initialPath.isEmpty())
        dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().front();
}

void QtDialogs::openDocument(const QString& path, const QString& fragment)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    QDesktopServices::openUrl(url);
}

} // namespace ui
