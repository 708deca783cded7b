#include "password/UnitSort.h"

#include "numtext/numtext.h"
#include "ui/Dispatch.h"
#include "ui/TextFile.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// List intervals of the three speed items, in milliseconds.
constexpr std::array<int, 3> kListIntervals{250, 200, 125};
constexpr int kCharacterInterval = 10;
constexpr int kListIntervalAtCreation = 200;
constexpr int kClipboardInterval = 30000; // how long a copied password stays on the clipboard

const QString kNoLookalikes = QStringLiteral("Без символов, похожих на кириллицу");
const QString kCopyPassword = QStringLiteral("Копировать пароль");

// Switching on a timer that is already on changes nothing: start would restart its count.
void switchOn(password::Ticker* timer)
{
    if (!timer->isActive())
        timer->start();
}

} // namespace

TfmSort::TfmSort(ui::Dialogs& dialogs, const QString& listFile, password::UniformSource source,
                 password::Clock& clock)
    // 40 pixels taller than the list alone needs, for the choice of alphabet and the strength
    : ui::ToolWindow(dialogs, {"fmSort", QStringLiteral("Пароль"), 193, 111, 233, 419, QColor()})
    , m_listFile(listFile)
    , m_clock(clock)
    , m_generator(std::move(source))
{
}

void TfmSort::build()
{
    Edit1 = ui::lineEdit(this, "Edit1", nullptr, {8, 8, 211, 26});
    Le1 = ui::labeledEdit(this, "Le1", QStringLiteral("Длинна"), {8, 58, 41, 21});
    UpDown1 = ui::upDown(this, "UpDown1", Le1, 0, 10, 6, {49, 58, 16, 21});
    btnSort = ui::pushButton(this, "btnSort", QStringLiteral("Генерация"), {8, 88, 69, 25});
    btnClear = ui::pushButton(this, "btnClear", QStringLiteral("Очистить"), {79, 88, 69, 25});
    Button1 = ui::pushButton(this, "Button1", QStringLiteral("Стоп"), {150, 88, 69, 25});
    RadioGroup1 = ui::radioGroup(this, "RadioGroup1", QStringLiteral("Скорость"),
                                 {QStringLiteral("4 пароля в секунду"), QStringLiteral("5 паролей в секунду"),
                                  QStringLiteral("8 паролей в секунду")},
                                 {8, 120, 211, 81});
    Memo1 = ui::memo(this, "Memo1", QStringLiteral("Пароли"), {8, 208, 211, 135});
    Timer1 = m_clock.makeTicker(this, QStringLiteral("Timer1"), kCharacterInterval);
    Timer2 = m_clock.makeTicker(this, QStringLiteral("Timer2"), kListIntervalAtCreation);
    chkNoLookalikes = new QCheckBox(kNoLookalikes, this);
    ui::nameControl(chkNoLookalikes, "chkNoLookalikes", kNoLookalikes);
    chkNoLookalikes->setGeometry(8, 349, 219, 17);
    // In a wide face the caption would be cut at the window's edge: set it a little tighter.
    if (const int overrun = chkNoLookalikes->sizeHint().width() - chkNoLookalikes->width(); overrun > 0) {
        QFont tighter = chkNoLookalikes->font();
        tighter.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overrun) / qreal(kNoLookalikes.size() - 1));
        chkNoLookalikes->setFont(tighter);
    }
    lblStrength = ui::label(this, "lblStrength", QString(), {8, 370, 211, 13});
    Timer3 = m_clock.makeTicker(this, QStringLiteral("Timer3"), kClipboardInterval);
    actCopyPassword = new QAction(kCopyPassword, this);
    actCopyPassword->setObjectName(QStringLiteral("actCopyPassword"));

    ui::setPixelHeight(Edit1, 16);
    Edit1->setAccessibleName(QStringLiteral("Пароль"));
    Le1->setText(QStringLiteral("6"));
    // Listed lines are not the user's edits: left in the undo history they would pile up for as
    // long as the list runs, and an undo would take passwords back out of the list.
    Memo1->setUndoRedoEnabled(false);

    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    Memo1->installEventFilter(this); // Ctrl+C on a line copies its password

    ui::chainTabOrder({Edit1, Le1, btnSort, btnClear, Button1, RadioGroup1, Memo1, chkNoLookalikes});
    ui::connectGuarded(m_dialogs, btnSort, &QPushButton::clicked, this, &TfmSort::btnSortClick);
    ui::connectGuarded(m_dialogs, btnClear, &QPushButton::clicked, this, &TfmSort::btnClearClick);
    ui::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TfmSort::Button1Click);
    ui::connectGuarded(m_dialogs, UpDown1, &ui::UpDown::clicked, this, &TfmSort::UpDown1Click);
    ui::connectGuarded(m_dialogs, RadioGroup1, &ui::RadioGroup::clicked, this, &TfmSort::RadioGroup1Click);
    ui::connectGuarded(m_dialogs, Timer1, &password::Ticker::timeout, this, &TfmSort::Timer1Timer);
    ui::connectGuarded(m_dialogs, Timer2, &password::Ticker::timeout, this, &TfmSort::Timer2Timer);
    ui::connectGuarded(m_dialogs, chkNoLookalikes, &QCheckBox::toggled, this, &TfmSort::chkNoLookalikesClick);
    ui::connectGuarded(m_dialogs, Le1, &QLineEdit::textChanged, this, &TfmSort::Le1Change);
    ui::connectGuarded(m_dialogs, actCopyPassword, &QAction::triggered, this, &TfmSort::actCopyPasswordClick);
    ui::connectGuarded(m_dialogs, Timer3, &password::Ticker::timeout, this, &TfmSort::Timer3Timer);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ui::runGuarded(m_dialogs, [this, at] { showMemoMenu(at); }); });
    Le1Change();
    if (QCoreApplication* application = QCoreApplication::instance())
        ui::connectGuarded(m_dialogs, application, &QCoreApplication::aboutToQuit, this,
                           &TfmSort::ProgramEnd);
}

