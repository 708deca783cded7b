#pragma once
// The application's style: the desktop's own style, drawing every pixel as that style does, with
// two savings it cannot make itself. The menu bar's overflow arrow gets its picture only when the
// arrow is first drawn (the style would read it at every start, asking each image plugin to
// recognise the file first), and push buttons whose colours are all the same share one cached
// face instead of each rendering its own (the style caches a face per palette object, and every
// widget with colours of its own holds a palette object of its own). The frame of a group without
// a caption is drawn from the style's picture read with its format named, sparing the same search.

#include <QPixmap>
#include <QProxyStyle>

#include <vector>

namespace app {

class ApplicationStyle final : public QProxyStyle {
public:
    explicit ApplicationStyle(QStyle* base); // takes ownership of base

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    // The palette seen first with the same colours as palette.
    const QPalette& sharedPalette(const QPalette& palette) const;

    mutable std::vector<QPalette> m_palettes;
    bool m_fusion;
    mutable QPixmap m_groupBoxFrame;
};

// Makes the application's style an ApplicationStyle over a fresh instance of the style the
// application chose; a style that cannot be made again by its name is left as it is.
void installApplicationStyle();

} // namespace app
