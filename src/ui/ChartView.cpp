// The chart's drawing on Qt Charts, built into the module vilorka_chart: a title above a red
// line with a value axis on the left and the points' labels along the bottom.

#include "ui/ChartDrawing.h"

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
#include <optional>

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

// A range for values too large or too wide to step through in round numbers. Qt writes mark i
// of n as low + i * (high - low) / (n - 1), so a range as wide as the doubles allow gets fewer
// marks, and a column wider than that is shown around its middle, its ends beyond the plot.
AxisRange wideRange(double low, double high)
{
    if (static_cast<long double>(high) - low > DBL_MAX) {
        const double middle = low / 2 + high / 2;
        low = middle - DBL_MAX / 2;
        high = middle + DBL_MAX / 2;
    }
    int ticks = 5;
    while (ticks > 2 && (ticks - 1) * (static_cast<long double>(high) - low) > DBL_MAX)
        --ticks;
    return {low, high, ticks};
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

class ChartView final : public QChartView, public ui::ChartDrawing {
public:
    explicit ChartView(QWidget* parent);

    QWidget* widget() override { return this; }
    void showTitle(const QStringList& lines) override;
    void showSeries(std::span<const double> ys, double minY, double maxY,
                    const std::function<QString(qsizetype)>& labelOf, const QLocale& locale) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOutLabels();

    QLineSeries* m_line;
    QCategoryAxis* m_axisX;
    QValueAxis* m_axisY;
    std::function<QString(qsizetype)> m_labelOf;
    qsizetype m_count = 0;
    qsizetype m_labelStep = 0; // points between two labels on the horizontal axis
};

ChartView::ChartView(QWidget* parent)
    : QChartView(new QChart, parent)
    , m_line(new QLineSeries)
    , m_axisX(new QCategoryAxis)
    , m_axisY(new QValueAxis)
{
    setObjectName(QStringLiteral("chartView"));
    QChart* const c = chart();
    c->legend()->hide();
    c->setBackgroundVisible(false); // the window shows around the plot
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(true);
    c->setBackgroundRoundness(0);
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setAnimationOptions(QChart::NoAnimation);
    c->setLocalizeNumbers(true);
    QFont titleFont = font();
    titleFont.setBold(true);
    c->setTitleFont(titleFont);

    m_line->setPen(QPen(Qt::red, 1));
    m_line->setPointsVisible(false);
    m_line->setPointLabelsVisible(false);
    c->addSeries(m_line);
    m_axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_axisY->setLabelFormat(QStringLiteral("%.10g"));
    m_axisX->setLabelsFont(font());
    m_axisY->setLabelsFont(font());
    c->addAxis(m_axisX, Qt::AlignBottom);
    c->addAxis(m_axisY, Qt::AlignLeft);
    m_line->attachAxis(m_axisX);
    m_line->attachAxis(m_axisY);
    // The labels that fit depend on the width the vertical axis leaves to the plot.
    connect(c, &QChart::plotAreaChanged, this, [this] { layOutLabels(); });

    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // a drawing: Tab goes past it to the controls
    setRenderHint(QPainter::Antialiasing);
    QPalette clear = palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    setPalette(clear);
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    // Left and right margins are a twentieth of the chart's width each.
    const int side = width() * 5 / 100;
    chart()->setMargins(QMargins(side, 4, side, 4));
    QChartView::resizeEvent(event);
}

void ChartView::showTitle(const QStringList& lines)
{
    // The title is rich text: each line is escaped and the lines are joined by line breaks.
    QStringList escaped;
    for (const QString& line : lines)
        escaped << line.toHtmlEscaped();
    chart()->setTitle(lines.isEmpty() ? QString()
                                      : QStringLiteral("<center>") + escaped.join(QStringLiteral("<br>")) +
                                            QStringLiteral("</center>"));
}

void ChartView::showSeries(std::span<const double> ys, double minY, double maxY,
                           const std::function<QString(qsizetype)>& labelOf, const QLocale& locale)
{
    m_line->replace(pointsToDraw(ys));
    m_count = qsizetype(ys.size());
    m_labelOf = labelOf;
    chart()->setLocale(locale);
    if (m_count == 0) {
        m_axisY->setRange(0, 1);
        m_axisY->setTickCount(5);
    } else {
        // A flat line gets room above and below it; the padding stays inside the double range.
        long double low = minY;
        long double high = maxY;
        if (low == high) {
            const long double pad = low == 0 ? 1 : std::fabs(low) / 10;
            low -= pad;
            high += pad;
        }
        const double bottom = double(std::max<long double>(low, -DBL_MAX));
        const double top = double(std::min<long double>(high, DBL_MAX));
        const AxisRange range = roundRange(bottom, top).value_or(wideRange(bottom, top));
        m_axisY->setRange(range.low, range.high);
        m_axisY->setTickCount(range.ticks);
    }
    // Point i sits at X i; a single point gets room on both sides.
    const double first = m_count == 1 ? -0.5 : 0;
    m_axisX->setRange(first, m_count == 0 ? 1 : m_count == 1 ? 0.5 : double(m_count - 1));
    m_axisX->setStartValue(first);
    m_labelStep = 0;
    layOutLabels();
}

void ChartView::layOutLabels()
{
    const qsizetype n = m_count;
    // The smallest step of 1, 2, 5, 10, ... points at which the labels fit side by side; a
    // single label is shown even when it is wider than the plot.
    const QFontMetrics metrics(m_axisX->labelsFont());
    const double room = chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width() * 0.8;
    const int gap = metrics.horizontalAdvance(QStringLiteral("  "));
    qsizetype step = 1;
    while (n > 0) {
        const qsizetype labels = (n - 1) / step + 1;
        if (labels == 1)
            break;
        if (labels * (metrics.horizontalAdvance(u'0') + gap) <= room) {
            int widest = 0;
            for (qsizetype i = 0; i < n; i += step)
                widest = std::max(widest, metrics.horizontalAdvance(m_labelOf(i)));
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
        QString label = m_labelOf(i);
        while (m_axisX->categoriesLabels().contains(label))
            label += QChar(0x200B);
        m_axisX->append(label, double(i));
    }
}

} // namespace

extern "C" Q_DECL_EXPORT ui::ChartDrawing* vilorka_createChartDrawing(QWidget* parent)
{
    return new ChartView(parent);
}
