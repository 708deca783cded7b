// The plot window under the offscreen platform, opened from the main menu: the memo typed,
// the buttons clicked by objectName, the file dialogs answered by the message service, and
// the chart read back as title lines and points.

#include "app/Unitcalc.h"
#include "plot/MemoEditor.h"
#include "plot/UnitGraph.h"
#include "plot/plotdata.h"
#include "ui/Chart.h"
#include "support/appwindows.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QAbstractScrollArea>
#include <QClipboard>
#include <QProgressDialog>
#include <QScrollBar>
#include <QValueAxis>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using testkit::byName;
using testkit::click;

namespace {

const QString kTitle = QStringLiteral("Диаграмма");
const QString kPlot = QStringLiteral("График");
const QString kFilter = QStringLiteral("Текстовые файлы (*.txt)");
const QStringList k149{"0 1 0", "1 4 1", "2 9 2"}; // the points of the column 1, 4, 9

// Points as "x y label", so a row lists what the chart holds.
QStringList points(const ui::ChartSeries* series)
{
    QStringList out;
    for (qsizetype i = 0; i < series->count(); ++i) {
        const QPointF p = series->point(i);
        out << QStringLiteral("%1 %2 %3").arg(p.x()).arg(p.y()).arg(series->label(i));
    }
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Counts the progress boxes shown while it lives.
class ShownBoxes : public QObject {
public:
    ShownBoxes() { qApp->installEventFilter(this); }
    ~ShownBoxes() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched))
            ++count;
        return false;
    }
};

} // namespace

class TestGraphWindow : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    TfmGraph* w() const { return m_app.windows.fmGraph.get(); }
    TfmGraph* open()
    {
        byName<QAction>(m_app.windows.fmCalc.get(), "mnuGraph")->trigger();
        return w();
    }
    ui::Chart* chart() const { return byName<ui::Chart>(w(), "Chart1"); }
    ui::ChartSeries* series() const { return chart()->series(0); }
    plot::MemoEditor* memo() const { return w()->Memo1; }
    QAbstractScrollArea* memoBox() const { return byName<QAbstractScrollArea>(w(), "Memo1"); }
    bool plotEnabled() const { return byName<QPushButton>(w(), "BitBtn2")->isEnabled(); }
    QChart* drawing() const { return qobject_cast<QChartView*>(chart()->view())->chart(); }
    QCategoryAxis* xAxis() const
    {
        return qobject_cast<QCategoryAxis*>(drawing()->axes(Qt::Horizontal).value(0));
    }

    void plot(const QString& text)
    {
        memo()->setPlainText(text);
        click(w(), "BitBtn2");
    }

