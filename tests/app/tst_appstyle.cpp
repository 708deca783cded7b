// What start-up defers or shares shows the same: the application's style draws what the style
// beneath it draws (the menu bar's overflow arrow, a group's frame and a key's face, pixel for
// pixel) while the arrow's picture is read only when drawn and keys of one colour set share one
// cached face; the main window's cursor is its own once the window has been painted.

#include "app/ApplicationStyle.h"
#include "app/Startup.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

#include <memory>
#include <vector>

namespace {

// Records the palette every drawn primitive reached the style with.
class RecordingStyle final : public QProxyStyle {
public:
    RecordingStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("fusion")))
    {
    }
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        seen.push_back(option->palette);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable std::vector<QPalette> seen;
};

QImage rendered(QWidget& widget, QStyle* style)
{
    widget.setStyle(style);
    return widget.grab().toImage();
}

} // namespace

class TestAppStyle : public QObject {
    Q_OBJECT

private slots:
    void overflowArrowLooksAsTheStyleDrawsIt()
    {
        app::ApplicationStyle style(QStyleFactory::create(QStringLiteral("fusion")));
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        const QIcon own = fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        const QIcon deferred = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QVERIFY(!deferred.isNull());
        QCOMPARE(deferred.availableSizes(), own.availableSizes());
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active})
            for (const int size : {12, 16, 24, 32})
                QCOMPARE(deferred.pixmap(QSize(size, size), mode).toImage(),
                         own.pixmap(QSize(size, size), mode).toImage());
    }

    void groupFramesLookAsTheStyleDrawsThem_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("no caption") << QString();
        QTest::newRow("caption") << QStringLiteral("Скорость");
    }

    void groupFramesLookAsTheStyleDrawsThem()
    {
        QFETCH(QString, caption);
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        app::ApplicationStyle style(QStyleFactory::create(QStringLiteral("fusion")));
        QGroupBox group(caption);
        group.resize(201, 33);
        const QImage own = rendered(group, fusion.get());
        QCOMPARE(rendered(group, &style), own);
    }

    // Keys of every caption colour and state get the style's own face.
    void keyFacesLookAsTheStyleDrawsThem_data()
    {
        QTest::addColumn<QColor>("caption");
        QTest::addColumn<int>("state");
        QTest::newRow("blue") << QColor(Qt::blue) << int(QStyle::State_Enabled | QStyle::State_Raised);
        QTest::newRow("red, pressed") << QColor(Qt::red) << int(QStyle::State_Enabled | QStyle::State_Sunken);
    }

    void keyFacesLookAsTheStyleDrawsThem()
    {
        QFETCH(QColor, caption);
        QFETCH(int, state);
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
        app::ApplicationStyle style(QStyleFactory::create(QStringLiteral("fusion")));
        QStyleOptionButton key;
        key.rect = QRect(0, 0, 33, 25);
        key.state = QStyle::State(state);
        key.palette = QApplication::palette();
        key.palette.setColor(QPalette::ButtonText, caption);
        const auto face = [&key](const QStyle& drawing) {
            QImage image(key.rect.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            drawing.drawPrimitive(QStyle::PE_PanelButtonCommand, &key, &painter);
            return image;
        };
        QCOMPARE(face(style), face(*fusion));
    }

    // Faces of equal colour sets reach a style with one palette, so it renders one face for them
    // all; every colour still reaches it unchanged.
    void keysOfOneColourShareAFace()
    {
        auto* recording = new RecordingStyle;
        app::ApplicationStyle style(recording);
        QPalette blue = QApplication::palette();
        blue.setColor(QPalette::ButtonText, Qt::blue);
        QPalette alsoBlue = QApplication::palette();
        alsoBlue.setColor(QPalette::ButtonText, Qt::blue);
        QVERIFY(alsoBlue.cacheKey() != blue.cacheKey());
        QPalette red = blue;
        red.setColor(QPalette::ButtonText, Qt::red);
        QImage canvas(40, 30, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        QStyleOptionButton key;
        key.rect = QRect(0, 0, 33, 25);
        for (const QPalette& palette : {blue, alsoBlue, red}) {
            key.palette = palette;
            style.drawPrimitive(QStyle::PE_PanelButtonCommand, &key, &painter);
        }
        QStyleOption plain;
        plain.palette = alsoBlue;
        style.drawPrimitive(QStyle::PE_PanelButtonCommand, &plain, &painter);
        const std::vector<QPalette>& seen = recording->seen;
        QCOMPARE(seen.size(), std::size_t{4});
        QCOMPARE(seen[0], blue);
        QCOMPARE(seen[1].cacheKey(), seen[0].cacheKey());
        QCOMPARE(seen[2], red);
        QVERIFY(seen[2].cacheKey() != seen[0].cacheKey());
        QCOMPARE(seen[3].cacheKey(), alsoBlue.cacheKey()); // not a key's face: passed as it came
    }

    void cursorGivenBackAfterFirstPaint()
    {
        QWidget window;
        window.setCursor(Qt::PointingHandCursor);
        app::deferCursorToFirstPaint(&window);
        QVERIFY(window.windowHandle());
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(window.windowHandle()->cursor().shape(), Qt::PointingHandCursor);
    }

    void installedOverTheChosenStyle()
    {
        const QString chosen = QApplication::style()->name();
        app::installApplicationStyle();
        auto* installed = dynamic_cast<app::ApplicationStyle*>(QApplication::style());
        QVERIFY(installed);
        QCOMPARE(installed->baseStyle()->name(), chosen);
    }
};

QTEST_MAIN(TestAppStyle)
#include "tst_appstyle.moc"
