// The plot window under the offscreen platform, opened from the main menu: the memo typed,
// the buttons clicked by objectName, the file dialogs answered by the message service, and
// the chart read back as title lines and points.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "numtext.h"
#include "plot/UnitGraph.h"
#include "plotdata.h"
#include "ui/Chart.h"
#include "ui/ToolWindow.h"
#include "ui/testkit.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using testkit::byName;
using testkit::click;
using testkit::FakeDialogs;

namespace {

const QString kTitle = QStringLiteral("Диаграмма");
const QString kPlot = QStringLiteral("График");
const QString kFilter = QStringLiteral("Текстовые файлы (*.txt)");

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

} // namespace

class TestGraphWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDialogs> m_dialogs;
    app::Windows m_windows;

    TfmGraph* open()
    {
        byName<QAction>(m_windows.fmCalc.get(), "mnuGraph")->trigger();
        return m_windows.fmGraph.get();
    }
    ui::Chart* chart() { return byName<ui::Chart>(m_windows.fmGraph.get(), "Chart1"); }
    ui::ChartSeries* series() { return chart()->series(0); }
    QPlainTextEdit* memo() { return byName<QPlainTextEdit>(m_windows.fmGraph.get(), "Memo1"); }
    bool plotEnabled() { return byName<QPushButton>(m_windows.fmGraph.get(), "BitBtn2")->isEnabled(); }
    QString path(const char* name) const { return m_dir->filePath(QString::fromLatin1(name)); }

    QStringList axisLabels()
    {
        auto* axis = qobject_cast<QCategoryAxis*>(
            qobject_cast<QChartView*>(chart()->view())->chart()->axes(Qt::Horizontal).value(0));
        return axis ? axis->categoriesLabels() : QStringList{"<no axis>"};
    }

    void plot(const QString& text)
    {
        memo()->setPlainText(text);
        click(m_windows.fmGraph.get(), "BitBtn2");
    }

