#include "plot/UnitGraph.h"

#include "plot/plotdata.h"
#include "plot/MemoEditor.h"
#include "ui/Chart.h"
#include "ui/Dispatch.h"
#include "ui/TextFile.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QLibrary>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include <algorithm>
#include <chrono>
#include <atomic>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace {

const QString kInitialTitle = QStringLiteral("Диаграмма");
const QString kPlotTitle = QStringLiteral("График");
const QString kFilter = QStringLiteral("Текстовые файлы (*.txt)");
const QString kSuffix = QStringLiteral("txt");
const QString kImageFilter = QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)");
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

constexpr std::size_t kPieceBytes = 64 * 1024; // a step of loading or saving between progress checks
constexpr int kPollMs = 20;
constexpr int kProgressSteps = 1000;

QPushButton* coloredButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect,
                           const QColor& color)
{
    QPushButton* button = ui::pushButton(parent, name, caption, rect);
    ui::setCaptionColor(button, color, ui::DisabledCaption::Grey);
    return button;
}

// The memo module, loaded once from the program's library folder, as the chart's drawing is.
plot::CreateMemoEditor memoModule()
{
    static const plot::CreateMemoEditor create = [] {
        QLibrary module(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(VILORKA_MODULE_DIR "/vilorka_memo")));
        const auto entry = reinterpret_cast<plot::CreateMemoEditor>(module.resolve(plot::kCreateMemoEditor));
        if (!entry)
            qFatal("The plot memo cannot be loaded: %s", qPrintable(module.errorString()));
        return entry;
    }();
    return create;
}

// What a worker step reports and is asked: how far it has come, and whether to go on. A step
// that has stopped using anything of the window's says so (ownsAll), and is then left to finish
// alone when it is cancelled: a step that reads the memo is waited for instead.
struct Progress {
    std::atomic<std::int64_t> done{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> ownsAll{false};
    bool keepGoing(std::int64_t at)
    {
        done = at;
        return !cancelled;
    }
};

// While a step runs, the user's input reaches only the progress box: the windows repaint, and
// nothing else starts meanwhile (the box, once shown, is modal itself).
class InputBlocker final : public QObject {
public:
    explicit InputBlocker(QWidget* allowed)
        : m_allowed(allowed)
    {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Close: {
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget && widget != m_allowed && !m_allowed->isAncestorOf(widget);
        }
        default:
            return false;
        }
    }

private:
    QWidget* m_allowed;
};

// Runs work on a worker thread while the window's event loop goes on. A long step (by
// plot::showProgress on clock's milliseconds) shows a progress box of total units with "Отмена";
// cancelling stops the worker at its next check and returns false, and the caller keeps nothing
// of the step. What work throws is thrown here.
bool runWithProgress(QWidget* window, const QString& label, std::int64_t total,
                     const std::function<void(Progress&)>& work, const std::function<std::int64_t()>& clock)
{
    struct Step {
        Progress progress;
        std::atomic<bool> finished{false};
        std::exception_ptr error;
        std::function<void(Progress&)> work;
        // The loop that waits for the step, told at once when it ends (not at the next poll);
        // null once it has stopped waiting, so a worker left to finish alone tells nobody.
        std::mutex waiting;
        QEventLoop* waiter = nullptr;
    };
    const auto step = std::make_shared<Step>();
    step->work = work;
    Progress& progress = step->progress;
    QProgressDialog box(label, QStringLiteral("Отмена"), 0, kProgressSteps, window);
    box.setObjectName(QStringLiteral("progress"));
    box.setWindowTitle(window->windowTitle());
    box.setWindowModality(Qt::ApplicationModal);
    box.setAutoReset(false);
    box.setAutoClose(false);
    // The box is shown here when the step proves long, never by its own timer.
    box.setMinimumDuration(std::numeric_limits<int>::max());
    const std::int64_t start = clock();
    const auto showIfDue = [&] {
        if (!box.isVisible() && plot::showProgress(clock() - start, progress.done, total))
            box.show();
    };
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        // "Отмена" pressed, or the box cancelled otherwise (which does not signal).
        if (box.wasCanceled())
            progress.cancelled = true;
        if (step->finished || progress.cancelled) {
            loop.quit();
            return;
        }
        showIfDue();
        box.setValue(int(kProgressSteps * progress.done.load() / std::max<std::int64_t>(total, 1)));
    });
    QObject::connect(&box, &QProgressDialog::canceled, &loop, [&] {
        progress.cancelled = true;
        loop.quit();
    });
    const InputBlocker blocker(&box);
    showIfDue(); // a clock already past the deadline shows the box at once
    step->waiter = &loop;
    std::thread worker([step] {
        try {
            step->work(step->progress);
        } catch (...) {
            step->error = std::current_exception();
        }
        step->finished = true;
        const std::lock_guard lock(step->waiting);
        if (step->waiter)
            QMetaObject::invokeMethod(step->waiter, &QEventLoop::quit, Qt::QueuedConnection);
    });
    poll.start();
    if (!progress.cancelled)
        loop.exec();
    {
        const std::lock_guard lock(step->waiting);
        step->waiter = nullptr;
    }
    progress.cancelled = progress.cancelled || box.wasCanceled();
    if (progress.cancelled) {
        // A worker still using the window's things gets to where it stops or owns all it uses.
        while (!step->finished && !progress.ownsAll)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (progress.cancelled && progress.ownsAll)
        worker.detach();
    else
        worker.join();
    if (progress.cancelled)
        return false;
    if (step->error)
        std::rethrow_exception(step->error);
    return true;
}

