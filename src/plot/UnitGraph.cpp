#include "plot/UnitGraph.h"

#include "plot/plotdata.h"
#include "ui/Chart.h"
#include "ui/Dispatch.h"
#include "ui/TextFile.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

const QString kInitialTitle = QStringLiteral("Диаграмма");
const QString kPlotTitle = QStringLiteral("График");
const QString kFilter = QStringLiteral("Текстовые файлы (*.txt)");
const QString kSuffix = QStringLiteral("txt");
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

QPushButton* coloredButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect,
                           const QColor& color)
{
    QPushButton* button = ui::pushButton(parent, name, caption, rect);
    // A disabled button keeps the palette's grey caption, so the user sees it cannot be pressed.
    QPalette pal = button->palette();
    pal.setColor(QPalette::Active, QPalette::ButtonText, color);
    pal.setColor(QPalette::Inactive, QPalette::ButtonText, color);
    button->setPalette(pal);
    return button;
}

// The whole file as memo text. The size is checked before a byte is read, so a file too large
// for the memo is refused without being loaded.
QString readMemoFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ui::cannotOpen(path, file.errorString());
    if (file.size() > plot::kMemoCapacity)
        throw ui::FileError(plot::kTextExceedsMemoCapacity);
    // Read what the size promises; a file that grows meanwhile is read on, still held to the
    // capacity.
    QByteArray bytes = file.read(file.size() + 1);
    while (bytes.size() <= plot::kMemoCapacity) {
        const QByteArray more = file.read(std::min<qint64>(plot::kMemoCapacity + 1 - bytes.size(), 1 << 20));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError)
        throw ui::cannotOpen(path, file.errorString());
    if (bytes.size() > plot::kMemoCapacity)
        throw ui::FileError(plot::kTextExceedsMemoCapacity);
    const std::string text = plot::normalizeLineBreaks(
        plot::decodeText(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The busy cursor while a long column is read, drawn or loaded; restored however the step ends.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

TfmGraph::TfmGraph(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmGraph", kPlotTitle, 192, 114, 639, 480, QColor(192, 220, 192)})
{
}

void TfmGraph::build()
{
    Chart1 = new ui::Chart(this);
    Memo1 = ui::memo(this, "Memo1", QStringLiteral("Данные графика"), {520, 8, 105, 201});
    BitBtn2 = coloredButton(this, "BitBtn2", kPlotTitle, {528, 224, 75, 25}, kGreen);
    BitBtn1 = coloredButton(this, "BitBtn1", QStringLiteral("Сохранить"), {528, 256, 75, 25}, kRed);
    BitBtn3 = coloredButton(this, "BitBtn3", QStringLiteral("Открыть"), {528, 288, 75, 25},
                            palette().color(QPalette::Active, QPalette::Highlight));
    Button2 = ui::pushButton(this, "Button2", QStringLiteral("Очистить"), {528, 320, 75, 25});

    ui::nameControl(Chart1, "Chart1", QString());
    Chart1->setGeometry(8, 8, 505, 417);
    Chart1->series(0)->setObjectName(QStringLiteral("Series1"));
    Chart1->appendTitleLine(kInitialTitle);
    Memo1->setTabChangesFocus(true); // Tab leaves the memo, as in every other box
    ui::chainTabOrder({Memo1, BitBtn2, BitBtn1, BitBtn3, Button2});
    ui::connectGuarded(m_dialogs, BitBtn2, &QPushButton::clicked, this, &TfmGraph::BitBtn2Click);
    ui::connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TfmGraph::Button2Click);
    ui::connectGuarded(m_dialogs, BitBtn1, &QPushButton::clicked, this, &TfmGraph::BitBtn1Click);
    ui::connectGuarded(m_dialogs, BitBtn3, &QPushButton::clicked, this, &TfmGraph::BitBtn3Click);
}

void TfmGraph::BitBtn2Click()
{
    const QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return;
    const BusyCursor busy;
    Chart1->appendTitleLine(kPlotTitle);
    const plot::Column column = plot::readColumn(text.toStdString());
    // The lines read before an unreadable one are drawn, all in one go, before its error.
    Chart1->series(0)->addPoints(
        column.values, [](qsizetype i) { return QString::fromStdString(numtext::intToText(i)); }, kRed);
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
    ui::writeTextFile(name, Memo1->toPlainText());
}

void TfmGraph::BitBtn3Click()
{
    const QString name = m_dialogs.openFileName(this, kFilter, m_openName);
    if (name.isEmpty())
        return;
    m_openName = name;
    const BusyCursor busy;
    Memo1->setPlainText(readMemoFile(name)); // undo history cleared, cursor at the start
}
