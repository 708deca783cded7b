#include "ui/Widgets.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QToolButton>

#include <algorithm>

namespace ui {

void setCaptionColor(QWidget* button, const QColor& color, DisabledCaption disabled)
{
    QPalette pal = button->palette();
    if (disabled == DisabledCaption::Grey) {
        pal.setColor(QPalette::Active, QPalette::ButtonText, color);
        pal.setColor(QPalette::Inactive, QPalette::ButtonText, color);
    } else {
        pal.setColor(QPalette::ButtonText, color);
    }
    button->setPalette(pal);
}

PictureButton::PictureButton(const QString& caption, const QColor& captionColor, const QString& hint,
                             QWidget* parent)
    : QPushButton(caption, parent)
{
    if (captionColor.isValid())
        setCaptionColor(this, captionColor);
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

RadioGroup::RadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent)
    , m_group(new QButtonGroup(this))
{
    setAccessibleName(caption);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            emit clicked();
    });
}

void RadioGroup::setItems(const QStringList& items, int columns)
{
    // Items fill the frame below the caption, column by column, in equal rows. The style says
    // where the frame's inside begins: a style that sets the caption above the frame line puts
    // it lower than the caption's height.
    constexpr int kInset = 8;
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect inside =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
    const int top = std::max(fontMetrics().height() + 2, inside.top());
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    const int columnWidth = (width() - 2 * kInset) / columns;
    const int rowHeight = rows > 0 ? std::max(fontMetrics().height() + 4, (height() - top - 4) / rows) : 0;
    for (int index = 0; index < items.size(); ++index) {
        auto* button = new QRadioButton(items[index], this);
        button->setObjectName(objectName() + QString::number(index));
        button->setAccessibleName(items[index]);
        const int column = index / rows;
        const int row = index % rows;
        button->setGeometry(kInset + column * columnWidth, top + row * rowHeight, columnWidth, rowHeight);
        m_group->addButton(button, index);
    }
}

int RadioGroup::itemIndex() const { return m_group->checkedId(); }

QRadioButton* RadioGroup::item(int index) const
{
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (index < 0) {
        // An exclusive group cannot uncheck its last button; lift exclusivity for the moment.
        m_group->setExclusive(false);
        if (QAbstractButton* checked = m_group->checkedButton())
            checked->setChecked(false);
        m_group->setExclusive(true);
        return;
    }
    if (QAbstractButton* button = m_group->button(index))
        button->setChecked(true);
}

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_position(std::clamp(position, minimum, maximum))
{
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setAccessibleName(QStringLiteral("Увеличить"));
    down->setAccessibleName(QStringLiteral("Уменьшить"));
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    for (QToolButton* arrow : {up, down})
        arrow->setFocusPolicy(Qt::NoFocus);
    connect(up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    buddy->installEventFilter(this);
    setAccessibleName(buddy->accessibleName());
}

void UpDown::step(int delta)
{
    bool ok = false;
    const int typed = m_buddy->text().trimmed().toInt(&ok);
    if (ok && typed >= m_minimum && typed <= m_maximum)
        m_position = typed;
    const int next = std::clamp(m_position + delta, m_minimum, m_maximum);
    if (next == m_position)
        return;
    m_position = next;
    m_buddy->setText(QString::number(m_position));
    emit clicked();
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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

RadioGroup* radioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                       const QRect& rect)
{
    auto* group = new RadioGroup(caption, parent);
    nameControl(group, name, caption);
    group->setGeometry(rect);
    group->setItems(items);
    return group;
}

UpDown* upDown(QWidget* parent, const char* name, QLineEdit* buddy, int minimum, int maximum, int position,
               const QRect& rect)
{
    auto* arrows = new UpDown(buddy, minimum, maximum, position, parent);
    arrows->setObjectName(QString::fromLatin1(name));
    arrows->setGeometry(rect);
    const int half = rect.height() / 2;
    arrows->findChild<QToolButton*>(QStringLiteral("up"))->setGeometry(0, 0, rect.width(), half);
    arrows->findChild<QToolButton*>(QStringLiteral("down"))
        ->setGeometry(0, half, rect.width(), rect.height() - half);
    return arrows;
}

QPlainTextEdit* memo(QWidget* parent, const char* name, const QString& accessibleName, const QRect& rect)
{
    auto* box = new QPlainTextEdit(parent);
    nameControl(box, name, accessibleName);
    box->setGeometry(rect);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setTabChangesFocus(true); // Tab leaves the memo, as in every other box
    return box;
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

QStringList preferredFamily(const QStringList& wanted)
{
    // Asking for a face that is not installed costs a round of fallback matching for every font
    // made from it, so the families not on this machine are passed over before any font is made.
    // Only the first one found is named: with further families the font asks fontconfig for the
    // first one's fallbacks as soon as it is loaded, while a font of one family asks only when
    // a character is missing from its face, and the faces wanted here cover the same characters.
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted)
        if (installed.contains(family, Qt::CaseInsensitive))
            return {family};
    return wanted;
}

QFont windowFont()
{
    // Faces as narrow as the classic 8-point dialog font, so captions fit their fixed boxes.
    static const QStringList families =
        preferredFamily({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                         QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void setPixelHeight(QWidget* control, int pixels)
{
    QFont font = control->font();
    font.setPixelSize(pixels);
    control->setFont(font);
}

} // namespace ui
