#include "ui/Chart.h"

#include "numtext.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>

namespace ui {

ChartSeries::ChartSeries(QObject* parent)
    : QObject(parent)
{
}

QString ChartSeries::label(qsizetype index) const
{
    const qsizetype start = index == 0 ? 0 : m_labelEnds[std::size_t(index - 1)];
    return m_labelText.mid(start, m_labelEnds[std::size_t(index)] - start);
}

QColor ChartSeries::color(qsizetype index) const
{
    const auto run = std::upper_bound(m_colors.begin(), m_colors.end(), index,
                                      [](qsizetype i, const auto& r) { return i < r.first; });
    return QColor::fromRgba(std::prev(run)->second);
}

void ChartSeries::append(double y, const QString& label, QRgb color)
{
    if (m_y.empty()) {
        m_minY = m_maxY = y;
    } else {
        m_minY = std::min(m_minY, y);
        m_maxY = std::max(m_maxY, y);
    }
    if (m_colors.empty() || m_colors.back().second != color)
        m_colors.emplace_back(count(), color);
    m_y.push_back(y);
    m_labelText += label;
    m_labelEnds.push_back(m_labelText.size());
}

void ChartSeries::addPoint(double y, const QString& label, const QColor& color)
{
    append(y, label, color.rgba());
    emit changed();
}

void ChartSeries::addPoints(std::span<const double> ys, const LabelOf& labelOf, const QColor& color)
{
    if (ys.empty())
        return;
    m_y.reserve(m_y.size() + ys.size());
    m_labelEnds.reserve(m_labelEnds.size() + ys.size());
    const QRgb rgba = color.rgba();
    for (std::size_t k = 0; k < ys.size(); ++k)
        append(ys[k], labelOf(qsizetype(k)), rgba);
    emit changed();
}

void ChartSeries::clear()
{
    m_y = {};
    m_labelText = QString();
    m_labelEnds = {};
    m_colors = {};
    m_minY = m_maxY = 0;
    emit changed();
}

namespace {

// Beyond this many points the drawn line is thinned (below); the chart is about 500 pixels
// wide, so the line keeps every point the screen can show.
constexpr std::size_t kBuckets = 1024;
constexpr std::size_t kThinFrom = 4 * kBuckets;

// The points to draw for ys: all of them for a short series; for a long one, of each of
// kBuckets runs of consecutive points its first, lowest, highest and last point in X order.
// A run is narrower than a pixel, so the thinned line covers the same pixels as the full one
// while the drawing stays a few thousand points however long the series is.
QList<QPointF> pointsToDraw(std::span<const double> ys)
{
    QList<QPointF> out;
    const std::size_t n = ys.size();
    if (n <= kThinFrom) {
        out.reserve(qsizetype(n));
        for (std::size_t i = 0; i < n; ++i)
            out.append(QPointF(double(i), ys[i]));
        return out;
    }
    out.reserve(4 * kBuckets);
    for (std::size_t b = 0; b < kBuckets; ++b) {
        const std::size_t first = b * n / kBuckets;
        const std::size_t last = (b + 1) * n / kBuckets - 1;
        const auto [low, high] = std::minmax_element(ys.begin() + long(first), ys.begin() + long(last) + 1);
        std::size_t picks[] = {first, std::size_t(low - ys.begin()), std::size_t(high - ys.begin()), last};
        std::sort(std::begin(picks), std::end(picks));
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || picks[k] != picks[k - 1])
                out.append(QPointF(double(picks[k]), ys[picks[k]]));
    }
    return out;
}

// Numbers on the axes are written with the program's decimal separator.
QLocale numberLocale()
{
    QLocale locale =
        numtext::decimalSeparator() == ',' ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

struct AxisRange {
    double low, high;
    int ticks;
};

// The vertical axis runs over whole steps of 1, 2, 2.5 or 5 times a power of ten around
// [low, high], in at most eight steps, so its grid lines fall on round values. None for a
// range too wide or too narrow to step through in doubles.
std::optional<AxisRange> roundRange(double low, double high)
{
    constexpr int kMaxSteps = 8;
    const double rough = (high - low) / kMaxSteps;
    if (!(rough >= DBL_MIN) || std::fabs(low) > 1e300 || std::fabs(high) > 1e300)
        return std::nullopt;
    for (double decade = std::pow(10.0, std::floor(std::log10(rough)));; decade *= 10) {
        for (const double multiple : {1.0, 2.0, 2.5, 5.0}) {
            const double step = multiple * decade;
            const double first = std::floor(low / step);
            const double last = std::ceil(high / step);
            if (last - first <= kMaxSteps) // + 0.0 turns a negative zero into zero
                return AxisRange{first * step + 0.0, last * step + 0.0, int(last - first) + 1};
        }
    }
}

// 1, 2, 5, 10, 20, 50, ...
qsizetype nextNiceStep(qsizetype step)
{
    qsizetype decade = 1;
    while (step >= decade * 10)
        decade *= 10;
    const qsizetype digit = step / decade;
    return (digit == 1 ? 2 : digit == 2 ? 5 : 10) * decade;
}

} // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent)
    , m_series(new ChartSeries(this))
{
    connect(m_series, &ChartSeries::changed, this, &Chart::showSeries);
}

Chart::~Chart() = default;

ChartSeries* Chart::series(int index) const { return index == 0 ? m_series : nullptr; }

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
    if (!m_view)
        return;
    m_view->setGeometry(rect());
    // Left and right margins are a twentieth of the chart's width each.
    const int side = width() * 5 / 100;
    m_chart->setMargins(QMargins(side, 4, side, 4));
}