void TfmSort::showEvent(QShowEvent* event)
{
    ToolWindow::showEvent(event);
    // A window restored from the taskbar is not shown anew.
    if (!event->spontaneous())
        ui::runGuarded(m_dialogs, [this] { FormShow(); });
}

void TfmSort::closeEvent(QCloseEvent* event)
{
    bool saved = false;
    ui::runGuarded(m_dialogs, [this, &saved] {
        FormClose();
        saved = true;
    });
    // A list that could not be saved keeps the window open; the next close tries again.
    if (saved)
        event->accept();
    else
        event->ignore();
}

void TfmSort::FormShow()
{
    m_everShown = true;
    RadioGroup1->setItemIndex(0); // runs RadioGroup1Click when the selection changes
}

void TfmSort::FormClose() { saveList(); }

void TfmSort::ProgramEnd()
{
    // A password copied from the list does not outlive the program on the clipboard, where a
    // clipboard manager would keep it.
    if (!m_copiedPassword.isEmpty())
        Timer3Timer();
    if (m_everShown)
        saveList();
}

void TfmSort::btnSortClick()
{
    switchOn(Timer1);
    Edit1->setText(QString::fromStdString(m_generator.currentPassword()));
    switchOn(Timer2);
}

void TfmSort::btnClearClick()
{
    m_generator.clear();
    Edit1->clear();
    switchOn(Timer1);
}

void TfmSort::UpDown1Click() { btnClearClick(); }

void TfmSort::Timer1Timer()
{
    // A length that fails is reported once: until the text changes, ticks draw nothing and say
    // nothing (so this window's own box about it holds the ticks). Reporting every tick would
    // open a new box 10 ms after each one is closed, and the user could never get back to the
    // box to correct it. A box of another window holds nothing: characters keep coming, and a
    // bad length, whose report that box would swallow, is not taken as reported, so it is
    // reported by the first tick after that box closes.
    const std::string length = Le1->text().toStdString();
    if (m_failedLength == length)
        return;
    m_failedLength = length; // kept only when the tick below fails
    struct Forget {
        std::optional<std::string>& failed;
        bool reportDropped;
        ~Forget()
        {
            if (reportDropped)
                failed.reset();
        }
    } forget{m_failedLength, m_dialogs.errorBoxOpen()};
    const bool complete = m_generator.characterTick(length);
    m_failedLength.reset();
    if (complete)
        Timer1->stop();
}

void TfmSort::Timer2Timer()
{
    btnSortClick();
    appendToMemo(Edit1->text());
    btnClearClick();
}

void TfmSort::RadioGroup1Click()
{
    const int item = RadioGroup1->itemIndex();
    if (item < 0 || item >= static_cast<int>(kListIntervals.size()))
        return;
    // A running timer starts counting anew from a change of its interval.
    if (Timer2->interval() != kListIntervals[item])
        Timer2->setInterval(kListIntervals[item]);
}