private slots:
    void init()
    {
        numtext::setDecimalSeparator(',');
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = std::make_unique<FakeDialogs>();
        m_windows = app::createWindows(*m_dialogs, path("CalcConf.ini"));
    }

    void cleanup()
    {
        m_windows = app::Windows();
        m_dialogs.reset();
        m_dir.reset();
    }

    void layout()
    {
        QWidget* w = open();
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), kPlot);
        QCOMPARE(w->pos(), QPoint(192, 114));
        QCOMPARE(w->size(), ui::ToolWindow::clientSize(639, 480));
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 220, 192));
        QCOMPARE(chart()->geometry(), QRect(8, 8, 505, 417));
        QCOMPARE(memo()->geometry(), QRect(520, 8, 105, 201));
        QVERIFY(memo()->toPlainText().isEmpty());
        QCOMPARE(memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        const struct {
            const char* name;
            const char* caption;
            QRect rect;
            QColor color;
        } buttons[] = {
            {"BitBtn2", "График", {528, 224, 75, 25}, QColor(0, 128, 0)},
            {"BitBtn1", "Сохранить", {528, 256, 75, 25}, QColor(255, 0, 0)},
            {"BitBtn3",
             "Открыть",
             {528, 288, 75, 25},
             w->palette().color(QPalette::Active, QPalette::Highlight)},
            {"Button2", "Очистить", {528, 320, 75, 25}, w->palette().color(QPalette::ButtonText)},
        };
        for (const auto& b : buttons) {
            auto* button = byName<QPushButton>(w, b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
            QCOMPARE(button->accessibleName(), QString::fromUtf8(b.caption));
            QCOMPARE(button->geometry(), b.rect);
            QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText), b.color);
            QCOMPARE(button->palette().color(QPalette::Disabled, QPalette::ButtonText),
                     w->palette().color(QPalette::Disabled, QPalette::ButtonText));
        }
        QCOMPARE(chart()->titleLines(), QStringList{kTitle});
        QCOMPARE(chart()->seriesCount(), 1);
        QCOMPARE(series()->objectName(), QStringLiteral("Series1"));
        QCOMPARE(series()->count(), 0);
        QVERIFY(plotEnabled());
        // Tab leaves the memo and visits the buttons top to bottom.
        QStringList order;
        QWidget* at = memo();
        for (int i = 0; i < 5; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order, (QStringList{"Memo1", "BitBtn2", "BitBtn1", "BitBtn3", "Button2"}));
        QVERIFY(memo()->tabChangesFocus());
    }

    void plotColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("title");
        QTest::addColumn<QStringList>("points");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty memo") << "" << QStringList{kTitle} << QStringList{} << "" << true;
        QTest::newRow("three numbers") << "1\n4\n9" << QStringList{kTitle, kPlot}
                                       << QStringList{"0 1 0", "1 4 1", "2 9 2"} << "" << false;
        QTest::newRow("final line break")
            << "1\n4\n9\n"
            << QStringList{kTitle, kPlot} << QStringList{"0 1 0", "1 4 1", "2 9 2"} << "" << false;
        QTest::newRow("blank line in the middle")
            << "2,5\n\n3" << QStringList{kTitle, kPlot} << QStringList{"0 2.5 0"}
            << "'' is not a valid floating point value." << true;
        QTest::newRow("beyond the double range")
            << "1\n1E400" << QStringList{kTitle, kPlot} << QStringList{"0 1 0"} << "Floating point overflow."
            << true;
        QTest::newRow("blanks are text, not an empty memo")
            << " " << QStringList{kTitle, kPlot} << QStringList{}
            << "' ' is not a valid floating point value." << true;
    }

    void plotColumn()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, title);
        QFETCH(QStringList, points);
        QFETCH(QString, error);
        QFETCH(bool, enabled);
        open();
        plot(text);
        QCOMPARE(chart()->titleLines(), title);
        QCOMPARE(::points(series()), points);
        QCOMPARE(m_dialogs->errors(), error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(plotEnabled(), enabled);
        QCOMPARE(memo()->toPlainText(), text);
    }

    void clearThenPlotAgain()
    {
        open();
        plot(QStringLiteral("1\n4\n9"));
        click(m_windows.fmGraph.get(), "Button2");
        QCOMPARE(chart()->titleLines(), QStringList());
        QCOMPARE(series()->count(), 0);
        QVERIFY(plotEnabled());
        // A chart without a title is still announced, by what it is.
        QCOMPARE(chart()->accessibleName(), kTitle);
        QCOMPARE(chart()->accessibleDescription(), QString());
        QCOMPARE(memo()->toPlainText(), QStringLiteral("1\n4\n9"));
        click(m_windows.fmGraph.get(), "BitBtn2");
        QCOMPARE(chart()->titleLines(), QStringList{kPlot});
        QCOMPARE(chart()->accessibleDescription(), kPlot);
        QCOMPARE(points(series()), (QStringList{"0 1 0", "1 4 1", "2 9 2"}));
        QVERIFY(!plotEnabled());
    }

    void plotAgainAfterFailureContinuesX()
    {
        open();
        plot(QStringLiteral("1\nx"));
        click(m_windows.fmGraph.get(), "BitBtn2");
        QCOMPARE(chart()->titleLines(), (QStringList{kTitle, kPlot, kPlot}));
        QCOMPARE(points(series()), (QStringList{"0 1 0", "1 1 0"}));
        QCOMPARE(m_dialogs->errors().size(), 2);
        // Both points keep their label "0" on the horizontal axis.
        const QStringList labels = axisLabels();
        QCOMPARE(labels.size(), 2);
        QCOMPARE(labels[0], QStringLiteral("0"));
        QCOMPARE(QString(labels[1]).remove(QChar(0x200B)), QStringLiteral("0"));
        QVERIFY(plotEnabled());
    }

    void save_data()
    {
        QTest::addColumn<QString>("answer"); // file name the dialog returns, relative to the test folder
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("file"); // what the answered file holds afterwards
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("room"); // bytes a file may take, as on a full disk; 0: no limit
        QTest::newRow("saving as data writes data.txt") << "data.txt"
                                                        << "1\n2,5\n"
                                                        << QByteArray("1\r\n2,5\r\n") << "" << 0;
        QTest::newRow("text as it stands, not checked") << "column.txt"
                                                        << "1\n\nx" << QByteArray("1\r\n\r\nx") << "" << 0;
        QTest::newRow("empty memo empties the file") << "data.txt"
                                                     << "" << QByteArray("") << "" << 0;
        QTest::newRow("cancel writes nothing") << ""
                                               << "1" << QByteArray("old") << "" << 0;
        QTest::newRow("folder that is a file")
            << "data.txt/x.txt"
            << "1" << QByteArray("old") << "Cannot create file \"%1\". Not a directory." << 0;
        QTest::newRow("missing folder")
            << "missing/x.txt"
            << "1" << QByteArray("old") << "Cannot create file \"%1\". No such file or directory." << 0;
        QTest::newRow("name of a folder")
            << "folder.txt"
            << "1" << QByteArray("old") << "Cannot create file \"%1\". Filename refers to a directory." << 0;
        QTest::newRow("disk full: the previous file stays")
            << "data.txt" << QString(4096, u'7') << QByteArray("old") << "Stream write error." << 1024;
    }

    void save()
    {
        QFETCH(QString, answer);
        QFETCH(QString, memo);
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(int, room);
        TfmGraph* w = open();
        writeAll(path("data.txt"), "old");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.txt")));
        const QString chosen = answer.isEmpty() ? QString() : m_dir->filePath(answer);
        m_dialogs->fileAnswers.push_back(chosen);
        this->memo()->setPlainText(memo);
        {
            std::optional<testkit::DiskFull> full;
            if (room > 0)
                full.emplace(rlim_t(room));
            click(w, "BitBtn1");
        }
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("save"));
        QCOMPARE(m_dialogs->lastFilter, kFilter);
        QCOMPARE(m_dialogs->lastSuffix, QStringLiteral("txt"));
        QCOMPARE(m_dialogs->lastInitialPath, QString());
        QCOMPARE(readAll(chosen.isEmpty() || !error.isEmpty() ? path("data.txt") : chosen), file);
        QCOMPARE(m_dialogs->errors(), error.isEmpty() ? QStringList() : QStringList{error.arg(chosen)});
        QCOMPARE(this->memo()->toPlainText(), memo);
        // Nothing is left behind: no temporary file, the folder as it was.
        QVERIFY(QDir(path("folder.txt")).isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(),
                 answer == QLatin1String("column.txt") ? 2 : 1);
        // The dialog offers the name chosen last time; a cancel chooses nothing.
        m_dialogs->fileAnswers.push_back(QString());
        click(w, "BitBtn1");
        QCOMPARE(m_dialogs->lastInitialPath, chosen);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("memo");
        QTest::newRow("CR LF") << QByteArray("1\r\n4\r\n9\r\n") << "1\n4\n9\n";
        QTest::newRow("lone LF") << QByteArray("1\n4\n9") << "1\n4\n9";
        QTest::newRow("lone CR") << QByteArray("1\r4\r9\r") << "1\n4\n9\n";
        QTest::newRow("empty file") << QByteArray("") << "";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "2,5")
                                         << "2,5";
        QTest::newRow("single-byte Cyrillic") << QByteArray("\xF7\xE8\xF1\xEB\xEE") << "число";
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, memo);
        TfmGraph* w = open();
        writeAll(path("data.txt"), file);
        this->memo()->setPlainText(QStringLiteral("old"));
        m_dialogs->fileAnswers.push_back(path("data.txt"));
        click(w, "BitBtn3");
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("open"));
        QCOMPARE(m_dialogs->lastFilter, kFilter);
        QCOMPARE(m_dialogs->lastInitialPath, QString());
        QCOMPARE(this->memo()->toPlainText(), memo);
        QCOMPARE(m_dialogs->errors(), QStringList());
        m_dialogs->fileAnswers.push_back(QString());
        click(w, "BitBtn3");
        QCOMPARE(m_dialogs->lastInitialPath, path("data.txt"));
        QCOMPARE(this->memo()->toPlainText(), memo);
    }

    void loadFailureKeepsTheMemo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing file") << "missing.txt"
                                      << "Cannot open file \"%1\". No such file or directory.";
        QTest::newRow("beyond the memo's capacity") << "huge.txt"
                                                    << "Text exceeds memo capacity.";
    }

    void loadFailureKeepsTheMemo()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        TfmGraph* w = open();
        // A sparse file: its size is over the capacity, yet it occupies no disk and is never read.
        QFile huge(path("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(plot::kMemoCapacity + 1));
        huge.close();
        memo()->setPlainText(QStringLiteral("1\n2"));
        m_dialogs->fileAnswers.push_back(m_dir->filePath(name));
        click(w, "BitBtn3");
        QCOMPARE(m_dialogs->errors(),
                 QStringList{error.contains(u'%') ? error.arg(m_dir->filePath(name)) : error});
        QCOMPARE(memo()->toPlainText(), QStringLiteral("1\n2"));
    }

    void filesLeaveThePlot()
    {
        TfmGraph* w = open();
        plot(QStringLiteral("1\n4\n9"));
        writeAll(path("data.txt"), "5\n6");
        m_dialogs->fileAnswers = {path("data.txt"), path("saved.txt")};
        click(w, "BitBtn3");
        click(w, "BitBtn1");
        QCOMPARE(memo()->toPlainText(), QStringLiteral("5\n6"));
        QCOMPARE(readAll(path("saved.txt")), QByteArray("5\r\n6"));
        QCOMPARE(chart()->titleLines(), (QStringList{kTitle, kPlot}));
        QCOMPARE(points(series()), (QStringList{"0 1 0", "1 4 1", "2 9 2"}));
        QVERIFY(!plotEnabled());
        // The loaded column plots once the plot is cleared.
        click(w, "Button2");
        click(w, "BitBtn2");
        QCOMPARE(points(series()), (QStringList{"0 5 0", "1 6 1"}));
    }

    void closedWindowKeepsItsPlot()
    {
        TfmGraph* w = open();
        plot(QStringLiteral("3\n1"));
        w->close();
        QVERIFY(!w->isVisible());
        open();
        QVERIFY(w->isVisible());
        QCOMPARE(memo()->toPlainText(), QStringLiteral("3\n1"));
        QCOMPARE(points(series()), (QStringList{"0 3 0", "1 1 1"}));
        QVERIFY(!plotEnabled());
    }

    // The drawing is built at the first show and then shows what was plotted before it.
    void chartDrawnAtFirstShow()
    {
        m_windows.fmGraph->ensureBuilt(); // the controls, without showing the window
        QVERIFY(!chart()->view());
        memo()->setPlainText(QStringLiteral("1\n4\n9"));
        click(m_windows.fmGraph.get(), "BitBtn2");
        QVERIFY(!chart()->view());
        open();
        auto* view = qobject_cast<QChartView*>(chart()->view());
        QVERIFY(view);
        QCOMPARE(view->chart()->title(), QStringLiteral("<center>%1<br>%2</center>").arg(kTitle, kPlot));
        auto* line = qobject_cast<QLineSeries*>(view->chart()->series().value(0));
        QVERIFY(line);
        QCOMPARE(line->points(), (QList<QPointF>{{0, 1}, {1, 4}, {2, 9}}));
        QCOMPARE(line->pen().color(), QColor(Qt::red));
        QVERIFY(!line->pointsVisible());
        QVERIFY(!line->pointLabelsVisible());
        // Title lines are text, not markup.
        chart()->appendTitleLine(QStringLiteral("a<b>&"));
        QVERIFY(view->chart()->title().endsWith(QStringLiteral("<br>a&lt;b&gt;&amp;</center>")));
        click(m_windows.fmGraph.get(), "Button2");
        QVERIFY(view->chart()->title().isEmpty());
        QVERIFY(line->points().isEmpty());
    }

    // A column at the ends of the double range is drawn with a number at every mark of the
    // axes: their steps stay within the double range.
    void extremeColumnsLabelledWithNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("from the lowest double to zero") << "-1,7976931348623157E308\n0";
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
        QCOMPARE(m_dialogs->errors(), QStringList());
        QCoreApplication::processEvents(); // the axes lay out their labels
        const auto* view = qobject_cast<QChartView*>(chart()->view());
        QStringList labels;
        for (const QGraphicsItem* item : view->scene()->items())
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
        for (int i = 0; i < 100000; ++i)
            text += QString::number((i * 7919) % 1000) + u'\n';
        text += QStringLiteral("-5\n2000\n7");
        plot(text);
        QCOMPARE(series()->count(), 100003);
        QCOMPARE(series()->label(100002), QStringLiteral("100002"));
        const QList<QPointF> drawn =
            qobject_cast<QLineSeries*>(qobject_cast<QChartView*>(chart()->view())->chart()->series().value(0))
                ->points();
        QVERIFY(drawn.size() <= 4096);
        QCOMPARE(drawn.front(), QPointF(0, 0));
        QCOMPARE(drawn.back(), QPointF(100002, 7));
        QVERIFY(drawn.contains(QPointF(100000, -5)));
        QVERIFY(drawn.contains(QPointF(100001, 2000)));
        QVERIFY(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
        // The labels that fit, at round steps from 0, each at its own point.
        auto* axis = qobject_cast<QCategoryAxis*>(
            qobject_cast<QChartView*>(chart()->view())->chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(axis);
        const QStringList labels = axis->categoriesLabels();
        QVERIFY(labels.size() >= 3 && labels.size() <= 20);
        for (const QString& label : labels)
            QCOMPARE(axis->endValue(label), label.toDouble());
        QCOMPARE(labels[0], QStringLiteral("0"));
    }
};

QTEST_MAIN(TestGraphWindow)
#include "tst_graphwindow.moc"