void Chart::ensureView()
{
    if (m_view)
        return;
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setBackgroundVisible(false); // the window shows around the plot
    m_chart->setPlotAreaBackgroundBrush(Qt::white);
    m_chart->setPlotAreaBackgroundVisible(true);
    m_chart->setBackgroundRoundness(0);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setLocalizeNumbers(true);
    QFont titleFont = font();
    titleFont.setBold(true);
    m_chart->setTitleFont(titleFont);

    m_line = new QLineSeries;
    m_line->setPen(QPen(Qt::red, 1));
    m_line->setPointsVisible(false);
    m_line->setPointLabelsVisible(false);
    m_chart->addSeries(m_line);

    m_axisX = new QCategoryAxis;
    m_axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_axisY = new QValueAxis;
    m_axisY->setLabelFormat(QStringLiteral("%.10g"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(m_axisX), static_cast<QAbstractAxis*>(m_axisY)})
        axis->setLabelsFont(font());
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    m_line->attachAxis(m_axisX);
    m_line->attachAxis(m_axisY);
    // The labels that fit depend on the width the vertical axis leaves to the plot.
    connect(m_chart, &QChart::plotAreaChanged, this, &Chart::layOutAxes);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chartView"));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setRenderHint(QPainter::Antialiasing);
    QPalette clear = m_view->palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    m_view->setPalette(clear);
    m_view->setGeometry(rect());
    const int side = width() * 5 / 100;
    m_chart->setMargins(QMargins(side, 4, side, 4));
    showTitle();
    showSeries();
    m_view->show();
}

void Chart::showTitle()
{
    setAccessibleName(m_title.join(u'\n'));
    if (!m_view)
        return;
    // The title is rich text: each line is escaped and the lines are joined by line breaks.
    QStringList escaped;
    for (const QString& line : m_title)
        escaped << line.toHtmlEscaped();
    m_chart->setTitle(m_title.isEmpty() ? QString()
                                        : QStringLiteral("<center>") + escaped.join(QStringLiteral("<br>")) +
                                              QStringLiteral("</center>"));
}

void Chart::showSeries()
{
    if (!m_view)
        return;
    m_line->replace(pointsToDraw(m_series->yValues()));
    const qsizetype n = m_series->count();
    if (n == 0) {
        m_axisY->setRange(0, 1);
        m_axisY->setTickCount(5);
    } else {
        // A flat line gets room above and below it; the padding stays inside the double range.
        long double low = m_series->minimumY();
        long double high = m_series->maximumY();
        if (low == high) {
            const long double pad = low == 0 ? 1 : std::fabs(low) / 10;
            low -= pad;
            high += pad;
        }
        const double bottom = double(std::max<long double>(low, -DBL_MAX));
        const double top = double(std::min<long double>(high, DBL_MAX));
        const std::optional<AxisRange> round = roundRange(bottom, top);
        m_axisY->setRange(round ? round->low : bottom, round ? round->high : top);
        m_axisY->setTickCount(round ? round->ticks : 5);
    }
    m_chart->setLocale(numberLocale());
    // Point i sits at X i; a single point gets room on both sides.
    const double first = n == 1 ? -0.5 : 0;
    m_axisX->setRange(first, n == 0 ? 1 : n == 1 ? 0.5 : double(n - 1));
    m_axisX->setStartValue(first);
    m_labelStep = 0;
    layOutAxes();
}

void Chart::layOutAxes()
{
    if (!m_view)
        return;
    const qsizetype n = m_series->count();
    // The smallest step of 1, 2, 5, 10, ... points at which the labels fit side by side; a
    // single label is shown even when it is wider than the plot.
    const QFontMetrics metrics(m_axisX->labelsFont());
    const double room = m_chart->plotArea().width() > 0 ? m_chart->plotArea().width() : width() * 0.8;
    const int gap = metrics.horizontalAdvance(QStringLiteral("  "));
    qsizetype step = 1;
    while (n > 0) {
        const qsizetype labels = (n - 1) / step + 1;
        if (labels == 1)
            break;
        if (labels * (metrics.horizontalAdvance(u'0') + gap) <= room) {
            int widest = 0;
            for (qsizetype i = 0; i < n; i += step)
                widest = std::max(widest, metrics.horizontalAdvance(m_series->label(i)));
            if (labels * (widest + gap) <= room)
                break;
        }
        step = nextNiceStep(step);
    }
    if (step == m_labelStep)
        return;
    m_labelStep = step;

    for (const QString& label : m_axisX->categoriesLabels())
        m_axisX->remove(label);
    for (qsizetype i = 0; i < n; i += step) {
        // The axis keys its labels by text; a zero-width space tells equal labels apart.
        QString label = m_series->label(i);
        while (m_axisX->categoriesLabels().contains(label))
            label += QChar(0x200B);
        m_axisX->append(label, double(i));
    }
}

} // namespace ui