void TfmSort::Button1Click() { Timer2->stop(); }

void TfmSort::appendToMemo(const QString& line)
{
    // Only the end of the document is read and written, so a list that grows for hours costs
    // the same per line as a short one.
    QTextDocument* document = Memo1->document();
    const std::string appendix =
        password::memoAppendix(document->lastBlock().text().toStdString(), line.toStdString());
    QScrollBar* scroll = Memo1->verticalScrollBar();
    const bool followEnd = scroll->value() == scroll->maximum();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromStdString(appendix));
    if (followEnd)
        scroll->setValue(scroll->maximum());
}

QString TfmSort::listPath() const
{
    if (QDir::isAbsolutePath(m_listFile))
        return m_listFile;
    const QString current = QDir::currentPath();
    if (!current.isEmpty())
        return QDir(current).filePath(m_listFile);
    // The current folder was removed while the program runs, so nothing can be created in it.
    // The error names it as the system last knew it rather than by the bare file name.
    QString removed = QFileInfo(QStringLiteral("/proc/self/cwd")).symLinkTarget();
    if (removed.endsWith(QLatin1String(" (deleted)")))
        removed.chop(10);
    throw ui::cannotCreate(removed.isEmpty() ? m_listFile : QDir(removed).filePath(m_listFile),
                           QString::fromLocal8Bit(std::strerror(ENOENT)));
}

void TfmSort::saveList()
{
    // The list is written under a name the user never chose, in a folder others may write to:
    // a link planted under that name would have the passwords written wherever it points, and
    // a pipe or device would take them (or block the window). Only a plain file is replaced; a
    // folder is refused by the save itself.
    const QString path = listPath();
    const QFileInfo existing(path);
    if (existing.isSymLink())
        throw ui::cannotCreate(path, QStringLiteral("Is a symbolic link"));
    if (existing.exists() && !existing.isFile() && !existing.isDir())
        throw ui::cannotCreate(path, QStringLiteral("Not a regular file"));
    ui::writeTextFile(path, Memo1->toPlainText(), ui::FileAccess::OwnerOnly);
}

void TfmSort::chkNoLookalikesClick()
{
    m_generator.setAlphabet(chkNoLookalikes->isChecked() ? password::kUnambiguousAlphabet
                                                         : password::kAlphabet);
    Le1Change();
    btnClearClick(); // the password being built may hold characters now left out
}

void TfmSort::Le1Change()
{
    const std::optional<std::string> bits = password::strengthText(
        Le1->text().toStdString(), m_generator.alphabet().size(), numtext::decimalSeparator());
    lblStrength->setText(
        QStringLiteral("Стойкость: %1")
            .arg(bits ? QString::fromStdString(*bits) + QStringLiteral(" бит") : QStringLiteral("—")));
    lblStrength->setAccessibleName(lblStrength->text());
}

void TfmSort::showMemoMenu(const QPoint& at)
{
    m_menuLine = Memo1->cursorForPosition(at).block().text();
    const std::unique_ptr<QMenu> menu(Memo1->createStandardContextMenu(at));
    const QList<QAction*> standard = menu->actions();
    menu->insertAction(standard.value(0), actCopyPassword);
    menu->insertSeparator(standard.value(0));
    actCopyPassword->setEnabled(!m_menuLine.isEmpty());
    menu->exec(Memo1->viewport()->mapToGlobal(at));
}

void TfmSort::actCopyPasswordClick() { copyPassword(m_menuLine); }

bool TfmSort::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        // The selection when there is one, else the whole line the cursor stands on.
        const QTextCursor cursor = Memo1->textCursor();
        QString text = cursor.hasSelection() ? cursor.selectedText() : cursor.block().text();
        text.replace(QChar::ParagraphSeparator, u'\n');
        if (!text.isEmpty()) {
            ui::runGuarded(m_dialogs, [this, &text] { copyPassword(text); });
            return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}

void TfmSort::copyPassword(const QString& password)
{
    if (password.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setText(password);
    // Asks clipboard managers to keep the password out of their history.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data);
    m_copiedPassword = password;
    Timer3->start(); // 30 s from the latest copy
}

void TfmSort::Timer3Timer()
{
    Timer3->stop(); // runs out once
    // Whatever the user copied since is theirs to keep.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!m_copiedPassword.isEmpty() && clipboard->text() == m_copiedPassword)
        clipboard->clear();
    m_copiedPassword.clear();
}
