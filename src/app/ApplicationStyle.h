#pragma once
// The application's style: the desktop's own style, drawing every pixel as that style does, with
// savings it cannot make itself at start-up. The menu bar's overflow arrow gets its picture only
// when the arrow is first drawn, and the frame of a group without a caption is drawn from the
// style's picture read with its format named: the style reads both by file name, which loads
// every image plugin to ask whether it recognises the file. Push buttons whose colours are the
// same share one cached face instead of each rendering its own: the style caches a face per
// palette object, and every widget with colours of its own holds a palette object of its own.

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
    // palette with the colours a key's face is drawn from; the caption's colour made the same.
    QPalette facePalette(const QPalette& palette) const;
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
