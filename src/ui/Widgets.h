#pragma once
// Controls shared by the windows: the key with a coloured caption and a hint, the edit box
// whose caption stands above it, the captioned radio group, the up-down arrows attached to an
// edit box, and the memo. Each carries its caption as accessible name, so screen readers and
// tests find them by what the user sees.

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <initializer_list>

class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

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

// A captioned radio group whose items are stacked in columns, the way the tool windows'
// option groups look. itemIndex is -1 while nothing is selected. clicked() fires whenever the
// selection changes, whether the user picked an item or setItemIndex did, so a window handles
// both through one handler.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, QWidget* parent);
    void setItems(const QStringList& items, int columns = 1);
    int itemIndex() const;
    void setItemIndex(int index); // -1 clears the selection
    QRadioButton* item(int index) const;

signals:
    void clicked();

private:
    QButtonGroup* m_group;
};

// Up and down arrows attached to an edit box: each arrow steps a position inside
// [minimum, maximum] without wrapping, writes the new position into the box as text and fires
// clicked(). The Up and Down keys in the box do the same. A step past either end changes
// nothing and fires nothing. When the box holds a whole number in range, the arrows step from
// that number, so typing and clicking agree. The arrows are announced as "Увеличить" and
// "Уменьшить".
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent);
    int position() const { return m_position; }
    void step(int delta); // +1 for the up arrow, -1 for the down arrow

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    int m_minimum;
    int m_maximum;
    int m_position;
};

// Colours a button's caption. Grey: a disabled button keeps the palette's grey caption, so the
// user sees it cannot be pressed; Kept: it keeps the colour.
enum class DisabledCaption { Kept, Grey };
void setCaptionColor(QWidget* button, const QColor& color, DisabledCaption disabled = DisabledCaption::Kept);

// Names a control for tests and screen readers: objectName is its name in the window class,
// the accessible name is its caption.
void nameControl(QWidget* control, const char* name, const QString& caption);

// Factories that create a control in parent, name it and place it at rect (client pixels).
LabeledEdit* labeledEdit(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& rect);
QLineEdit* lineEdit(QWidget* parent, const char* name, QLabel* caption, const QRect& rect);
RadioGroup* radioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                       const QRect& rect);
// Attached to buddy, at rect: named name, accessible name the buddy's.
UpDown* upDown(QWidget* parent, const char* name, QLineEdit* buddy, int minimum, int maximum, int position,
               const QRect& rect);
// A multi-line plain-text box with a vertical scroll bar that wraps long lines at its width;
// Tab moves on to the next control.
QPlainTextEdit* memo(QWidget* parent, const char* name, const QString& accessibleName, const QRect& rect);

// Makes Tab visit the controls in the given order.
void chainTabOrder(std::initializer_list<QWidget*> controls);

// The first family of wanted that is installed, alone; all of wanted when none is.
QStringList preferredFamily(const QStringList& wanted);

// The closest sans-serif face available for the 8-point texts of every window.
QFont windowFont();
// Gives control its current face at a character height in pixels.
void setPixelHeight(QWidget* control, int pixels);

} // namespace ui
