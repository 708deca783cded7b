#pragma once
// The chart the plot window draws on: a title of text lines above one line series. What the
// chart holds (the title lines and every point with its label and colour) lives here and can
// be read without a screen; the drawing (ui::ChartDrawing, on Qt Charts in a module of its own)
// is loaded and built the first time the chart is shown, so a window that holds a chart costs
// nothing at start-up.

#include <QColor>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace ui {

class ChartDrawing;

// A line series whose point i has X value i: a point added gets the number of points held
// before it as its X, so X stays ascending and the next point after clear() gets X 0.
class ChartSeries : public QObject {
    Q_OBJECT
public:
    explicit ChartSeries(QObject* parent);

    qsizetype count() const { return static_cast<qsizetype>(m_y.size()); }
    QPointF point(qsizetype index) const { return {static_cast<double>(index), m_y[std::size_t(index)]}; }
    QString label(qsizetype index) const;
    QColor color(qsizetype index) const;
    std::span<const double> yValues() const { return m_y; }
    double minimumY() const { return m_minY; } // of the points held; 0 when there are none
    double maximumY() const { return m_maxY; }

    // Adds ys in order, the k-th labelled with the number k, all in one colour, and redraws
    // once. The labels are written when asked for, so ten million points hold only their Y; an
    // empty series takes ys's storage rather than copy it.
    void addPoints(std::vector<double> ys, const QColor& color);
    void clear();

signals:
    void changed();

private:
    void extendRange(double y);
    void startColor(QRgb color);

    std::vector<double> m_y;
    std::vector<qsizetype> m_labelRuns; // first point of each run, whose labels count from 0 there
    std::vector<std::pair<qsizetype, QRgb>> m_colors; // runs: first point, colour
    double m_minY = 0;
    double m_maxY = 0;
};

class Chart : public QWidget {
    Q_OBJECT
public:
    explicit Chart(QWidget* parent);
    ~Chart() override;

    const QStringList& titleLines() const { return m_title; }
    void appendTitleLine(const QString& line); // shown under the lines already there
    void clearTitle();

    ChartSeries* series(int index) const; // index 0; nullptr for any other

    // The drawing (a QChartView), once the chart has been shown; nullptr before.
    QWidget* view() const;

    // The drawing as it stands, encoded as a PNG or SVG file; empty before the first show.
    enum class ImageFormat { Png, Svg };
    QByteArray image(ImageFormat format) const;

signals:
    // "Сохранить изображение…" in the drawing's context menu.
    void saveImageRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureView();
    void showTitle();
    void showSeries();

    QStringList m_title;
    ChartSeries* m_series;
    std::unique_ptr<ChartDrawing> m_drawing;
};

} // namespace ui
