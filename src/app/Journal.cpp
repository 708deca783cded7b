#include "app/Journal.h"

#include "calc/tape.h"
#include "ui/Dispatch.h"
#include "ui/TextFile.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString kClearQuestion = QStringLiteral("Очистить журнал?");
const QString kTextFilter = QStringLiteral("Текстовые файлы (*.txt)");

// The most a tape file of kMaxLines lines can hold; a larger file is read up to here.
constexpr qint64 kMaxFileBytes = qint64(tape::kMaxLines) * qint64(tape::kMaxLineBytes + 2);

std::vector<std::string> readTapeFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kMaxFileBytes);
    return tape::readLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString text(const std::string& line) { return QString::fromStdString(line); }

} // namespace

TfmJournal::TfmJournal(ui::Dialogs& dialogs, const QString& path,
                       std::function<void(const QString&)> putResult, const QRect& frame)
    : ui::ToolWindow(dialogs, {"fmJournal", QStringLiteral("Журнал"), frame.isEmpty() ? 580 : frame.x(),
                               frame.isEmpty() ? 112 : frame.y(), 340, 360, QColor()})
    , m_path(path)
    , m_putResult(std::move(putResult))
    , m_lines(readTapeFile(path))
{
    // Unlike the other tool windows the tape takes any size.
    setMinimumSize(200, 120);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    if (!frame.isEmpty())
        resize(frame.size());
}

QString TfmJournal::defaultPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).absoluteFilePath(QStringLiteral("vilorka/journal.txt"));
}

void TfmJournal::build()
{
    lstJournal = new QListWidget(this);
    ui::nameControl(lstJournal, "lstJournal", QStringLiteral("Журнал вычислений"));
    lstJournal->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& line : m_lines)
        lstJournal->addItem(text(line));
    lstJournal->scrollToBottom();
    connect(lstJournal, &QListWidget::itemDoubleClicked, this, &TfmJournal::itemActivated);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        ui::nameControl(b, name, caption);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    btnCopy = button("btnCopy", QStringLiteral("Копировать"));
    btnClear = button("btnClear", QStringLiteral("Очистить журнал"));
    btnSave = button("btnSave", QStringLiteral("Сохранить как…"));
    ui::connectGuarded(m_dialogs, btnCopy, &QPushButton::clicked, this, &TfmJournal::btnCopyClick);
    ui::connectGuarded(m_dialogs, btnClear, &QPushButton::clicked, this, &TfmJournal::btnClearClick);
    ui::connectGuarded(m_dialogs, btnSave, &QPushButton::clicked, this, &TfmJournal::btnSaveClick);

    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WindowShortcut);
    addAction(copy);
    ui::connectGuarded(m_dialogs, copy, &QAction::triggered, this, &TfmJournal::btnCopyClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnSave);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(lstJournal);
    layout->addLayout(buttons);
}

void TfmJournal::add(const std::string& line)
{
    m_lines.push_back(line);
    if (m_lines.size() > tape::kMaxLines)
        m_lines.erase(m_lines.begin());
    if (lstJournal) {
        if (lstJournal->count() >= static_cast<int>(tape::kMaxLines))
            delete lstJournal->takeItem(0);
        lstJournal->addItem(text(line));
        lstJournal->scrollToBottom();
    }
    scheduleSave();
}

void TfmJournal::scheduleSave()
{
    // Written once the key's handler has returned: a key pressed many times between two turns
    // of the event loop writes the file once, and a failure is reported on its own, after the
    // display shows the key's result.
    if (m_path.isEmpty() || m_savePending)
        return;
    m_savePending = true;
    QMetaObject::invokeMethod(
        this, [this] { ui::runGuarded(m_dialogs, [this] { save(); }); }, Qt::QueuedConnection);
}

void TfmJournal::save()
{
    m_savePending = false;
    if (m_path.isEmpty() || m_saveFailed)
        return;
    // Set until the write has succeeded: a write that raises stays reported once.
    m_saveFailed = true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    ui::writeTextFile(m_path, QString::fromStdString(tape::fileText(m_lines)));
    m_saveFailed = false;
}

void TfmJournal::btnCopyClick()
{
    QStringList copied;
    const QList<QListWidgetItem*> selected = lstJournal->selectedItems();
    for (int row = 0; row < lstJournal->count(); ++row)
        if (selected.isEmpty() || lstJournal->item(row)->isSelected())
            copied << lstJournal->item(row)->text();
    if (!copied.isEmpty())
        QGuiApplication::clipboard()->setText(copied.join(u'\n') + u'\n');
}

void TfmJournal::btnClearClick()
{
    if (m_dialogs.confirm(this, kClearQuestion) != ui::Answer::Yes)
        return;
    m_lines.clear();
    lstJournal->clear();
    scheduleSave();
}

void TfmJournal::btnSaveClick()
{
    const QString name = m_dialogs.saveFileName(this, kTextFilter, QStringLiteral("txt"), m_lastSaveName);
    if (name.isEmpty())
        return;
    m_lastSaveName = name;
    ui::writeTextFile(name, QString::fromStdString(tape::fileText(m_lines)));
}

void TfmJournal::itemActivated(QListWidgetItem* item)
{
    if (const auto result = tape::resultOf(item->text().toStdString()))
        m_putResult(QString::fromStdString(*result));
}