// A data file opened for reading: only a regular file is opened, so a FIFO or a device never
// blocks the window.
void openDataFile(QFile& file)
{
    const QString path = file.fileName();
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw ui::cannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    QString reason;
    if (::fstat(fd, &info) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISDIR(info.st_mode))
        reason = QString::fromLocal8Bit(std::strerror(EISDIR));
    else if (!S_ISREG(info.st_mode))
        reason = QStringLiteral("Not a regular file");
    if (!reason.isEmpty()) {
        ::close(fd);
        throw ui::cannotOpen(path, reason);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ui::cannotOpen(path, file.errorString());
    }
#else
    if (!file.open(QIODevice::ReadOnly))
        throw ui::cannotOpen(path, file.errorString());
#endif
}

} // namespace

TfmGraph::TfmGraph(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmGraph", kPlotTitle, 192, 114, 639, 480, QColor(192, 220, 192)})
    , stepClock([] {
        return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count());
    })
{
}

void TfmGraph::build()
{
    Chart1 = new ui::Chart(this);
    Memo1 = memoModule()(this);
    QWidget* memo = Memo1->widget();
    ui::nameControl(memo, "Memo1", QStringLiteral("Данные графика"));
    memo->setGeometry(520, 8, 105, 201);
    BitBtn2 = coloredButton(this, "BitBtn2", kPlotTitle, {528, 224, 75, 25}, kGreen);
    BitBtn1 = coloredButton(this, "BitBtn1", QStringLiteral("Сохранить"), {528, 256, 75, 25}, kRed);
    BitBtn3 = coloredButton(this, "BitBtn3", QStringLiteral("Открыть"), {528, 288, 75, 25},
                            palette().color(QPalette::Active, QPalette::Highlight));
    Button2 = ui::pushButton(this, "Button2", QStringLiteral("Очистить"), {528, 320, 75, 25});

    ui::nameControl(Chart1, "Chart1", QString());
    Chart1->setGeometry(8, 8, 505, 417);
    Chart1->series(0)->setObjectName(QStringLiteral("Series1"));
    Chart1->appendTitleLine(kInitialTitle);
    ui::chainTabOrder({memo, BitBtn2, BitBtn1, BitBtn3, Button2});
    ui::connectGuarded(m_dialogs, BitBtn2, &QPushButton::clicked, this, &TfmGraph::BitBtn2Click);
    ui::connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TfmGraph::Button2Click);
    ui::connectGuarded(m_dialogs, BitBtn1, &QPushButton::clicked, this, &TfmGraph::BitBtn1Click);
    ui::connectGuarded(m_dialogs, BitBtn3, &QPushButton::clicked, this, &TfmGraph::BitBtn3Click);
    ui::connectGuarded(m_dialogs, Chart1, &ui::Chart::saveImageRequested, this, &TfmGraph::saveChartImage);
}

void TfmGraph::BitBtn2Click()
{
    const std::string_view text = Memo1->text();
    if (text.empty())
        return;
    // The memo cannot change while the worker reads it.
    Memo1->setReadOnly(true);
    const struct Writable {
        plot::MemoEditor* memo;
        ~Writable() { memo->setReadOnly(false); }
    } writable{Memo1};
    plot::Column column;
    if (!runWithProgress(
            this, QStringLiteral("Построение графика…"), std::int64_t(text.size()),
            [&](Progress& progress) {
                column = plot::readColumn(
                    text, [&](std::size_t at) { return progress.keepGoing(std::int64_t(at)); });
            },
            stepClock))
        return;
    Chart1->appendTitleLine(kPlotTitle);
    // The lines read before an unreadable one are drawn, all in one go, before its error.
    Chart1->series(0)->addPoints(std::move(column.values), kRed);
    if (column.error)
        throw *column.error;
    BitBtn2->setEnabled(false);
}

