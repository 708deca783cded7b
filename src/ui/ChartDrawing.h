#pragma once
// The drawing of a ui::Chart. It is built on Qt Charts in a module of its own (vilorka_chart),
// which the chart loads the first time it is shown: the program starts without loading Qt
// Charts at all. The module sees only this interface, Qt and the standard library.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

class QLocale;
class QWidget;

namespace ui {

class ChartDrawing {
public:
    virtual ~ChartDrawing() = default;

    virtual QWidget* widget() = 0; // the drawing, a child of the chart that fills it
    virtual void showTitle(const QStringList& lines) = 0;
    // Draws ys[i] at X i; labelOf(i) is point i's label, asked again whenever the labels that
    // fit change. The vertical axis writes its numbers in locale.
    virtual void showSeries(std::span<const double> ys, double minY, double maxY,
                            const std::function<QString(qsizetype)>& labelOf, const QLocale& locale) = 0;
    // What "Сохранить изображение…" in the drawing's context menu calls.
    virtual void setSaveImageHandler(const std::function<void()>& handler) = 0;
    // The drawing as a PNG file, or as an SVG file.
    virtual QByteArray image(bool svg) = 0;
};

// The module's one entry point, by this name: a new drawing in parent.
using CreateChartDrawing = ChartDrawing* (*)(QWidget* parent);
inline constexpr const char* kCreateChartDrawing = "vilorka_createChartDrawing";

} // namespace ui
