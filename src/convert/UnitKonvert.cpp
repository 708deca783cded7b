#include "convert/UnitKonvert.h"

#include "ui/Dispatch.h"
#include "ui/Help.h"
#include "ui/Widgets.h"
#include "ui/WordsMenu.h"
#include "convert/units.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <utility>

namespace {

const QString kEmptyAmount = QStringLiteral("Введите количество исходных единиц");
const QString kNoSource = QStringLiteral("Выберите исходную величину");

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The box whose text field the user may type into as well as pick from; its items are the
// categories. Typing never adds an item.
QComboBox* categoryBox(QWidget* parent, const char* name, QLabel* caption, const QRect& rect)
{
    auto* box = new QComboBox(parent);
    ui::nameControl(box, name, caption->text());
    caption->setBuddy(box);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // Its text field and its drop-down list are announced by the box's caption too.
    box->lineEdit()->setAccessibleName(caption->text());
    box->view()->setAccessibleName(caption->text());
    for (const convert::Category& category : convert::catalogue())
        box->addItem(text(category.name));
    box->setGeometry(rect);
    return box;
}

PickList* listBox(QWidget* parent, const char* name, QLabel* caption, const QRect& rect)
{
    auto* list = new PickList(parent);
    ui::nameControl(list, name, caption->text());
    caption->setBuddy(list);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setGeometry(rect);
    return list;
}

QLineEdit* numberBox(QWidget* parent, const char* name, QLabel* caption, const QRect& rect)
{
    QLineEdit* box = ui::lineEdit(parent, name, caption, rect);
    ui::setPixelHeight(box, 13);
    return box;
}

int selectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

} // namespace

PickList::PickList(QWidget* parent)
    : QListWidget(parent)
{
}

void PickList::mousePressEvent(QMouseEvent* event)
{
    m_press = {selectedRow(this), indexAt(event->position().toPoint())};
    QListWidget::mousePressEvent(event);
}

void PickList::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    // One pick per press and release: the selection moved (by a click of either button or a drag
    // across entries), or the left button was pressed and released on one entry (a click on the
    // selected one). The
    // release of a double click, whose press was the first click's, picks nothing more.
    const std::optional<Press> press = std::exchange(m_press, std::nullopt);
    if (!press)
        return;
    const int after = selectedRow(this);
    const QPersistentModelIndex released = indexAt(event->position().toPoint());
    const bool clickOnEntry =
        event->button() == Qt::LeftButton && released.isValid() && released == press->entry;
    if (after >= 0 && (after != press->selected || clickOnEntry))
        emit picked();
}

void PickList::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_press.reset();
    QListWidget::mouseDoubleClickEvent(event);
}

void PickList::focusInEvent(QFocusEvent* event)
{
    QListWidget::focusInEvent(event);
    // The view makes its first entry current on focus; with no selection, arrows would then
    // start from it and skip it.
    if (selectedItems().isEmpty())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void PickList::keyPressEvent(QKeyEvent* event)
{
    const int before = selectedRow(this);
    QListWidget::keyPressEvent(event);
    const int after = selectedRow(this);
    if (after >= 0 && after != before)
        emit picked();
}

TfmKonvert::TfmKonvert(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmKonvert", QStringLiteral("Конвертер измерительных величин"), 192, 114, 548,
                               494, QColor(192, 192, 192)})
{
}

void TfmKonvert::build()
{
    Label1 = ui::label(this, "Label1", QStringLiteral("Категория"), {240, 8, 53, 13});
    ComboBox1 = categoryBox(this, "ComboBox1", Label1, {192, 24, 145, 21});
    Label2 = ui::label(this, "Label2", QStringLiteral("Исходная величина"), {72, 56, 99, 13});
    Label3 = ui::label(this, "Label3", QStringLiteral("Конечная величина"), {360, 56, 98, 13});
    ListBox1 = listBox(this, "ListBox1", Label2, {0, 72, 265, 329});
    ListBox2 = listBox(this, "ListBox2", Label3, {272, 72, 265, 329});
    Label4 = ui::label(this, "Label4", QStringLiteral("Количество исходных едениц"), {8, 408, 149, 13});
    Edit1 = numberBox(this, "Edit1", Label4, {8, 424, 153, 24});
    Label5 = ui::label(this, "Label5", QStringLiteral("Ответ"), {272, 408, 30, 13});
    Edit2 = numberBox(this, "Edit2", Label5, {272, 424, 217, 24});
    ui::addWordsMenu(Edit2, m_dialogs);
    bbHelp = ui::pushButton(this, "bbHelp", QStringLiteral("?"), {512, 24, 25, 25});

    Edit1->setText(QStringLiteral("1"));
    ui::setPixelHeight(bbHelp, 19);
    ui::setCaptionColor(bbHelp, Qt::red);

    ui::chainTabOrder({ComboBox1, ListBox1, ListBox2, Edit1, Edit2, bbHelp});
    // The user picking an entry or typing into the text field; never a selection made from code.
    ui::connectGuarded(m_dialogs, ComboBox1, &QComboBox::activated, this, &TfmKonvert::ComboBox1Change);
    ui::connectGuarded(m_dialogs, ComboBox1->lineEdit(), &QLineEdit::textEdited, this,
                       &TfmKonvert::ComboBox1Change);
    ui::connectGuarded(m_dialogs, ListBox2, &PickList::picked, this, &TfmKonvert::ListBox2Click);
    ui::connectGuarded(m_dialogs, bbHelp, &QPushButton::clicked, this, &TfmKonvert::bbHelpClick);
    ui::runGuarded(m_dialogs, [this] { FormCreate(); });
}

void TfmKonvert::FormCreate()
{
    ComboBox1->setCurrentIndex(0);
    fillLists(0);
}

void TfmKonvert::ComboBox1Change()
{
    // A typed text that names no category leaves the lists as they are.
    const int category = ComboBox1->findText(ComboBox1->currentText(), Qt::MatchFixedString);
    if (category >= 0)
        fillLists(static_cast<std::size_t>(category));
}

void TfmKonvert::ListBox2Click()
{
    if (!requireFilled({Edit1}, kEmptyAmount))
        return;
    const int source = selectedRow(ListBox1);
    const int target = selectedRow(ListBox2);
    if (source < 0) {
        m_dialogs.emptyInput(this, kNoSource);
        return;
    }
    if (target < 0)
        return;
    Edit2->setText(QString::fromStdString(convert::convertText(m_category, static_cast<std::size_t>(source),
                                                               static_cast<std::size_t>(target),
                                                               Edit1->text().toStdString())));
}

void TfmKonvert::bbHelpClick() { ui::openHelp(m_dialogs, this, QStringLiteral("konvert")); }

void TfmKonvert::fillLists(std::size_t category)
{
    m_category = category;
    for (QListWidget* list : {ListBox1, ListBox2}) {
        list->clear();
        for (const convert::Unit& unit : convert::catalogue()[category].units)
            list->addItem(text(unit.name));
    }
}