void TfmGraph::Button2Click()
{
    Chart1->clearTitle();
    Chart1->series(0)->clear();
    BitBtn2->setEnabled(true);
}

void TfmGraph::BitBtn1Click()
{
    const QString name = m_dialogs.saveFileName(this, kFilter, kSuffix, m_saveName);
    if (name.isEmpty())
        return;
    m_saveName = name;
    ui::AtomicFile file(name);
    Memo1->setReadOnly(true);
    const struct Writable {
        plot::MemoEditor* memo;
        ~Writable() { memo->setReadOnly(false); }
    } writable{Memo1};
    const std::string_view text = Memo1->text();
    const bool saved = runWithProgress(
        this, QStringLiteral("Сохранение…"), std::int64_t(text.size()),
        [&](Progress& progress) {
            // A memo that starts with a byte-order mark keeps it: loading drops the one written
            // before it.
            if (text.starts_with("\xEF\xBB\xBF"))
                file.write("\xEF\xBB\xBF");
            std::string piece;
            for (std::size_t at = 0; at < text.size(); at += kPieceBytes) {
                if (!progress.keepGoing(std::int64_t(at)))
                    return;
                piece.clear();
                for (const char c : text.substr(at, kPieceBytes)) {
                    if (c == '\n')
                        piece += '\r';
                    piece += c;
                }
                file.write(piece);
            }
        },
        stepClock);
    if (saved)
        file.commit(); // a cancelled save leaves the previous file as it was
}

void TfmGraph::BitBtn3Click()
{
    const QString name = m_dialogs.openFileName(this, kFilter, m_openName);
    if (name.isEmpty())
        return;
    m_openName = name;
    // The file, its text and the new memo text belong to the loading step: a cancelled load
    // finishes its current piece on its own and lets them go. The new text's buffer is made
    // on the worker too: taking the file's size of memory costs tens of milliseconds.
    struct Load {
        QFile file;
        QByteArray bytes;
        std::string_view data;
        std::unique_ptr<plot::MemoLoader> loader;
    };
    const auto load = std::make_shared<Load>();
    load->file.setFileName(name);
    openDataFile(load->file);
    const qint64 size = load->file.size();
    if (plot::cannotFit(size))
        throw plot::CapacityError();
    // The file is read through a mapping where it can be, else whole.
    const uchar* mapped = size > 0 ? load->file.map(0, size) : nullptr;
    if (mapped) {
        load->data = std::string_view(reinterpret_cast<const char*>(mapped), std::size_t(size));
    } else {
        load->bytes = load->file.readAll();
        if (load->file.error() != QFileDevice::NoError)
            throw ui::cannotOpen(name, load->file.errorString());
        load->data = std::string_view(load->bytes.constData(), std::size_t(load->bytes.size()));
    }
    if (!runWithProgress(
            this, QStringLiteral("Загрузка…"), std::int64_t(load->data.size()),
            [load, memo = Memo1](Progress& progress) {
                load->loader = memo->newLoader(std::int64_t(load->data.size()));
                progress.ownsAll = true;
                plot::MemoTextReader reader(load->data);
                while (!reader.atEnd()) {
                    if (!progress.keepGoing(std::int64_t(reader.bytesRead()))) {
                        load->loader.reset(); // freeing a long text takes a while: not on the window's time
                        return;
                    }
                    if (!load->loader->append(reader.next(kPieceBytes)))
                        throw std::runtime_error("Out of memory");
                }
            },
            stepClock))
        return;
    Memo1->take(std::move(load->loader)); // undo history cleared, cursor at the start
}

void TfmGraph::saveChartImage()
{
    const QString name = m_dialogs.saveFileName(this, kImageFilter, QStringLiteral("png"), m_imageName);
    if (name.isEmpty())
        return;
    m_imageName = name;
    const bool svg = name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    const QByteArray image = Chart1->image(svg ? ui::Chart::ImageFormat::Svg : ui::Chart::ImageFormat::Png);
    ui::AtomicFile file(name);
    file.write(std::string_view(image.constData(), std::size_t(image.size())));
    file.commit();
}
