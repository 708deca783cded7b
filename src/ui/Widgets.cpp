#include "ui/Widgets.h"

#include <QLabel>

#include <algorithm>

namespace ui {

PictureButton::PictureButton(const QString& caption, const QColor& captionColor, const QString& hint,
                             QWidget* parent)
    : QPushButton(caption, parent)
{
    if (captionColor.isValid()) {
        QPalette pal = palette();
        pal.setColor(QPalette::ButtonText, captionColor);
        setPalette(pal);
    }
    if (!hint.isEmpty())
        setToolTip(hint);
    setAccessibleName(caption);
    setCursor(Qt::PointingHandCursor);
}

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent)
    , m_label(new QLabel(caption, parent))
{
    m_label->setBuddy(this);
    setAccessibleName(caption);
}

void LabeledEdit::place(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    const int labelHeight = m_label->sizeHint().height();
    m_label->setGeometry(left, top - labelHeight - 3, m_label->sizeHint().width(), labelHeight);
}

void nameControl(QWidget* control, const char* name, const QString& caption)
{
    control->setObjectName(QString::fromLatin1(name));
    if (!caption.isEmpty())
        control->setAccessibleName(caption);
}

LabeledEdit* labeledEdit(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* edit = new LabeledEdit(caption, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->label()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    edit->place(rect.x(), rect.y(), rect.width(), rect.height());
    return edit;
}

QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* button = new QPushButton(caption, parent);
    nameControl(button, name, caption);
    button->setGeometry(rect);
    return button;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& rect)
{
    auto* text = new QLabel(caption, parent);
    nameControl(text, name, caption);
    text->setGeometry(rect.x(), rect.y(), std::max(rect.width(), text->sizeHint().width()), rect.height());
    return text;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, QLabel* caption, const QRect& rect)
{
    auto* edit = new QLineEdit(parent);
    nameControl(edit, name, caption ? caption->text() : QString());
    if (caption)
        caption->setBuddy(edit);
    edit->setGeometry(rect);
    return edit;
}

void chainTabOrder(std::initializer_list<QWidget*> controls)
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

QFont windowFont()
{
    QFont font;
    // Faces as narrow as the classic 8-point dialog font, so captions fit their fixed boxes.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

} // namespace ui
