// Random input over the running program. The seven windows are created as at start-up and
// receive clicks on every button, typing into every box, keys, list and page picks, menu
// commands, closes, moves and time passing, while the message service answers at random and
// the files the windows write are now and then obstructed. After every event: the event came
// back (a bound only a hang reaches), no value the program writes (answers, the display, the
// chart's titles and axes, captions, lists) shows an infinity or a NaN, every box is one the
// program shows, at most one error box per handler, and every file written is complete (or,
// when writing failed, the previous file is untouched). Closing the main window ends the
// program and starts it again.
//
// Time is the test's: the password window's timers run on a clock each "time passes" event
// steps, and the passwords are drawn from the seed, so a seed names one run on any machine,
// however busy. VILORKA_MONKEY_SEED repeats a run (the seed is printed first, so a run that
// hangs can be repeated too); VILORKA_MONKEY_EVENTS sets its length (a long run also needs a
// longer QTEST_FUNCTION_TIMEOUT). The run ends with a line VILORKA_MONKEY_DIGEST=<hex>, a digest
// of every event and of what the windows showed after it: two runs of one seed and length
// print the same digest.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "loan/ScheduleSheet.h"
#include "loan/UnitKred.h"
#include "numtext/numtext.h"
#include "password/UnitSort.h"
#include "plot/MemoEditor.h"
#include "plot/UnitGraph.h"
#include "plot/plotdata.h"
#include "ui/Chart.h"
#include "ui/Dispatch.h"
#include "ui/ToolWindow.h"
#include "support/ManualClock.h"
#include "support/testkit.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void require(bool ok, const QString& what)
{
    if (!ok)
        throw Failure(what.toStdString());
}

QByteArray crlf(QString text) { return text.replace(u'\n', QStringLiteral("\r\n")).toUtf8(); }

