#include "app/ApplicationStyle.h"

#include <QApplication>
#include <qdrawutil.h>
#include <QGroupBox>
#include <QIconEngine>
#include <QImageReader>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionButton>

#include <functional>
#include <optional>

namespace app {

namespace {

// An icon whose pictures are made by load the first time any of them is needed; until then the
// icon costs nothing. It answers every question with the loaded icon's answer.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> load)
        : m_load(std::move(load))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return loaded().pixmap(size / scale, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return loaded().availableSizes(mode, state);
    }
    QString iconName() override { return loaded().name(); }
    // Asked when the icon is set on a button; answering would load the pictures. The styles'
    // standard icons all have pictures.
    bool isNull() override { return m_icon ? m_icon->isNull() : false; }
    QString key() const override { return QStringLiteral("deferred"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& loaded()
    {
        if (!m_icon)
            m_icon = m_load();
        return *m_icon;
    }

    std::function<QIcon()> m_load;
    std::optional<QIcon> m_icon;
};

} // namespace

ApplicationStyle::ApplicationStyle(QStyle* base)
    : QProxyStyle(base)
    , m_fusion(base->name() == QLatin1String("fusion"))
{
}

QIcon ApplicationStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                     const QWidget* widget) const
{
    // Every menu bar makes its overflow arrow, with this icon, as it is made; the arrow shows
    // only when the menu titles do not fit. The menu bar asks without an option; the style and
    // the widget are held weakly, as either may be gone by the time the arrow is drawn.
    if (icon == SP_ToolBarHorizontalExtensionButton && !option) {
        return QIcon(new DeferredIconEngine(
            [base = QPointer<QStyle>(baseStyle()), widget = QPointer<const QWidget>(widget), icon] {
                return base ? base->standardIcon(icon, nullptr, widget) : QIcon();
            }));
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

void ApplicationStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const
{
    if (element == PE_FrameGroupBox && m_fusion) {
        // A frame without a caption, drawn as the style draws it, from the style's own picture.
        // The style reads the picture by file name, which first loads every image plugin to ask
        // whether it recognises the file; read here with its format named, it costs no plugin.
        const auto* group = qobject_cast<const QGroupBox*>(widget);
        if (group && !group->isCheckable() && group->title().isEmpty()) {
            constexpr int kTopMargin = 3;
            if (m_groupBoxFrame.isNull()) {
                QImageReader reader(
                    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"), "png");
                reader.setAutoDetectImageFormat(false);
                m_groupBoxFrame = QPixmap::fromImage(reader.read());
            }
            qDrawBorderPixmap(painter, option->rect.adjusted(0, kTopMargin, 0, 0), QMargins(6, 6, 6, 6),
                              m_groupBoxFrame);
            return;
        }
    }
    if (element == PE_PanelButtonCommand) {
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
            QStyleOptionButton same = *button;
            same.palette = sharedPalette(facePalette(button->palette));
            QProxyStyle::drawPrimitive(element, &same, painter, widget);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QPalette ApplicationStyle::facePalette(const QPalette& palette) const
{
    // The style draws a key's face without its caption's colour, so keys that differ only in
    // that colour can share a face too. Other styles may use it, and keep it.
    if (!m_fusion)
        return palette;
    QPalette face = palette;
    const QColor text = QApplication::palette().color(QPalette::ButtonText);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        face.setColor(group, QPalette::ButtonText, text);
    return face;
}

const QPalette& ApplicationStyle::sharedPalette(const QPalette& palette) const
{
    // A window has a handful of colour sets; a longer list means colours are being changed, and
    // the sets seen earliest are the likeliest gone.
    constexpr std::size_t kKept = 16;
    for (const QPalette& known : m_palettes)
        if (known.cacheKey() == palette.cacheKey() || known == palette)
            return known;
    if (m_palettes.size() == kKept)
        m_palettes.erase(m_palettes.begin());
    m_palettes.push_back(palette);
    return m_palettes.back();
}

void installApplicationStyle()
{
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    if (base)
        QApplication::setStyle(new ApplicationStyle(base));
}

} // namespace app
