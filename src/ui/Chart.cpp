#include "ui/Chart.h"

#include "numtext/numtext.h"
#include "ui/ChartDrawing.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QLocale>

#include <algorithm>

namespace ui {

ChartSeries::ChartSeries(QObject* parent)
    : QObject(parent)
{
}

QString ChartSeries::label(qsizetype index) const
{
    const qsizetype first = *std::prev(std::upper_bound(m_labelRuns.begin(), m_labelRuns.end(), index));
    return QString::fromStdString(numtext::intToText(index - first));
}

QColor ChartSeries::color(qsizetype index) const
{
    const auto run = std::upper_bound(m_colors.begin(), m_colors.end(), index,
                                      [](qsizetype i, const auto& r) { return i < r.first; });
    return QColor::fromRgba(std::prev(run)->second);
}

void ChartSeries::extendRange(double y)
{
    if (m_y.empty()) {
        m_minY = m_maxY = y;
    } else {
        m_minY = std::min(m_minY, y);
        m_maxY = std::max(m_maxY, y);
    }
}

void ChartSeries::startColor(QRgb color)
{
    if (m_colors.empty() || m_colors.back().second != color)
        m_colors.emplace_back(count(), color);
}

void ChartSeries::addPoints(std::vector<double> ys, const QColor& color)
{
    if (ys.empty())
        return;
    startColor(color.rgba());
    m_labelRuns.push_back(count());
    const auto [low, high] = std::minmax_element(ys.begin(), ys.end());
    extendRange(*low);
    m_maxY = std::max(m_maxY, *high);
    if (m_y.empty())
        m_y = std::move(ys);
    else
        m_y.insert(m_y.end(), ys.begin(), ys.end());
    emit changed();
}

void ChartSeries::clear()
{
    m_y = {};
    m_labelRuns = {};
    m_colors = {};
    m_minY = m_maxY = 0;
    emit changed();
}

namespace {

// Numbers on the axes are written with the program's decimal separator.
QLocale numberLocale()
{
    QLocale locale =
        numtext::decimalSeparator() == ',' ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// The drawing module, loaded once, from the program's library folder: the same place relative
// to the executable in the build tree and when installed. Null when it cannot be loaded.
CreateChartDrawing drawingModule()
{
    static const CreateChartDrawing create = [] {
        QLibrary module(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(VILORKA_MODULE_DIR "/vilorka_chart")));
        const auto entry = reinterpret_cast<CreateChartDrawing>(module.resolve(kCreateChartDrawing));
        if (!entry)
            qWarning("The chart cannot be drawn: %s", qPrintable(module.errorString()));
        return entry;
    }();
    return create;
}

} // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent)
    , m_series(new ChartSeries(this))
{
    // A screen reader announces the chart by what it is, and then its title, which may be empty.
    setAccessibleName(QStringLiteral("Диаграмма"));
    connect(m_series, &ChartSeries::changed, this, &Chart::showSeries);
}

// The drawing goes first: it reads the series' labels until it is gone.
Chart::~Chart() { m_drawing.reset(); }

ChartSeries* Chart::series(int index) const { return index == 0 ? m_series : nullptr; }

QWidget* Chart::view() const { return m_drawing ? m_drawing->widget() : nullptr; }

QByteArray Chart::image(ImageFormat format) const
{
    return m_drawing ? m_drawing->image(format == ImageFormat::Svg) : QByteArray();
}

void Chart::appendTitleLine(const QString& line)
{
    m_title.append(line);
    showTitle();
}

void Chart::clearTitle()
{
    m_title.clear();
    showTitle();
}

void Chart::showEvent(QShowEvent* event)
{
    ensureView();
    QWidget::showEvent(event);
}

void Chart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_drawing)
        m_drawing->widget()->setGeometry(rect());
}

void Chart::ensureView()
{
    if (m_drawing)
        return;
    const CreateChartDrawing create = drawingModule();
    if (!create)
        return;
    m_drawing.reset(create(this));
    m_drawing->setSaveImageHandler([this] { emit saveImageRequested(); });
    m_drawing->widget()->setGeometry(rect());
    showTitle();
    showSeries();
    m_drawing->widget()->show();
}

void Chart::showTitle()
{
    setAccessibleDescription(m_title.join(u'\n'));
    if (m_drawing)
        m_drawing->showTitle(m_title);
}

void Chart::showSeries()
{
    if (!m_drawing)
        return;
    const ChartSeries* series = m_series;
    m_drawing->showSeries(
        series->yValues(), series->minimumY(), series->maximumY(),
        [series](qsizetype i) { return series->label(i); }, numberLocale());
}

} // namespace ui
