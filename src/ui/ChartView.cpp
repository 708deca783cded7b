// The chart's drawing on Qt Charts, built into the module vilorka_chart: a title above a red
// line with a value axis on the left and the points' labels along the bottom.

#include "ui/ChartDrawing.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QRubberBand>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>

namespace {

// The points to draw for ys[first..last] across a plot columns pixels wide: every point when
// there are few, else for each pixel column its first, lowest, highest and last point in X
// order, so the thinned line covers the same pixels as the full one (no peak is lost) while
// the drawing stays a few thousand points however long the series is. Y is divided by scale.
QList<QPointF> pointsToDraw(std::span<const double> ys, std::size_t first, std::size_t last,
                            std::size_t columns, long double scale)
{
    QList<QPointF> out;
    const auto at = [&](std::size_t i) { return QPointF(double(i), double(ys[i] / scale)); };
    const std::size_t n = last - first + 1;
    if (n <= 4 * columns) {
        out.reserve(qsizetype(n));
        for (std::size_t i = first; i <= last; ++i)
            out.append(at(i));
        return out;
    }
    out.reserve(qsizetype(4 * columns));
    for (std::size_t b = 0; b < columns; ++b) {
        const std::size_t from = first + b * n / columns;
        const std::size_t to = first + (b + 1) * n / columns - 1;
        const auto [low, high] = std::minmax_element(ys.begin() + long(from), ys.begin() + long(to) + 1);
        std::size_t picks[] = {from, std::size_t(low - ys.begin()), std::size_t(high - ys.begin()), to};
        std::sort(std::begin(picks), std::end(picks));
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || picks[k] != picks[k - 1])
                out.append(at(picks[k]));
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

// The vertical axis for a column from low to high. A column whose range cannot be stepped
// through in doubles (beyond the double range, or narrower than the smallest normal double) is
// drawn divided by a power of ten, its marks labelled with that power written after them.
struct YAxis {
    AxisRange range;
    long double scale; // the values drawn are the column's divided by this
    QString format;    // of a mark's label
};

YAxis yAxisFor(long double low, long double high)
{
    if (low == high) { // a flat line gets room above and below it
        const long double pad = low == 0 ? 1 : fabsl(low) / 10;
        low -= pad;
        high += pad;
    }
    if (low >= -DBL_MAX && high <= DBL_MAX)
        if (const std::optional<AxisRange> range = roundRange(double(low), double(high)))
            return {*range, 1, QStringLiteral("%.10g")};
    const int exponent = int(floorl(log10l(std::max(fabsl(low), fabsl(high)))));
    const long double scale = powl(10.0L, exponent);
    const std::optional<AxisRange> range = roundRange(double(low / scale), double(high / scale));
    return {range.value_or(AxisRange{-10, 10, 5}), scale,
            QStringLiteral("%.10gE") + (exponent < 0 ? u'-' : u'+') + QString::number(std::abs(exponent))};
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
    void setSaveImageHandler(const std::function<void()>& handler) override { m_saveImage = handler; }
    QByteArray image(bool svg) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The whole series along X, as it is shown unzoomed.
    std::pair<double, double> fullX() const;
    void setX(double low, double high); // clamped to the series, then redrawn
    void resetZoom();
    void redraw(); // the thinned line and the labels for the X range shown
    void layOutLabels(qsizetype first, qsizetype last);

    QLineSeries* m_line;
    QCategoryAxis* m_axisX;
    QValueAxis* m_axisY;
    std::span<const double> m_ys;
    YAxis m_y{{0, 1, 5}, 1, QStringLiteral("%.10g")};
    std::function<QString(qsizetype)> m_labelOf;
    std::function<void()> m_saveImage;
    qsizetype m_labelStep = 0; // points between two labels on the horizontal axis
    qsizetype m_labelFirst = -1;
    bool m_redrawing = false;
    QRubberBand* m_band = nullptr; // a drag across the plot picks the stretch of X to zoom to
    int m_dragFrom = 0;
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
    m_axisY->setLabelFormat(m_y.format);
    m_axisX->setLabelsFont(font());
    m_axisY->setLabelsFont(font());
    c->addAxis(m_axisX, Qt::AlignBottom);
    c->addAxis(m_axisY, Qt::AlignLeft);
    m_line->attachAxis(m_axisX);
    m_line->attachAxis(m_axisY);
    // The labels that fit depend on the width the vertical axis leaves to the plot; a zoom
    // changes the range of X shown.
    connect(c, &QChart::plotAreaChanged, this, [this] { redraw(); });
    connect(m_axisX, &QCategoryAxis::rangeChanged, this, [this] { redraw(); });

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
    m_ys = ys;
    m_labelOf = labelOf;
    chart()->setLocale(locale);
    m_y = ys.empty() ? YAxis{{0, 1, 5}, 1, QStringLiteral("%.10g")} : yAxisFor(minY, maxY);
    m_axisY->setLabelFormat(m_y.format);
    m_axisY->setRange(m_y.range.low, m_y.range.high);
    m_axisY->setTickCount(m_y.range.ticks);
    m_labelStep = 0;
    resetZoom();
}

std::pair<double, double> ChartView::fullX() const
{
    // Point i sits at X i; a single point gets room on both sides.
    const qsizetype n = qsizetype(m_ys.size());
    if (n == 0)
        return {0, 1};
    if (n == 1)
        return {-0.5, 0.5};
    return {0, double(n - 1)};
}

void ChartView::setX(double low, double high)
{
    const auto [first, last] = fullX();
    constexpr double kNarrowest = 2; // a zoom still shows a segment
    if (high - low < kNarrowest) {
        const double middle = (low + high) / 2;
        low = middle - kNarrowest / 2;
        high = middle + kNarrowest / 2;
    }
    if (high - low >= last - first) {
        low = first;
        high = last;
    } else if (low < first) {
        high += first - low;
        low = first;
    } else if (high > last) {
        low -= high - last;
        high = last;
    }
    // One redraw for the new range, not one more for each change the axis signals.
    m_redrawing = true;
    m_axisX->setStartValue(low);
    m_axisX->setRange(low, high);
    m_redrawing = false;
    redraw();
}

void ChartView::resetZoom()
{
    const auto [first, last] = fullX();
    setX(first, last);
}

void ChartView::redraw()
{
    if (m_redrawing)
        return;
    m_redrawing = true;
    const qsizetype n = qsizetype(m_ys.size());
    if (n == 0) {
        m_line->clear();
        layOutLabels(0, -1);
    } else {
        // The points shown and one beyond each side, so the line runs to the plot's edges.
        const qsizetype first = std::clamp<qsizetype>(qsizetype(std::floor(m_axisX->min())) - 1, 0, n - 1);
        const qsizetype last = std::clamp<qsizetype>(qsizetype(std::ceil(m_axisX->max())) + 1, first, n - 1);
        const int columns =
            std::max(1, int(chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width() * 0.8));
        m_line->replace(
            pointsToDraw(m_ys, std::size_t(first), std::size_t(last), std::size_t(columns), m_y.scale));
        layOutLabels(std::max<qsizetype>(first, qsizetype(std::ceil(m_axisX->min()))),
                     std::min<qsizetype>(last, qsizetype(std::floor(m_axisX->max()))));
    }
    m_redrawing = false;
}

void ChartView::layOutLabels(qsizetype first, qsizetype last)
{
    const qsizetype n = last - first + 1;
    // The smallest step of 1, 2, 5, 10, ... points at which the labels fit side by side; a
    // single label is shown even when it is wider than the plot. The axis cuts each label to an
    // equal share of its width, one share more than there are labels, less a padding of 4 px
    // and a margin of half a pixel on each side, so a label fits only within that share.
    const QFontMetrics metrics(m_axisX->labelsFont());
    const double room = chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width() * 0.8;
    const int gap = std::max(metrics.horizontalAdvance(QStringLiteral("  ")), 2 * 4 + 1 + 1);
    qsizetype step = 1;
    const auto firstAt = [&first](qsizetype s) { return (first + s - 1) / s * s; };
    while (n > 0) {
        const qsizetype labels = last < firstAt(step) ? 1 : (last - firstAt(step)) / step + 1;
        if (labels == 1)
            break;
        if ((labels + 1) * (metrics.horizontalAdvance(u'0') + gap) <= room) {
            int widest = 0;
            for (qsizetype i = firstAt(step); i <= last; i += step)
                widest = std::max(widest, metrics.horizontalAdvance(m_labelOf(i)));
            if ((labels + 1) * (widest + gap) <= room)
                break;
        }
        step = nextNiceStep(step);
    }
    const qsizetype from = n > 0 ? firstAt(step) : 0;
    if (step == m_labelStep && from == m_labelFirst)
        return;
    m_labelStep = step;
    m_labelFirst = from;

    for (const QString& label : m_axisX->categoriesLabels())
        m_axisX->remove(label);
    for (qsizetype i = from; n > 0 && i <= std::max(last, from); i += step) {
        // The axis keys its labels by text; a zero-width space tells equal labels apart.
        QString label = m_labelOf(i);
        while (m_axisX->categoriesLabels().contains(label))
            label += QChar(0x200B);
        m_axisX->append(label, double(i));
    }
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || m_ys.size() < 2)
        return;
    // In by a fifth per notch, out by as much, about the point under the pointer.
    const double factor = std::pow(0.8, steps);
    const QPointF at =
        chart()->mapToValue(chart()->mapFromScene(mapToScene(event->position().toPoint())), m_line);
    const double low = m_axisX->min();
    const double high = m_axisX->max();
    const double centre = std::clamp(at.x(), low, high);
    setX(centre - (centre - low) * factor, centre + (high - centre) * factor);
    event->accept();
}

// A drag with the left button across the plot zooms X to the stretch it covers, the full
// height of the plot marked while it goes.
void ChartView::mousePressEvent(QMouseEvent* event)
{
    const QRectF area = chart()->plotArea();
    if (event->button() == Qt::LeftButton && m_ys.size() > 1 && area.contains(event->position())) {
        if (!m_band)
            m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
        m_dragFrom = event->position().toPoint().x();
        m_band->setGeometry(m_dragFrom, int(area.top()), 1, int(area.height()));
        m_band->show();
    }
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_band && m_band->isVisible()) {
        const QRectF area = chart()->plotArea();
        const int x = std::clamp(event->position().toPoint().x(), int(area.left()), int(area.right()));
        m_band->setGeometry(std::min(x, m_dragFrom), int(area.top()), std::abs(x - m_dragFrom) + 1,
                            int(area.height()));
    }
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_band && m_band->isVisible()) {
        m_band->hide();
        const QRect band = m_band->geometry();
        if (band.width() > 3) {
            const auto valueAt = [this](int x) {
                return chart()->mapToValue(QPointF(x, chart()->plotArea().center().y()), m_line).x();
            };
            setX(valueAt(band.left()), valueAt(band.right()));
        }
    }
    event->accept();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        resetZoom();
    event->accept();
}

void ChartView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const auto [first, last] = fullX();
    menu.addAction(QStringLiteral("Сбросить масштаб"), this, [this] { resetZoom(); })
        ->setEnabled(m_axisX->min() != first || m_axisX->max() != last);
    menu.addAction(QStringLiteral("Сохранить изображение…"), this,
                   [this] {
                       if (m_saveImage)
                           m_saveImage();
                   })
        ->setObjectName(QStringLiteral("saveImage"));
    menu.exec(event->globalPos());
}

QByteArray ChartView::image(bool svg)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size());
        generator.setViewBox(rect());
        generator.setTitle(chart()->title());
        QPainter painter(&generator);
        render(&painter);
    } else {
        grab().save(&buffer, "PNG");
    }
    return bytes;
}

} // namespace

extern "C" Q_DECL_EXPORT ui::ChartDrawing* vilorka_createChartDrawing(QWidget* parent)
{
    return new ChartView(parent);
}
