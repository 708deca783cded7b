#include "ui/ToolWindow.h"

#include "ui/Placement.h"
#include "ui/Widgets.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

namespace {
// A fixed single frame of the classic desktop: 3 pixels of border each side and a 22-pixel
// title bar above the client area.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 28;
} // namespace

ToolWindow::ToolWindow(Dialogs& dialogs, const WindowFrame& frame)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
{
    setObjectName(QString::fromLatin1(frame.name));
    setWindowTitle(frame.caption);
    setAccessibleName(frame.caption);
    setFont(windowFont());
    // The fixed size is what takes maximising away: window managers go by the size limits, not
    // by the button hints. One that keeps each button's place in the title bar may still draw
    // a disabled maximise button between minimise and close.
    setFixedSize(clientSize(frame.width, frame.height));
    placeOnFirstShow(this, QPoint(frame.left, frame.top), Reach::AsGiven);
    if (frame.background.isValid()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, frame.background);
        setPalette(pal);
        setAutoFillBackground(true);
    }
}

QSize ToolWindow::clientSize(int outerWidth, int outerHeight)
{
    return {outerWidth - kFrameWidth, outerHeight - kFrameHeight};
}

void ToolWindow::ensureBuilt()
{
    if (m_built)
        return;
    m_built = true;
    build();
}

void ToolWindow::setVisible(bool visible)
{
    // Built while still hidden, so the controls are shown with the window as if made with it.
    if (visible)
        ensureBuilt();
    QWidget::setVisible(visible);
}

void ToolWindow::showTool()
{
    show();
    raise();
    activateWindow();
}

void ToolWindow::keyPressEvent(QKeyEvent* event)
{
    // A push button outside a dialog leaves Enter to its window, which lands here.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (enter && button && button->isEnabled() && button->isVisible() &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            button->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool requireFilled(Dialogs& dialogs, QWidget* parent, std::initializer_list<const QLineEdit*> boxes,
                   const QString& message)
{
    for (const QLineEdit* box : boxes) {
        if (box->text().isEmpty()) {
            dialogs.emptyInput(parent, message);
            return false;
        }
    }
    return true;
}

} // namespace ui
