#pragma once
// Controls shared by the windows: the key with a coloured caption and a hint, and the edit box
// whose caption stands above it. Both carry their caption as accessible name, so screen
// readers and tests find them by what the user sees.

#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>

class QLabel;

namespace ui {

// A push button whose caption has its own colour (an invalid colour keeps the palette's) and
// whose hint shows when the mouse rests on it.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QString& caption, const QColor& captionColor, const QString& hint, QWidget* parent);
};

// A single-line edit box with its caption in a label 16 pixels above the box.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    LabeledEdit(const QString& caption, QWidget* parent);
    void place(int left, int top, int width, int height); // the box's own rectangle
    QLabel* label() const { return m_label; }

private:
    QLabel* m_label;
};

// Names a control for tests and screen readers: objectName is its name in the window class,
// the accessible name is its caption.
void nameControl(QWidget* control, const char* name, const QString& caption);

// Factories that create a control in parent, name it and place it at rect (client pixels).
LabeledEdit* labeledEdit(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QLineEdit* lineEdit(QWidget* parent, const char* name, QLabel* caption, const QRect& rect);

// Makes Tab visit the controls in the given order.
void chainTabOrder(std::initializer_list<QWidget*> controls);

// The closest sans-serif face available for the 8-point texts of every window.
QFont windowFont();

} // namespace ui