// A file as a test sees it: its bytes, or a mark for a folder or nothing.
QByteArray fileState(const QString& path)
{
    if (QFileInfo(path).isDir())
        return "<folder>";
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// An infinity or a NaN written as a word: "inf", "-INF", "Infinity", "nan".
bool showsInfOrNan(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("(?<![\\w.,])[-+]?(inf(inity)?|nan)(?!\\w)"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
    return text.contains(u'n', Qt::CaseInsensitive) && word.match(text).hasMatch();
}

// Every box the program shows, as kind:text, with the error box's full stop. Group 1 is the
// text a conversion error could not read.
const QRegularExpression& knownBoxes()
{
    static const QRegularExpression known(
        QStringLiteral("^(?:error:(?:'(.*)' is not a valid (?:floating point|integer) value"
                       "|Invalid floating point operation|Floating point division by zero"
                       "|Floating point overflow|Division by zero|Integer overflow"
                       "|Unable to write to CalcConf\\.ini|Cannot (?:create|open) file \"/.+\"\\. \\S.*[^. ]"
                       "|Stream write error|Text exceeds memo capacity|InterestPayment|NumberOfPeriods"
                       "|Сумма кредита должна быть от 0,01 до 999999999999,99"
                       "|Срок кредита должен быть от 1 до 1200 месяцев"
                       "|Процентная ставка должна быть от 0 до 1000)\\."
                       "|emptyInput:(?:Не введено значение!|Введите количество исходных единиц"
                       "|Выберите исходную величину|Кредит не будет погашен: выплата не покрывает проценты)"
                       "|confirm:У вас есть рейтинг\\?|information:Вилорка — .*\n\rВерсия .*"
                       "|information:Справка не найдена: файла Help\\.htm нет ни в одной из папок:\n.*"
                       "|document:/.*Help\\.htm(?:#[\\w-]+)?)$"),
        QRegularExpression::DotMatchesEverythingOption);
    return known;
}

// The message with the user's text (between apostrophes) and file names (between double
// quotes) replaced by mark; for the run's summary (withReason) also the system's reason that
// follows a file name.
QString unquoted(const QString& message, const QString& mark, bool withReason)
{
    static const QRegularExpression quoted(QStringLiteral("'.*'|\".*\""),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression quotedAndReason(QStringLiteral("'.*'|\".*\"\\..*"),
                                                    QRegularExpression::DotMatchesEverythingOption);
    return QString(message).replace(withReason ? quotedAndReason : quoted, mark);
}

// clang-format off
const QKeyCombination kKeys[] = {
    Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End,
    Qt::Key_Left, Qt::Key_Right, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Space,
    Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_F1, Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_Z,
    Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_G, Qt::SHIFT | Qt::Key_F1, Qt::SHIFT | Qt::Key_F2,
    Qt::CTRL | Qt::Key_F2};
// clang-format on
const char* const kMenu[] = {"mnuColor", "mnuFont", "mnuElo",  "mnuGraph",   "mnuSort",
                             "N3",       "N4",      "mnuHelp", "mnuPrograms"};

// Sends the events, and sits in front of every box and dialog: records the boxes as the test
// kit's fake does and answers questions and dialogs at random.
class Monkey final : public testkit::FakeDialogs {
public:
    Monkey(quint32 seed, const QString& folder)
        : m_random(seed)
        , m_passwordRandom(~seed)
        , m_folder(folder)
    {
        m_clock.start();
        if (qEnvironmentVariableIsSet("VILORKA_MONKEY_TRACE")) {
            m_trace.setFileName(qEnvironmentVariable("VILORKA_MONKEY_TRACE"));
            m_trace.open(QIODevice::WriteOnly);
        }
        QDir(folder).mkpath(QStringLiteral("plots/folder"));
        QFile big(QDir(folder).filePath(QStringLiteral("plots/big.txt"))); // sparse: takes no disk
        big.open(QIODevice::WriteOnly);
        big.resize(plot::kMemoCapacity * 4 + 5); // beyond what any encoding could fit in the memo
        start();
    }

    // One random event and the invariants after it.
    void step()
    {
        int pick = int(m_random.bounded(1000));
        auto action = m_actions.begin();
        while (pick >= action->weight)
            pick -= (action++)->weight;

        m_what.clear();
        m_touched.clear();
        boxes.clear();
        m_saveName.clear();
        m_opened = false;
        m_checkedBoxes = 0;
        m_eventLoop = false;
        // A step that turns the event loop (the plot window's long steps do) fires this first.
        QTimer::singleShot(0, qApp, [this] { m_eventLoop = true; });
        QElapsedTimer clock;
        clock.start();
        action->run();
        checkBoxes(1);
        QCoreApplication::processEvents(); // layouts, deferred work and due timer ticks
        m_eventLoop = true;
        checkBoxes(0);
        ++action->count;
        action->slowest = std::max(action->slowest, clock.nsecsElapsed());
        require(!errorBoxOpen(), QStringLiteral("the error box stays marked open"));

        if (!m_saveName.isEmpty() && m_saveFrom == m_windows.fmKred.get())
            checkFile(m_saveName, m_saveBefore, scheduleFile(), m_schedulesSaved);
        else if (!m_saveName.isEmpty())
            checkFile(m_saveName, m_saveBefore, memoFile(m_windows.fmGraph.get()), m_plotsSaved);
        if (m_opened && !failed(QString()))
            m_touched << testkit::byName<QWidget>(m_windows.fmGraph.get(), "Memo1"); // the loaded column
        for (QWidget* touched : std::as_const(m_touched))
            m_userText[touched] = textOf(touched);
        digest(QByteArray::number(m_events) + ' ' + m_what.toUtf8());
        for (const testkit::Box& box : std::as_const(boxes))
            digest(QStringLiteral("\n%1:%2").arg(box.kind, box.text).toUtf8());
        checkTexts();
        m_sortShown = m_sortShown || m_windows.fmSort->isVisible();
        ++m_events;
    }

    QString what() const { return m_what; }
    QByteArray digest() const { return m_digest.result().toHex(); }

    // The answers, at random.
    ui::Answer confirm(QWidget*, const QString& text) override
    {
        boxes.append({QStringLiteral("confirm"), text});
        return static_cast<ui::Answer>(m_random.bounded(3));
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override
    {
        if (m_random.bounded(4) == 0)
            return std::nullopt;
        return m_random.bounded(4) == 0 ? QColor(Qt::black) : QColor::fromRgb(m_random.generate() & 0xFFFFFF);
    }
    std::optional<QFont> chooseFont(QWidget*, const QFont& initial) override
    {
        if (m_random.bounded(4) == 0)
            return std::nullopt;
        QFont font = initial;
        font.setFamily(QStringList{"DejaVu Sans", "Liberation Serif", "Monospace", "Нет такого"}.at(
            int(m_random.bounded(4))));
        font.setPointSize(1 + int(m_random.bounded(72)));
        font.setBold(m_random.bounded(2) == 1);
        return font;
    }

    QString openFileName(QWidget*, const QString&, const QString&) override
    {
        const QString name = fileName({"missing.txt", "big.txt"});
        m_opened = !name.isEmpty();
        return name;
    }
    QString saveFileName(QWidget* parent, const QString&, const QString&, const QString&) override
    {
        m_saveFrom = parent;
        m_saveName = fileName({});
        m_saveBefore = m_saveName.isEmpty() ? QByteArray() : fileState(m_saveName);
        return m_saveName;
    }

    void summary() const
    {
        std::printf(
            "%ld events in %.1f s, %d restarts; written: %d lists, %d plot files, %d schedules, %d settings "
            "files\n",
            m_events, double(m_clock.elapsed()) / 1000, m_restarts, m_listsSaved, m_plotsSaved,
            m_schedulesSaved, m_settingsSaved);
        for (const Action& action : m_actions)
            std::printf("%6d %-16s slowest %5.1f ms\n", action.count, action.name,
                        double(action.slowest) / 1e6);
        for (const auto& [kind, count] : m_errorKinds)
            std::printf("%6d × %s\n", count, qPrintable(kind));
        std::fflush(stdout);
    }

private:
    struct Action {
        const char* name;
        int weight; // per thousand events
        std::function<void()> run;
        int count = 0;
        qint64 slowest = 0; // nanoseconds
    };

    std::vector<Action> m_actions{
        {"click", 320,
         [this] {
             if (auto* button = control<QAbstractButton>()) {
                 m_what = QStringLiteral("click %1 \"%2\"").arg(nameOf(button), button->text());
                 const bool radio = qobject_cast<QRadioButton*>(button); // clicked on its circle
                 QTest::mouseClick(button, Qt::LeftButton, {},
                                   radio ? QPoint(5, button->height() / 2) : button->rect().center());
             }
         }},
        {"type", 220,
         [this] {
             QWidget* box = control<QWidget>(isTextBox);
             if (!box)
                 return;
             const QString text = randomText(qobject_cast<QPlainTextEdit*>(box) || plotMemo(box));
             m_what = QStringLiteral("type \"%1\" into %2").arg(text, nameOf(box));
             if (m_random.bounded(4))
                 QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); // typed over everything
             send(box, text);
             m_touched << box;
         }},
        {"key", 110,
         [this] {
             QWidget* target =
                 control<QWidget>([](const QWidget* w) { return w->focusPolicy() != Qt::NoFocus; });
             if (!target)
                 return;
             const QKeyCombination key = kKeys[m_random.bounded(int(std::size(kKeys)))];
             m_what = QStringLiteral("key %1 in %2").arg(QKeySequence(key).toString(), nameOf(target));
             QTest::keyClick(target, key.key(), key.keyboardModifiers());
             m_touched << target;
             for (QLineEdit* field : target->findChildren<QLineEdit*>()) // a combo box's text field
                 m_touched << field;
         }},
        {"list item", 60,
         [this] {
             QListWidget* list = control<QListWidget>();
             if (!list || list->count() == 0)
                 return;
             QListWidgetItem* item = list->item(int(m_random.bounded(list->count())));
             m_what = QStringLiteral("click %1 in %2").arg(item->text(), nameOf(list));
             list->scrollToItem(item);
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
         }},
        {"category", 30,
         [this] { // picked from the drop-down list, as the mouse does
             QComboBox* box = control<QComboBox>();
             if (!box)
                 return;
             const int row = int(m_random.bounded(box->count()));
             m_what = QStringLiteral("pick %1 in %2").arg(box->itemText(row), nameOf(box));
             box->showPopup();
             QAbstractItemView* view = box->view();
             // Picked by Enter: a click right after the list opens would count as the release of
             // the click that opened it, for as long by the wall clock as a double click lasts.
             view->setCurrentIndex(view->model()->index(row, 0));
             QTest::keyClick(view, Qt::Key_Return);
             require(!view->isVisible(), QStringLiteral("the list stays open after Enter"));
         }},
        {"page", 20,
         [this] {
             QTabBar* bar = control<QTabBar>();
             if (!bar)
                 return;
             const int tab = int(m_random.bounded(bar->count()));
             m_what = QStringLiteral("page %1 of %2").arg(bar->tabText(tab), nameOf(bar));
             QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
         }},
        {"menu", 70, [this] { trigger(kMenu[m_random.bounded(int(std::size(kMenu)))]); }},
        {"close", 40,
         [this] {
             QList<QWidget*> tools = windows().mid(1); // all but the main window
             tools.removeIf([](const QWidget* window) { return !window->isVisible(); });
             if (QWidget* window = pick(tools))
                 close(window, QStringLiteral("close %1"));
         }},
        {"move", 20,
         [this] {
             QWidget* window = pick(windows());
             if (!window->isVisible())
                 return;
             const QPoint to(int(m_random.bounded(2000)) - 500, int(m_random.bounded(1500)) - 500);
             m_what = QStringLiteral("move %1 to %2,%3").arg(window->objectName()).arg(to.x()).arg(to.y());
             window->move(to);
         }},
        // Time passes on the password window's clock, so its timers tick as they come due; now and
        // then a tick handler runs at once besides, as its timer would run it.
        {"timers", 80,
         [this] {
             const int ms = 1 + int(m_random.bounded(m_random.bounded(4) ? 12 : 400));
             m_what = QStringLiteral("wait %1 ms").arg(ms);
             if (m_sortShown && m_random.bounded(2)) {
                 const bool character = m_random.bounded(2);
                 m_what += character ? QStringLiteral(", character tick") : QStringLiteral(", list tick");
                 ui::runGuarded(*this, [this, character] {
                     character ? m_windows.fmSort->Timer1Timer() : m_windows.fmSort->Timer2Timer();
                 });
                 checkBoxes(1);
             }
             m_eventLoop = true;
             m_time.advance(ms);
         }},
        // A folder where the list or the settings file is written, or a plain file where the
        // settings folder is; the next pick of the same one takes it away.
        {"obstruct a file", 15,
         [this] {
             const QDir dir(m_folder);
             const QString name =
                 QStringList{"Pass.txt", "config/CalcConf.ini", "config"}.at(int(m_random.bounded(3)));
             const QString path = dir.filePath(name);
             m_what = QStringLiteral("obstruct or free %1").arg(name);
             if (name == QLatin1String("config")) {
                 if (QFileInfo(path).isFile()) {
                     QFile::remove(path);
                 } else {
                     QDir(path).removeRecursively();
                     QFile(path).open(QIODevice::WriteOnly);
                 }
             } else if (!dir.rmpath(name + QStringLiteral("/inside"))) {
                 QFile::remove(path);
                 dir.mkpath(name + QStringLiteral("/inside"));
             }
         }},
        // A close of the password window, a save of the plot or a close of the main window
        // while files cannot grow beyond a few bytes.
        {"full disk", 12,
         [this] {
             std::optional<testkit::DiskFull> full(std::in_place, m_random.bounded(64));
             switch (m_random.bounded(3)) {
             case 0:
                 if (shown(m_windows.fmSort.get()))
                     close(m_windows.fmSort.get(), QStringLiteral("close %1 on a full disk"));
                 return;
             case 1:
                 if (shown(m_windows.fmGraph.get())) {
                     m_what = QStringLiteral("save the plot on a full disk");
                     testkit::click(m_windows.fmGraph.get(), "BitBtn1");
                 }
                 return;
             default:
                 closeMainWindow();
                 full.reset();
                 restartProgram();
             }
         }},
        {"restart", 3,
         [this] {
             closeMainWindow();
             restartProgram();
         }},
    };

    // Cancel, a data file, or a bad name: a missing folder, a folder, below a plain file.
    QString fileName(QStringList extra)
    {
        extra << QStringLiteral("|data0.txt|data1.txt|data2.txt|Данные графика.txt|missing/x.txt|folder|"
                                "data0.txt/x.txt")
                     .split(u'|');
        const QString name = extra.at(int(m_random.bounded(int(extra.size()))));
        return name.isEmpty() ? name : QDir(m_folder).filePath(QStringLiteral("plots/") + name);
    }

    // ---- the program -------------------------------------------------------------------------

    QString settingsPath() const { return QDir(m_folder).filePath(QStringLiteral("config/CalcConf.ini")); }

    void start()
    {
        app::TimeAndChance seams;
        seams.clock = &m_time;
        seams.passwordSource = [this](std::uint32_t bound) { return m_passwordRandom.bounded(bound); };
        m_windows = app::createWindows(*this, settingsPath(), QString(), seams);
        m_windows.fmCalc->show();
        m_userText.clear();
        m_memoRevision.clear();
        m_sortShown = false;
    }

    QList<QWidget*> windows() const
    {
        return {m_windows.fmCalc.get(),   m_windows.fmElo.get(),  m_windows.fmNewElo.get(),
                m_windows.fmGraph.get(),  m_windows.fmSort.get(), m_windows.fmKred.get(),
                m_windows.fmKonvert.get()};
    }

    template <typename T> T* pick(const QList<T*>& items)
    {
        return items.isEmpty() ? nullptr : items.at(int(m_random.bounded(int(items.size()))));
    }

    // Whether the window is visible; a hidden one is opened from the main menu instead, which is
    // the event then (both rating windows through the rating command).
    bool shown(QWidget* window)
    {
        static const char* const menus[] = {"mnuElo", "mnuElo", "mnuElo", "mnuGraph", "mnuSort", "N3", "N4"};
        if (window->isVisible())
            return true;
        trigger(menus[windows().indexOf(window)]);
        return false;
    }

    // A visible control of type T that fits, in a visible window picked at random.
    template <typename T> T* control(bool (*fits)(const QWidget*) = nullptr)
    {
        QWidget* window = pick(windows());
        if (!shown(window))
            return nullptr;
        QList<T*> found = window->findChildren<T*>();
        found.removeIf([fits](const T* child) { return !child->isVisible() || (fits && !fits(child)); });
        return pick(found);
    }

    // The plot window's memo, when widget is it.
    static plot::MemoEditor* plotMemo(const QWidget* widget)
    {
        const auto* graph = qobject_cast<const TfmGraph*>(widget->window());
        return graph && graph->Memo1 && graph->Memo1->widget() == widget ? graph->Memo1 : nullptr;
    }

    static bool isTextBox(const QWidget* widget)
    {
        return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
               plotMemo(widget);
    }

    void trigger(const char* action)
    {
        m_what = QStringLiteral("menu %1").arg(QLatin1String(action));
        testkit::byName<QAction>(m_windows.fmCalc.get(), action)->trigger();
    }

    static QString nameOf(const QWidget* widget)
    {
        QString path = widget->objectName();
        for (const QWidget* at = widget->parentWidget(); at; at = at->parentWidget())
            if (!at->objectName().isEmpty())
                path = at->objectName() + u'/' + path;
        return path;
    }

    // A number, often; or numbers, tokens that trip readers up and characters from anywhere.
    QString randomText(bool lines)
    {
        if (m_random.bounded(2))
            return randomNumber();
        static const QStringList tokens =
            QStringLiteral("inf|-INF|NaN|nan|Infinity|1E4000|-1E4000|9999999999999999999|1E308|"
                           "1,7976931348623157E308|-1,7976931348623157E308|4,9E-324|1E-4950|2147483648|"
                           "-2147483648|$7FFFFFFF|0x1F|-0| |  |,|.|+|-|E|e|1,5|2.5|ж|Ё|½|１２|٣|€|😀|e\u0301|"
                           "\u00A0|\u200B|שלום|'|\"|%s|&amp;|<b>|\t")
                .split(u'|');
        QString text;
        for (int n = 1 + int(m_random.bounded(5)); n > 0; --n) {
            switch (m_random.bounded(lines ? 5 : 4)) {
            case 0:
                text += randomNumber();
                break;
            case 1:
            case 2:
                text += tokens.at(int(m_random.bounded(int(tokens.size()))));
                break;
            case 3:
                text += m_random.bounded(20) == 0 ? QString(int(m_random.bounded(400)), u'9')
                                                  : QString(QChar(m_random.bounded(0x21, 0x7F)));
                break;
            default:
                text += u'\n';
            }
        }
        return text;
    }

    QString randomNumber()
    {
        QString number =
            QStringLiteral("%1%2").arg(m_random.bounded(3) == 0 ? "-" : "").arg(m_random.bounded(1000));
        if (m_random.bounded(2))
            number += QStringLiteral(",%1").arg(m_random.bounded(1000));
        if (m_random.bounded(6) == 0)
            number += QStringLiteral("E%1").arg(int(m_random.bounded(700)) - 350);
        return number;
    }

    // Typed key by key, or committed whole by an input method (as a long text is pasted).
    void send(QWidget* target, const QString& text)
    {
        if (text.size() > 40 || m_random.bounded(4) == 0) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(target, &commit);
            return;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'\n') {
                QTest::keyClick(target, Qt::Key_Return);
            } else if (c.unicode() > 0x20 && c.unicode() < 0x7F) {
                QTest::keyClick(target, char(c.unicode()));
            } else {
                const QString typed = text.mid(i, c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1);
                for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                    QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, typed);
                    QCoreApplication::sendEvent(target, &key);
                }
                i += typed.size() - 1;
            }
        }
    }

    // Closing the password window saves the list: completely, or not at all.
    void close(QWidget* window, const QString& what)
    {
        m_what = what.arg(window->objectName());
        const QByteArray before = fileState(QStringLiteral("Pass.txt"));
        window->close();
        if (window == m_windows.fmSort.get())
            checkFile(QStringLiteral("Pass.txt"), before, memoFile(m_windows.fmSort.get()), m_listsSaved);
    }

    // The program ends when the main window has closed: the event loop runs out, and the
    // password list is saved once more. Then it starts again.
    void restartProgram()
    {
        checkBoxes(1);
        m_what += QStringLiteral(", program end");
        const QByteArray before = fileState(QStringLiteral("Pass.txt"));
        m_eventLoop = true;
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
        if (m_sortShown)
            checkFile(QStringLiteral("Pass.txt"), before, memoFile(m_windows.fmSort.get()), m_listsSaved);
        checkBoxes(1);
        m_windows = app::Windows();
        start();
        ++m_restarts;
    }

    // The three values the settings file holds: Top, Left, Form; missing ones are empty. Every
    // line of the file must be a section, a key = value pair or blank.
    QStringList settingsValues() const
    {
        QHash<QString, QString> values;
        QString section;
        const QByteArray text = QFileInfo(settingsPath()).isFile() ? fileState(settingsPath()) : QByteArray();
        for (const QString& line : QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u'[') && line.endsWith(u']'))
                section = line.mid(1, line.size() - 2);
            else if (const qsizetype equals = line.indexOf(u'='); equals > 0)
                values[section + u'/' + line.left(equals)] = line.mid(equals + 1);
            else
                require(false, QStringLiteral("CalcConf.ini has the line \"%1\"").arg(line));
        }
        return {values[QStringLiteral("Position/Top")], values[QStringLiteral("Position/Left")],
                values[QStringLiteral("Color/Form")]};
    }

    // Each value reaches the file whole, in the order Top, Left, Form; a failed write stops the
    // close there, so the file holds the values written before it and the old ones after.
    void closeMainWindow()
    {
        TfmCalc* calc = m_windows.fmCalc.get();
        const QByteArray before = fileState(settingsPath());
        const QStringList old = settingsValues();
        const QStringList wanted{QString::number(calc->y()), QString::number(calc->x()),
                                 QString::number(TfmCalc::colorToValue(calc->windowColor()))};
        m_what = QStringLiteral("close fmCalc at %1,%2").arg(wanted[1], wanted[0]);
        calc->close();
        require(!calc->isVisible(), QStringLiteral("the main window stays open"));
        const QStringList now = settingsValues();
        if (!failed(QStringLiteral("Unable to write to CalcConf.ini."))) {
            require(now == wanted, QStringLiteral("CalcConf.ini holds %1").arg(now.join(u' ')));
            ++m_settingsSaved;
            return;
        }
        bool prefix = fileState(settingsPath()) == before;
        for (int written = 1; written < 3; ++written)
            prefix = prefix || now == wanted.mid(0, written) + old.mid(written);
        require(prefix, QStringLiteral("CalcConf.ini after a failed write holds %1").arg(now.join(u' ')));
    }

    // ---- invariants -----------------------------------------------------------------------------

    // Into the run's digest; with VILORKA_MONKEY_TRACE=<file> also into that file, line by line,
    // so that two runs whose digests differ can be compared event by event.
    // The run's own temporary folder and the build folder (where the help document is found) are
    // named by marks, as they differ between two runs of one seed.
    void digest(QByteArray data)
    {
        data.replace(m_folder.toUtf8(), "<folder>");
        static const QByteArray build =
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).toUtf8();
        data.replace(build, "<build>");
        m_digest.addData(data);
        if (m_trace.isOpen())
            m_trace.write(data + '\n');
    }

    // The event showed an error box starting with message (any error box for an empty one).
    bool failed(const QString& message) const
    {
        for (const testkit::Box& box : std::as_const(boxes))
            if (box.kind == QLatin1String("error") && box.text.startsWith(message))
                return true;
        return false;
    }

    // A window's memo as its file holds it (the password list or the plot's column; a window
    // never shown has none).
    static QByteArray memoFile(const ui::ToolWindow* window)
    {
        if (!window->isBuilt())
            return QByteArray();
        if (const auto* list = qobject_cast<const QPlainTextEdit*>(memoOf(window)))
            return crlf(list->toPlainText());
        return crlf(plotMemo(memoOf(window))->toPlainText());
    }
    // The payment schedule shown, as its CSV file holds it.
    QByteArray scheduleFile() const
    {
        const auto& schedule = m_windows.fmKred->TabSheet3->schedule();
        return "\xEF\xBB\xBF" + crlf(QString::fromStdString(loan::scheduleText(*schedule, ';', ',')));
    }

    // A file written now holds what was expected; a failed write (an error box naming the file,
    // or a write error) left it as it was before.
    void checkFile(const QString& path, const QByteArray& before, const QByteArray& expected, int& written)
    {
        const bool failure =
            failed(QStringLiteral("Cannot create file \"%1\"").arg(QFileInfo(path).absoluteFilePath())) ||
            failed(QStringLiteral("Stream write error"));
        const QByteArray now = fileState(path);
        require(now == (failure ? before : expected), QStringLiteral("%1 %2 holds %3 bytes, expected %4")
                                                          .arg(path, failure ? "after a failure" : "saved")
                                                          .arg(now.size())
                                                          .arg(failure ? before.size() : expected.size()));
        written += failure ? 0 : 1;
    }

    // The boxes shown since the last check are ones the program shows, with at most limit error
    // boxes. While the event loop ran, the character timer may have reported a bad length once
    // besides.
    void checkBoxes(int limit)
    {
        int errors = 0;
        bool badLength = false;
        for (const testkit::Box& box : boxes.mid(std::exchange(m_checkedBoxes, boxes.size()))) {
            const QRegularExpressionMatch match = knownBoxes().match(box.kind + u':' + box.text);
            require(match.hasMatch(), QStringLiteral("unknown %1 box: %2").arg(box.kind, box.text));
            require(match.captured(1).isNull() || typedSomewhere(match.captured(1)),
                    QStringLiteral("the error quotes text no box holds: %1").arg(box.text));
            require(!showsInfOrNan(unquoted(box.text, QString(), false)),
                    QStringLiteral("box shows inf/nan: %1").arg(box.text));
            if (box.kind != QLatin1String("error"))
                continue;
            ++m_errorKinds[unquoted(box.text, QStringLiteral("…"), true)];
            // A password window never shown has built no controls, so no length to fail.
            const QString length = m_windows.fmSort->isBuilt()
                                       ? testkit::byName<QLineEdit>(m_windows.fmSort.get(), "Le1")->text()
                                       : QString();
            if (m_eventLoop && !badLength &&
                box.text == QStringLiteral("'%1' is not a valid integer value.").arg(length))
                badLength = true;
            else
                ++errors;
        }
        require(errors <= limit, QStringLiteral("%1 error boxes from one handler").arg(errors));
    }

    bool typedSomewhere(const QString& text) const
    {
        for (const QWidget* window : windows())
            for (const QWidget* box : window->findChildren<QWidget*>())
                // The error box shows control characters as U+FFFD.
                if (isTextBox(box) && ui::Dialogs::visibleText(textOf(box)).contains(text))
                    return true;
        return false;
    }

    static QWidget* memoOf(const ui::ToolWindow* window) { return testkit::byName<QWidget>(window, "Memo1"); }

    // The text the user sees in a control.
    static QString textOf(const QWidget* widget)
    {
        if (auto* edit = qobject_cast<const QLineEdit*>(widget))
            return edit->text();
        if (auto* memo = qobject_cast<const QPlainTextEdit*>(widget))
            return memo->toPlainText();
        if (plot::MemoEditor* memo = plotMemo(widget))
            return memo->toPlainText();
        if (auto* label = qobject_cast<const QLabel*>(widget))
            return label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            return button->text();
        QStringList texts{widget->windowTitle(), widget->accessibleName(), widget->accessibleDescription()};
        const auto items = [&texts](int count, const auto& text) {
            for (int i = 0; i < count; ++i)
                texts << text(i);
        };
        if (auto* list = qobject_cast<const QListWidget*>(widget))
            items(list->count(), [list](int i) { return list->item(i)->text(); });
        if (auto* box = qobject_cast<const QComboBox*>(widget))
            items(box->count(), [box](int i) { return box->itemText(i); });
        if (auto* bar = qobject_cast<const QTabBar*>(widget))
            items(bar->count(), [bar](int i) { return bar->tabText(i); });
        if (auto* chart = qobject_cast<const ui::Chart*>(widget)) {
            texts << chart->titleLines();
            if (auto* view = qobject_cast<const QGraphicsView*>(chart->view()))
                for (const QGraphicsItem* item : view->scene()->items()) {
                    if (auto* text = dynamic_cast<const QGraphicsTextItem*>(item))
                        texts << text->toPlainText();
                    else if (auto* simple = dynamic_cast<const QGraphicsSimpleTextItem*>(item))
                        texts << simple->text();
                }
        }
        return texts.join(u'\n');
    }

    // What every control shows goes into the digest. No value the program writes shows an
    // infinity or a NaN: a memo holds only what the user typed or loaded (and the password list
    // random letters), and a box the user typed into is excused while it holds that text.
    void checkTexts()
    {
        const QWidget* sort = m_windows.fmSort.get();
        for (QWidget* window : windows()) {
            digest(QStringLiteral("\n%1 %2 %3,%4")
                       .arg(window->objectName())
                       .arg(window->isVisible())
                       .arg(window->x())
                       .arg(window->y())
                       .toUtf8());
            QList<QWidget*> widgets = window->findChildren<QWidget*>();
            widgets << window;
            for (QWidget* widget : std::as_const(widgets)) {
                if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
                    // Read again only when it changed: the password list grows all run long.
                    const int revision = memo->document()->revision();
                    if (std::exchange(m_memoRevision[memo], revision) != revision)
                        digest(memo->toPlainText().toUtf8());
                    continue;
                }
                const QString text = textOf(widget);
                digest(text.toUtf8());
                if (widget->window() == sort && widget->objectName() == QLatin1String("Edit1"))
                    continue;
                const auto typed = m_userText.constFind(widget);
                if (showsInfOrNan(text) && (typed == m_userText.cend() || *typed != text))
                    require(false, QStringLiteral("%1 shows \"%2\"").arg(nameOf(widget), text.left(200)));
            }
        }
    }

    QRandomGenerator m_random;
    QRandomGenerator m_passwordRandom; // the passwords' characters
    testkit::ManualClock m_time;       // the password window's timers
    QCryptographicHash m_digest{QCryptographicHash::Sha256};
    QFile m_trace;
    QString m_folder;
    QString m_saveName;                  // the file the save dialog answered this event, and what it held
    const QWidget* m_saveFrom = nullptr; // the window that asked
    QByteArray m_saveBefore;
    bool m_opened = false; // the open dialog answered a name this event
    QElapsedTimer m_clock;
    QString m_what;
    QList<QWidget*> m_touched;                 // the controls this event typed or keyed into
    QHash<const QWidget*, QString> m_userText; // what the user last typed or loaded there
    QHash<const QPlainTextEdit*, int> m_memoRevision;
    qsizetype m_checkedBoxes = 0; // of this event's boxes
    bool m_eventLoop = false;     // the event loop has run in this event
    bool m_sortShown = false;
    long m_events = 0;
    int m_restarts = 0, m_listsSaved = 0, m_plotsSaved = 0, m_schedulesSaved = 0, m_settingsSaved = 0;
    std::map<QString, int> m_errorKinds;
    app::Windows m_windows; // last, so the windows close before what they report to goes
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void randomEvents()
    {
        const QByteArray seedText = qgetenv("VILORKA_MONKEY_SEED");
        const quint32 seed = seedText.isEmpty() ? QRandomGenerator::system()->generate() : seedText.toUInt();
        const long events = qEnvironmentVariableIsSet("VILORKA_MONKEY_EVENTS")
                                ? qEnvironmentVariableIntValue("VILORKA_MONKEY_EVENTS")
                                : 20000;
        std::printf("VILORKA_MONKEY_SEED=%u VILORKA_MONKEY_EVENTS=%ld\n", seed, events);
        std::fflush(stdout);

        numtext::setDecimalSeparator(',');
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QString failure;
        {
            Monkey monkey(seed, dir.path()); // closed before the folder it writes to is left
            long done = 0;
            try {
                for (; done < events; ++done)
                    monkey.step();
                monkey.summary();
            } catch (const Failure& error) {
                failure = QStringLiteral("VILORKA_MONKEY_SEED=%1, event %2 (%3): %4")
                              .arg(seed)
                              .arg(done)
                              .arg(monkey.what(), QString::fromStdString(error.what()));
            }
            std::printf("VILORKA_MONKEY_SEED=%u VILORKA_MONKEY_EVENTS=%ld VILORKA_MONKEY_DIGEST=%s\n", seed,
                        done, monkey.digest().constData());
            std::fflush(stdout);
        }
        QDir::setCurrent(oldCurrent);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