private slots:
    void init() { m_app.start(); }
    void cleanup() { m_app.stop(); }

    void layout()
    {
        QWidget* w = open();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), kPlot);
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 220, 192));
        QCOMPARE(chart()->geometry(), QRect(8, 8, 505, 417));
        QCOMPARE(memoBox(), memo()->widget());
        QCOMPARE(memoBox()->geometry(), QRect(520, 8, 105, 201));
        QCOMPARE(memoBox()->accessibleName(), QStringLiteral("Данные графика"));
        QVERIFY(memo()->toPlainText().isEmpty());
        QCOMPARE(memoBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        const QPalette& pal = w->palette();
        const struct {
            const char* name;
            const char* caption;
            QRect rect;
            QColor color;
        } buttons[] = {
            {"BitBtn2", "График", {528, 224, 75, 25}, QColor(0, 128, 0)},
            {"BitBtn1", "Сохранить", {528, 256, 75, 25}, QColor(255, 0, 0)},
            {"BitBtn3", "Открыть", {528, 288, 75, 25}, pal.color(QPalette::Active, QPalette::Highlight)},
            {"Button2", "Очистить", {528, 320, 75, 25}, pal.color(QPalette::ButtonText)},
        };
        for (const auto& b : buttons) {
            auto* button = byName<QPushButton>(w, b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
            QCOMPARE(button->accessibleName(), QString::fromUtf8(b.caption));
            QCOMPARE(button->geometry(), b.rect);
            QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText), b.color);
            QCOMPARE(button->palette().color(QPalette::Disabled, QPalette::ButtonText),
                     pal.color(QPalette::Disabled, QPalette::ButtonText));
        }
        QCOMPARE(chart()->titleLines(), QStringList{kTitle});
        QCOMPARE(chart()->series(1), nullptr);
        QCOMPARE(series()->objectName(), QStringLiteral("Series1"));
        QCOMPARE(series()->count(), 0);
        QVERIFY(plotEnabled());
        // Tab leaves the memo and visits the buttons top to bottom.
        QStringList order;
        QWidget* at = memoBox();
        for (int i = 0; i < 5; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order, (QStringList{"Memo1", "BitBtn2", "BitBtn1", "BitBtn3", "Button2"}));
    }

    // The memo as a user edits it: each row's keys are sent to the memo holding "12\n34".
    void memoEditing_data()
    {
        QTest::addColumn<QString>("keys"); // space-separated: text, or ^X for Ctrl+X, or a key name
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("focus"); // afterwards
        QTest::addColumn<int>("lines");
        // clang-format off
        QTest::newRow("typing at the end") << "^End Enter 5,6" << "12\n34\n5,6" << "" << "Memo1" << 3;
        QTest::newRow("select all and copy") << "^A ^C" << "12\n34" << "12\n34" << "Memo1" << 2;
        QTest::newRow("cut and paste back twice") << "^A ^X ^V ^V" << "12\n3412\n34" << "12\n34" << "Memo1" << 3;
        QTest::newRow("typing undone") << "7 8 ^Z" << "12\n34" << "" << "Memo1" << 2;
        QTest::newRow("undo then redo") << "7 ^Z ^Y" << "712\n34" << "" << "Memo1" << 2;
        QTest::newRow("Tab leaves the memo") << "Tab" << "12\n34" << "" << "BitBtn2" << 2;
        QTest::newRow("Shift+Tab leaves backwards") << "Backtab" << "12\n34" << "" << "Button2" << 2;
        QTest::newRow("a final line break ends the last line") << "^End Enter" << "12\n34\n" << "" << "Memo1" << 2;
        // clang-format on
    }

    void memoEditing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, memo);
        QFETCH(QString, clipboard);
        QFETCH(QString, focus);
        QFETCH(int, lines);
        open();
        w()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w()));
        QApplication::clipboard()->clear();
        this->memo()->setPlainText(QStringLiteral("12\n34"));
        memoBox()->setFocus();
        for (const QString& key : keys.split(u' ')) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : memoBox();
            if (key.startsWith(u'^') && key.size() == 2)
                QTest::keyClick(target, key.at(1).toLatin1(), Qt::ControlModifier);
            else if (key == QLatin1String("^End"))
                QTest::keyClick(target, Qt::Key_End, Qt::ControlModifier);
            else if (key == QLatin1String("Enter"))
                QTest::keyClick(target, Qt::Key_Return);
            else if (key == QLatin1String("Tab"))
                QTest::keyClick(target, Qt::Key_Tab);
            else if (key == QLatin1String("Backtab"))
                QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
            else
                QTest::keyClicks(target, key);
        }
        QCOMPARE(this->memo()->toPlainText(), memo);
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
        QCOMPARE(this->memo()->lineCount(), lines);
    }

    // A line wider than the memo wraps, so the memo never scrolls sideways; the vertical
    // scroll bar follows the lines.
    void memoWrapsAndScrolls()
    {
        open();
        memo()->setPlainText(QString(300, u'7'));
        QCoreApplication::processEvents();
        QVERIFY(!memoBox()->horizontalScrollBar()->isVisible());
        QString lines;
        for (int i = 0; i < 1000; ++i)
            lines += QString::number(i) + u'\n';
        memo()->setPlainText(lines);
        QCoreApplication::processEvents();
        QScrollBar* bar = memoBox()->verticalScrollBar();
        QVERIFY(bar->isVisible());
        QVERIFY(bar->maximum() > 900);
        QCOMPARE(memo()->lineCount(), 1000);
    }

    void plotColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clicks"); // plot, clear
        QTest::addColumn<QStringList>("title");
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QStringList>("axis"); // the horizontal axis's labels as drawn
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<bool>("enabled");
        const QStringList plotted{kTitle, kPlot}, none, axis{"0", "1", "2"};
        const QString notValid = QStringLiteral("'%1' is not a valid floating point value.");
        // clang-format off
        QTest::newRow("empty memo") << "" << "plot" << QStringList{kTitle} << none << none << none << true;
        QTest::newRow("three numbers") << "1\n4\n9" << "plot" << plotted << k149 << axis << none << false;
        QTest::newRow("final line break")
            << "1\n4\n9\n" << "plot" << plotted << k149 << axis << none << false;
        QTest::newRow("blank line in the middle") << "2,5\n\n3" << "plot" << plotted << QStringList{"0 2.5 0"}
            << QStringList{"0"} << QStringList{notValid.arg("")} << true;
        QTest::newRow("beyond the double range") << "1\n1E400" << "plot" << plotted << QStringList{"0 1 0"}
            << QStringList{"0"} << QStringList{"Floating point overflow."} << true;
        QTest::newRow("blanks are text, not an empty memo")
            << " " << "plot" << plotted << none << none << QStringList{notValid.arg(" ")} << true;
        QTest::newRow("Очистить") << "1\n4\n9" << "plot clear" << none << none << none << none << true;
        QTest::newRow("Очистить, then plotting again")
            << "1\n4\n9" << "plot clear plot" << QStringList{kPlot} << k149 << axis << none << false;
        // X goes on from the points there, the labels start again at 0 (the axis tells equal labels
        // apart by a zero-width space).
        QTest::newRow("plotting again after a failure")
            << "1\nx" << "plot plot" << QStringList{kTitle, kPlot, kPlot} << QStringList{"0 1 0", "1 1 0"}
            << QStringList{"0", "0\u200B"} << QStringList(2, notValid.arg("x")) << true;
        // clang-format on
    }

    void plotColumn()
    {
        QFETCH(QString, text);
        QFETCH(QString, clicks);
        QFETCH(QStringList, title);
        QFETCH(QStringList, points);
        QFETCH(QStringList, axis);
        QFETCH(QStringList, errors);
        QFETCH(bool, enabled);
        open();
        memo()->setPlainText(text);
        for (const QString& button : clicks.split(u' '))
            click(w(), button == QLatin1String("plot") ? "BitBtn2" : "Button2");
        QCOMPARE(chart()->titleLines(), title);
        QCOMPARE(::points(series()), points);
        QVERIFY(xAxis());
        QCOMPARE(xAxis()->categoriesLabels(), axis);
        QCOMPARE(m_app.dialogs->errors(), errors);
        QCOMPARE(plotEnabled(), enabled);
        QCOMPARE(memo()->toPlainText(), text);
        // A chart is announced by what it is, then by its title, which may be empty.
        QCOMPARE(chart()->accessibleName(), kTitle);
        QCOMPARE(chart()->accessibleDescription(), title.join(u'\n'));
    }

    void save_data()
    {
        QTest::addColumn<QString>("answer"); // file name the dialog returns, relative to the test folder
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("file"); // what the answered file holds afterwards
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("room"); // bytes a file may take, as on a full disk; 0: no limit
        const QString cannot = QStringLiteral("Cannot create file \"%1\". %2.");
        const QByteArray old("old");
        // clang-format off
        QTest::newRow("saving as data writes data.txt")
            << "data.txt" << "1\n2,5\n" << QByteArray("1\r\n2,5\r\n") << "" << 0;
        QTest::newRow("text as it stands, not checked")
            << "column.txt" << "1\n\nx" << QByteArray("1\r\n\r\nx") << "" << 0;
        QTest::newRow("cancel writes nothing") << "" << "1" << old << "" << 0;
        QTest::newRow("folder that is a file")
            << "data.txt/x.txt" << "1" << old << cannot.arg("%1", "Not a directory") << 0;
        QTest::newRow("missing folder")
            << "missing/x.txt" << "1" << old << cannot.arg("%1", "No such file or directory") << 0;
        QTest::newRow("name of a folder")
            << "folder.txt" << "1" << old << cannot.arg("%1", "Filename refers to a directory") << 0;
        QTest::newRow("disk full: the previous file stays")
            << "data.txt" << QString(4096, u'7') << old << "Stream write error." << 1024;
        // clang-format on
    }

    void save()
    {
        QFETCH(QString, answer);
        QFETCH(QString, memo);
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(int, room);
        open();
        writeAll(m_app.path("data.txt"), "old");
        QVERIFY(QDir(m_app.dir->path()).mkdir(QStringLiteral("folder.txt")));
        const QString chosen = answer.isEmpty() ? QString() : m_app.path(answer);
        m_app.dialogs->fileAnswers.push_back(chosen);
        this->memo()->setPlainText(memo);
        {
            std::optional<testkit::DiskFull> full;
            if (room > 0)
                full.emplace(rlim_t(room));
            click(w(), "BitBtn1");
        }
        QCOMPARE(m_app.dialogs->boxes.front().kind, QStringLiteral("save"));
        QCOMPARE(m_app.dialogs->lastFilter, kFilter);
        QCOMPARE(m_app.dialogs->lastSuffix, QStringLiteral("txt"));
        QCOMPARE(m_app.dialogs->lastInitialPath, QString());
        QCOMPARE(readAll(chosen.isEmpty() || !error.isEmpty() ? m_app.path("data.txt") : chosen), file);
        QCOMPARE(m_app.dialogs->errors(),
                 error.isEmpty() ? QStringList()
                                 : QStringList{QString(error).replace(QStringLiteral("%1"), chosen)});
        QCOMPARE(this->memo()->toPlainText(), memo);
        // Nothing is left behind: no temporary file, the folder as it was.
        QVERIFY(QDir(m_app.path("folder.txt")).isEmpty());
        QCOMPARE(QDir(m_app.dir->path()).entryList(QDir::Files).size(),
                 answer == QLatin1String("column.txt") ? 2 : 1);
        // The dialog offers the name chosen last time; a cancel chooses nothing.
        m_app.dialogs->fileAnswers.push_back(QString());
        click(w(), "BitBtn1");
        QCOMPARE(m_app.dialogs->lastInitialPath, chosen);
    }

    void load_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("memo");  // afterwards; the memo held the plotted column 1, 4, 9
        QTest::addColumn<QString>("error"); // %1: the file's path
        // clang-format off
        QTest::newRow("lone LF") << "data.txt" << QByteArray("5\n6\n7") << "5\n6\n7" << "";
        QTest::newRow("lone CR") << "data.txt" << QByteArray("5\r6\r7\r") << "5\n6\n7\n" << "";
        QTest::newRow("single-byte Cyrillic")
            << "data.txt" << QByteArray("\xF7\xE8\xF1\xEB\xEE") << "число" << "";
        QTest::newRow("missing file") << "missing.txt" << QByteArray() << "1\n4\n9"
                                      << "Cannot open file \"%1\". No such file or directory.";
        QTest::newRow("UTF-16 with its mark")
            << "data.txt" << QByteArray("\xFF\xFE" "5\0\r\0\n\0" "6\0", 10) << "5\n6" << "";
        // A FIFO would block a read until a writer came; a folder is not a file either.
        QTest::newRow("FIFO") << "fifo.txt" << QByteArray() << "1\n4\n9"
                              << "Cannot open file \"%1\". Not a regular file.";
        QTest::newRow("folder") << "folder.txt" << QByteArray() << "1\n4\n9"
                                << "Cannot open file \"%1\". Is a directory.";
        // clang-format on
        // A sparse file: its size is over the capacity, yet it occupies no disk and is never read.
        QTest::newRow("beyond the memo's capacity") << "huge.txt" << QByteArray() << "1\n4\n9"
                                                    << "Text exceeds memo capacity.";
    }

    void load()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QString, memo);
        QFETCH(QString, error);
        open();
        writeAll(m_app.path("data.txt"), file);
        QFile huge(m_app.path("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(plot::kMemoCapacity * 4 + 5));
        huge.close();
        QVERIFY(::mkfifo(QFile::encodeName(m_app.path("fifo.txt")).constData(), 0600) == 0);
        QVERIFY(QDir(m_app.dir->path()).mkdir(QStringLiteral("folder.txt")));
        plot(QStringLiteral("1\n4\n9"));
        const QString chosen = m_app.path(name);
        m_app.dialogs->fileAnswers.push_back(chosen);
        click(w(), "BitBtn3");
        QCOMPARE(m_app.dialogs->boxes.front().kind, QStringLiteral("open"));
        QCOMPARE(m_app.dialogs->lastFilter, kFilter);
        QCOMPARE(m_app.dialogs->lastInitialPath, QString());
        QCOMPARE(this->memo()->toPlainText(), memo);
        QCOMPARE(m_app.dialogs->errors(),
                 error.isEmpty() ? QStringList()
                                 : QStringList{QString(error).replace(QStringLiteral("%1"), chosen)});
        m_app.dialogs->fileAnswers.push_back(QString());
        click(w(), "BitBtn3");
        QCOMPARE(m_app.dialogs->lastInitialPath, chosen);
        QCOMPARE(this->memo()->toPlainText(), memo);
        // Loading leaves the plot as it was.
        QCOMPARE(chart()->titleLines(), (QStringList{kTitle, kPlot}));
        QCOMPARE(points(series()), k149);
        QVERIFY(!plotEnabled());
    }

    // Saving, closing and showing again leave the memo and the plot as they are.
    void saveAndCloseLeaveThePlot()
    {
        TfmGraph* w = open();
        plot(QStringLiteral("1\n4\n9"));
        m_app.dialogs->fileAnswers = {m_app.path("saved.txt")};
        click(w, "BitBtn1");
        w->close();
        QVERIFY(!w->isVisible());
        open();
        QVERIFY(w->isVisible());
        QCOMPARE(readAll(m_app.path("saved.txt")), QByteArray("1\r\n4\r\n9"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("1\n4\n9"));
        QCOMPARE(chart()->titleLines(), (QStringList{kTitle, kPlot}));
        QCOMPARE(points(series()), k149);
        QVERIFY(!plotEnabled());
    }

    // The drawing is built at the first show and then shows what was plotted before it.
    void chartDrawnAtFirstShow()
    {
        w()->ensureBuilt(); // the controls, without showing the window
        QVERIFY(!chart()->view());
        memo()->setPlainText(QStringLiteral("1\n4\n9"));
        click(w(), "BitBtn2");
        QVERIFY(!chart()->view());
        open();
        QVERIFY(qobject_cast<QChartView*>(chart()->view()));
        QCOMPARE(drawing()->title(), QStringLiteral("<center>%1<br>%2</center>").arg(kTitle, kPlot));
        auto* line = qobject_cast<QLineSeries*>(drawing()->series().value(0));
        QVERIFY(line);
        QCOMPARE(line->points(), (QList<QPointF>{{0, 1}, {1, 4}, {2, 9}}));
        QCOMPARE(line->pen().color(), QColor(Qt::red));
        QVERIFY(!line->pointsVisible());
        QVERIFY(!line->pointLabelsVisible());
        // Title lines are text, not markup.
        chart()->appendTitleLine(QStringLiteral("a<b>&"));
        QVERIFY(drawing()->title().endsWith(QStringLiteral("<br>a&lt;b&gt;&amp;</center>")));
        click(w(), "Button2");
        QVERIFY(drawing()->title().isEmpty());
        QVERIFY(line->points().isEmpty());
    }

    // A column at the ends of the double range is drawn with a number at every mark of the
    // axes: their steps stay within the double range.
    void extremeColumnsLabelledWithNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("from zero to the largest double") << "0\n1,7976931348623157E308";
        QTest::newRow("both ends of the double range") << "-1,7976931348623157E308\n1,7976931348623157E308";
        QTest::newRow("largest double alone") << "1,7976931348623157E308";
        QTest::newRow("two smallest denormals") << "4,9E-324\n-4,9E-324";
    }

    void extremeColumnsLabelledWithNumbers()
    {
        QFETCH(QString, text);
        open();
        plot(text);
        QCOMPARE(m_app.dialogs->errors(), QStringList());
        QCoreApplication::processEvents(); // the axes lay out their labels
        QStringList labels;
        for (const QGraphicsItem* item : qobject_cast<QChartView*>(chart()->view())->scene()->items())
            if (const auto* label = dynamic_cast<const QGraphicsTextItem*>(item))
                labels << label->toPlainText();
        const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?(E[-+][0-9]+)?$"));
        QVERIFY(labels.size() > 3);
        for (const QString& label : std::as_const(labels))
            QVERIFY2(label.isEmpty() || number.match(label).hasMatch() || label.contains(kTitle),
                     qPrintable(label));
    }

    // A long column is drawn as a few thousand points that keep its ends and its extremes.
    void longColumnDrawnThinned()
    {
        open();
        QString text;
        for (int i = 0; i < 20000; ++i)
            text += QString::number((i * 7919) % 1000) + u'\n';
        text += QStringLiteral("-5\n2000\n7");
        plot(text);
        QCOMPARE(series()->count(), 20003);
        QCOMPARE(series()->label(20002), QStringLiteral("20002"));
        const QList<QPointF> drawn = qobject_cast<QLineSeries*>(drawing()->series().value(0))->points();
        QVERIFY(drawn.size() <= 4096);
        QCOMPARE(drawn.front(), QPointF(0, 0));
        QCOMPARE(drawn.back(), QPointF(20002, 7));
        QVERIFY(drawn.contains(QPointF(20000, -5)));
        QVERIFY(drawn.contains(QPointF(20001, 2000)));
        QVERIFY(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
        // The labels that fit, at round steps from 0, each at its own point.
        QVERIFY(xAxis());
        const QStringList labels = xAxis()->categoriesLabels();
        QVERIFY(labels.size() >= 3 && labels.size() <= 20);
        for (const QString& label : labels)
            QCOMPARE(xAxis()->endValue(label), label.toDouble());
        QCOMPARE(labels[0], QStringLiteral("0"));
        // Each label is drawn whole: none is cut short to "...".
        QCoreApplication::processEvents();
        for (const QGraphicsItem* item : qobject_cast<QChartView*>(chart()->view())->scene()->items())
            if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisible()) {
                QVERIFY2(!text->toPlainText().endsWith(QStringLiteral("...")),
                         qPrintable(text->toPlainText()));
            }
    }
    // What the memo holds comes back from its file byte for byte, a leading byte-order mark
    // included, and the file holds the memo's text with CR LF line ends.
    void saveAndLoadRoundTrip_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("column") << "1\n2,5\n" << QByteArray("1\r\n2,5\r\n");
        QTest::newRow("leading byte-order mark kept") << QStringLiteral("\uFEFF1")
                                                      << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                                    "1");
        QTest::newRow("byte-order mark inside") << QStringLiteral("1\uFEFF") << QByteArray("1\xEF\xBB\xBF");
    }

    void saveAndLoadRoundTrip()
    {
        QFETCH(QString, memo);
        QFETCH(QByteArray, file);
        open();
        this->memo()->setPlainText(memo);
        m_app.dialogs->fileAnswers = {m_app.path("data.txt"), m_app.path("data.txt")};
        click(w(), "BitBtn1");
        QCOMPARE(readAll(m_app.path("data.txt")), file);
        this->memo()->setPlainText(QString());
        click(w(), "BitBtn3");
        QCOMPARE(this->memo()->toPlainText().toUtf8(), memo.toUtf8());
        QCOMPARE(m_app.dialogs->errors(), QStringList());
    }

    // "Отмена" in the progress box ends a load, a save or a plot with nothing changed: the
    // memo, the file and the chart stay as they were.
    void cancelLeavesEverything_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("load") << "BitBtn3";
        QTest::newRow("save") << "BitBtn1";
        QTest::newRow("plot") << "BitBtn2";
    }

    void cancelLeavesEverything()
    {
        QFETCH(QString, button);
        open();
        writeAll(m_app.path("data.txt"), "5\r\n6\r\n");
        memo()->setPlainText(QStringLiteral("1\n4\n9"));
        m_app.dialogs->fileAnswers = {m_app.path("data.txt")};
        // The box is cancelled at the first turn of the event loop, before the step's end is seen.
        bool cancelled = false;
        QTimer::singleShot(0, w(), [&] {
            auto* box = w()->findChild<QProgressDialog*>(QStringLiteral("progress"));
            QVERIFY(box);
            QCOMPARE(box->labelText().isEmpty(), false);
            box->cancel();
            cancelled = true;
        });
        click(w(), button.toLatin1().constData());
        QVERIFY(cancelled);
        QCOMPARE(memo()->toPlainText(), QStringLiteral("1\n4\n9"));
        QCOMPARE(readAll(m_app.path("data.txt")), QByteArray("5\r\n6\r\n"));
        QCOMPARE(QDir(m_app.dir->path()).entryList(QDir::Files), QStringList{"data.txt"});
        QCOMPARE(chart()->titleLines(), QStringList{kTitle});
        QCOMPARE(series()->count(), 0);
        QCOMPARE(m_app.dialogs->errors(), QStringList());
        QVERIFY(plotEnabled());
        // The memo takes typing again.
        memoBox()->setFocus();
        QTest::keyClicks(memoBox(), QStringLiteral("0"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("01\n4\n9"));
    }

    // The progress box shows by the window's step clock, which the test steps: a load on a clock
    // that stands still ends without a box, one whose clock has run past the deadline shows it,
    // and either way the file is loaded.
    void progressShownByTheClock_data()
    {
        QTest::addColumn<qint64>("tick"); // how far the clock moves at each reading
        QTest::addColumn<int>("shown");
        QTest::newRow("quick load") << qint64(0) << 0;
        QTest::newRow("past the deadline") << qint64(plot::kShowProgressByMs) << 1;
    }

    void progressShownByTheClock()
    {
        QFETCH(qint64, tick);
        QFETCH(int, shown);
        open();
        qint64 now = 0;
        w()->stepClock = [&] { return now += tick; };
        writeAll(m_app.path("data.txt"), "5\r\n6\r\n");
        m_app.dialogs->fileAnswers = {m_app.path("data.txt")};
        const ShownBoxes boxes;
        click(w(), "BitBtn3");
        QCOMPARE(boxes.count, shown);
        QCOMPARE(memo()->toPlainText(), QStringLiteral("5\n6\n"));
        QCOMPARE(m_app.dialogs->errors(), QStringList());
    }

    // Every finite value is drawn inside the axes, whose marks are numbers.
    void extremeValuesInsideTheAxes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lowest"); // label of the lowest mark
        QTest::newRow("beyond the double range apart") << "1E308\n-1E308\n1"
                                                       << "-1E+308";
        QTest::newRow("denormals") << "1E-320\n2E-320\n3E-320"
                                   << "1E-320";
        QTest::newRow("ordinary") << "1\n4\n9"
                                  << "0";
    }

    void extremeValuesInsideTheAxes()
    {
        QFETCH(QString, text);
        QFETCH(QString, lowest);
        open();
        plot(text);
        QCOMPARE(m_app.dialogs->errors(), QStringList());
        auto* axis = qobject_cast<QValueAxis*>(drawing()->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        const QList<QPointF> drawn = qobject_cast<QLineSeries*>(drawing()->series().value(0))->points();
        QCOMPARE(drawn.size(), 3);
        for (const QPointF& p : drawn)
            QVERIFY2(p.y() >= axis->min() && p.y() <= axis->max(), qPrintable(QString::number(p.y())));
        // The marks are apart: the points are not squeezed onto one line.
        QVERIFY(drawn[2].y() != drawn[0].y());
        QVERIFY(axis->tickCount() >= 3);
        QCoreApplication::processEvents();
        QStringList labels;
        for (const QGraphicsItem* item : qobject_cast<QChartView*>(chart()->view())->scene()->items())
            if (const auto* label = dynamic_cast<const QGraphicsTextItem*>(item))
                labels << label->toPlainText();
        QVERIFY2(labels.contains(lowest), qPrintable(labels.join(u' ')));
    }

    // The wheel and a drag zoom into X, a double click goes back; the drawn line follows the
    // range shown, every point when it is narrow enough, and the vertical axis stays.
    void zoom()
    {
        open();
        QString text;
        for (int i = 0; i < 100000; ++i)
            text += QString::number(i % 100) + u'\n';
        plot(text);
        auto* view = qobject_cast<QChartView*>(chart()->view());
        auto* yAxis = qobject_cast<QValueAxis*>(drawing()->axes(Qt::Vertical).value(0));
        const auto range = [&] { return std::pair(xAxis()->min(), xAxis()->max()); };
        const auto full = range();
        QCOMPARE(full, std::pair(0.0, 99999.0));
        const std::pair yRange(yAxis->min(), yAxis->max());
        const QPoint middle = view->mapFromScene(drawing()->plotArea().center());
        for (int notch = 0; notch < 40; ++notch) {
            QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(view->viewport(), &wheel);
        }
        const auto zoomed = range();
        QVERIFY(zoomed.second - zoomed.first < 100);
        QVERIFY(zoomed.first > 40000 && zoomed.second < 60000);
        QCOMPARE(std::pair(yAxis->min(), yAxis->max()), yRange);
        const QList<QPointF> drawn = qobject_cast<QLineSeries*>(drawing()->series().value(0))->points();
        QVERIFY(drawn.size() < 110);
        for (const QPointF& p : drawn)
            QCOMPARE(p.y(), double(int(p.x()) % 100)); // every point, none thinned away
        QVERIFY(xAxis()->categoriesLabels().size() >= 2);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, middle);
        QCOMPARE(range(), full);
        // A drag over the middle tenth of the plot zooms to about that tenth.
        const QRectF area = drawing()->plotArea();
        const QPoint from = view->mapFromScene(QPointF(area.left() + area.width() * 0.45, area.center().y()));
        const QPoint to = view->mapFromScene(QPointF(area.left() + area.width() * 0.55, area.center().y()));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
        const auto dragged = range();
        QVERIFY2(dragged.first > 40000 && dragged.second < 60000 && dragged.second - dragged.first > 5000,
                 qPrintable(QStringLiteral("%1 %2").arg(dragged.first).arg(dragged.second)));
        QCOMPARE(std::pair(yAxis->min(), yAxis->max()), yRange);
        // A new plot shows the whole column again.
        click(w(), "Button2");
        plot(QStringLiteral("1\n4\n9"));
        QCOMPARE(range(), std::pair(0.0, 2.0));
    }

    // "Сохранить изображение…" writes the drawing as PNG or SVG by the name's suffix, whole or
    // not at all; a failure is reported in the program's box.
    void saveImage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start"); // of the file written; empty: none
        QTest::addColumn<QString>("error");
        QTest::newRow("PNG") << "plot.png" << QByteArray("\x89PNG\r\n") << "";
        QTest::newRow("SVG") << "plot.SVG" << QByteArray("<?xml") << "";
        QTest::newRow("missing folder")
            << "missing/plot.png" << QByteArray() << "Cannot create file \"%1\". No such file or directory.";
    }

    void saveImage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        QFETCH(QString, error);
        open();
        plot(QStringLiteral("1\n4\n9"));
        const QString path = m_app.path(name);
        m_app.dialogs->fileAnswers = {path};
        emit chart()->saveImageRequested();
        QCOMPARE(m_app.dialogs->lastFilter, QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)"));
        QCOMPARE(m_app.dialogs->errors(), error.isEmpty() ? QStringList() : QStringList{error.arg(path)});
        QCOMPARE(readAll(path).startsWith(start.isEmpty() ? QByteArray("<missing>") : start), true);
        if (name.endsWith(QLatin1String("SVG")))
            QVERIFY(readAll(path).contains("<svg"));
        QCOMPARE(QDir(m_app.dir->path()).entryList(QDir::Files).size(), start.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
