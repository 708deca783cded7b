#include "loan/UnitKred.h"

#include "loan/ScheduleSheet.h"
#include "loan/finance.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"
#include "ui/WordsMenu.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

namespace {

const QString kNeverRepaid = QStringLiteral("Кредит не будет погашен: выплата не покрывает проценты");
const QString kRate = QStringLiteral("Процентная ставка");
const QString kTiming = QStringLiteral("Происхождение выплат");
const QStringList kTimingItems{QStringLiteral("В начале периода"), QStringLiteral("В конце периода")};
const QString kCalculate = QStringLiteral("Расчёт");

// The help texts separate their lines by a line feed followed by a carriage return.
const QString kHelpWriteOff = QStringLiteral(
    "Функция вычисляет процентную ставку кредита\n\rна определенном этапе в денежном исчислении");
const QString kHelpMinusSign =
    QStringLiteral("Знак минус в результате \n\rфункции показывает,\n\rчто данная сумма\n\r "
                   "является кредитовой, т.е.\n\r должна быть списана\n\rсо счета.");
const QString kHelpDuration =
    QStringLiteral("Функция определяет количество этапов (месяцев),\n\rнеобходимых для погашения кредита");

// Up-down arrows step their box through whole numbers from 0 to 100.
constexpr int kUpDownMin = 0;
constexpr int kUpDownMax = 100;

QTabWidget* pageControl(QWidget* parent, const char* name, const QRect& rect)
{
    auto* pages = new QTabWidget(parent);
    ui::nameControl(pages, name, QString());
    pages->setGeometry(rect);
    return pages;
}

QWidget* tabSheet(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* sheet = new QWidget;
    ui::nameControl(sheet, name, caption);
    pages->addTab(sheet, caption);
    return sheet;
}

// An edit box with its initial text, its characters characterHeight pixels high (0: the window's).
QLineEdit* box(QWidget* parent, const char* name, QLabel* caption, const QRect& rect, const QString& text,
               int characterHeight = 0)
{
    QLineEdit* edit = ui::lineEdit(parent, name, caption, rect);
    if (characterHeight != 0)
        ui::setPixelHeight(edit, characterHeight);
    edit->setText(text);
    return edit;
}

AnswerBox* answerBox(QWidget* parent, const char* name, QLabel* caption, const QRect& rect)
{
    auto* answer = new AnswerBox(parent);
    ui::nameControl(answer, name, caption->text());
    caption->setBuddy(answer);
    answer->setGeometry(rect);
    return answer;
}

// A label that takes the size of its text, written later by FormCreate.
QLabel* helpLabel(QWidget* parent, const char* name, QPoint at, int characterHeight = 0)
{
    QLabel* text = ui::label(parent, name, QString(), {at, QSize(0, 0)});
    if (characterHeight != 0)
        ui::setPixelHeight(text, characterHeight);
    return text;
}

// A caption whose text, in the fonts at hand, would run into the box to its right is set a little
// tighter, so the text stays whole and the boxes stay where they belong.
void keepBefore(QLabel* caption, const QWidget* box)
{
    constexpr int kGap = 8; // as much as the design leaves between a caption and its box
    const QString text = caption->text();
    const int overrun = caption->x() + caption->fontMetrics().horizontalAdvance(text) - (box->x() - kGap);
    if (overrun <= 0 || text.size() < 2)
        return;
    QFont font = caption->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overrun) / qreal(text.size() - 1));
    caption->setFont(font);
    caption->resize(caption->sizeHint().width(), caption->height());
}

void showHelp(QLabel* label, const QString& text)
{
    const QString lines = ui::unfoldLineBreaks(text);
    label->setText(lines);
    label->setAccessibleName(lines);
    label->adjustSize();
}

// Answers are often wider than their box: show their beginning, sign and whole part first.
void showAnswer(QLineEdit* answer, const std::string& text)
{
    answer->setText(QString::fromStdString(text));
    answer->setCursorPosition(0);
}

loan::PaymentTime timingOf(const ui::RadioGroup* group)
{
    return group->itemIndex() == 1 ? loan::PaymentTime::EndOfPeriod : loan::PaymentTime::StartOfPeriod;
}

} // namespace

QString shortenedAnswer(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const qsizetype exponentAt = text.indexOf(u'E');
    const QString exponent = exponentAt < 0 ? QString() : text.mid(exponentAt);
    const QString mantissa = exponentAt < 0 ? text : text.left(exponentAt);
    QString shown;
    for (qsizetype kept = mantissa.size() - 1; kept >= 1; --kept) {
        shown = mantissa.left(kept) + QStringLiteral("…") + exponent;
        if (metrics.horizontalAdvance(shown) <= width)
            break;
    }
    return shown;
}

AnswerBox::AnswerBox(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &AnswerBox::updateToolTip);
}

QRect AnswerBox::textArea() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    // The margins QLineEdit keeps between its contents and its text, and the cursor's width.
    constexpr int kHorizontalMargin = 2;
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .marginsRemoved(textMargins())
        .adjusted(kHorizontalMargin, 0, -kHorizontalMargin - 1, 0);
}

QString AnswerBox::shownText() const
{
    if (hasFocus())
        return text();
    return shortenedAnswer(text(), fontMetrics(), textArea().width());
}

void AnswerBox::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    // In a very narrow box even one digit, the mark and the exponent may not fit: they are set
    // tighter rather than losing the exponent's end.
    const QRect area = textArea();
    const int overrun = fontMetrics().horizontalAdvance(shown) - area.width();
    if (overrun > 0 && shown.size() > 1) {
        QFont tight = font();
        tight.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(overrun) / qreal(shown.size() - 1));
        painter.setFont(tight);
    }
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void AnswerBox::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    updateToolTip();
}

void AnswerBox::updateToolTip()
{
    const bool fits = shortenedAnswer(text(), fontMetrics(), textArea().width()) == text();
    setToolTip(fits ? QString() : text());
}

TfmKred::TfmKred(ui::Dialogs& dialogs)
    : ui::ToolWindow(dialogs, {"fmKred", QStringLiteral("Кредит"), 193, 112, 372, 460, QColor(192, 192, 192)})
{
}

void TfmKred::build()
{
    PageControl1 = pageControl(this, "PageControl1", {8, 16, 345, 393});
    TabSheet1 = tabSheet(PageControl1, "TabSheet1", QStringLiteral("Списание"));
    Label6 = helpLabel(TabSheet1, "Label6", {24, 16});
    Label2 = ui::label(TabSheet1, "Label2", kRate, {8, 96, 99, 13});
    Edit2 = box(TabSheet1, "Edit2", Label2, {112, 88, 25, 21}, QStringLiteral("20"));
    UpDown1 = ui::upDown(TabSheet1, "UpDown1", Edit2, kUpDownMin, kUpDownMax, 20, {137, 88, 16, 21});
    Label4 = ui::label(TabSheet1, "Label4", QStringLiteral("Номер месяца"), {200, 96, 75, 13});
    Edit4 = box(TabSheet1, "Edit4", Label4, {280, 88, 33, 24}, QStringLiteral("17"), 13);
    UpDown3 = ui::upDown(TabSheet1, "UpDown3", Edit4, kUpDownMin, kUpDownMax, 17, {313, 88, 16, 24});
    Label3 = ui::label(TabSheet1, "Label3", QStringLiteral("Количество месяцев в течении которых вы платите"),
                       {8, 136, 263, 13});
    Edit3 = box(TabSheet1, "Edit3", Label3, {280, 128, 33, 24}, QStringLiteral("36"), 13);
    UpDown2 = ui::upDown(TabSheet1, "UpDown2", Edit3, kUpDownMin, kUpDownMax, 36, {313, 128, 16, 24});
    Label1 = ui::label(TabSheet1, "Label1", QStringLiteral("Сумма кредита"), {16, 168, 78, 13});
    Edit1 = box(TabSheet1, "Edit1", Label1, {16, 184, 97, 24}, QStringLiteral("100000"), 13);
    Label5 = ui::label(TabSheet1, "Label5", QStringLiteral("Списанная сумма"), {208, 168, 91, 13});
    Edit5 = answerBox(TabSheet1, "Edit5", Label5, {208, 184, 97, 21});
    ui::addWordsMenu(Edit5, m_dialogs);
    RadioGroup1 = ui::radioGroup(TabSheet1, "RadioGroup1", kTiming, kTimingItems, {8, 224, 137, 97});
    Label7 = helpLabel(TabSheet1, "Label7", {176, 224}, 12);
    Button1 = ui::pushButton(TabSheet1, "Button1", kCalculate, {128, 336, 75, 25});
    TabSheet2 = tabSheet(PageControl1, "TabSheet2", QStringLiteral("Продолжительность"));
    Label8 = helpLabel(TabSheet2, "Label8", {40, 16});
    Label10 = ui::label(TabSheet2, "Label10", QStringLiteral("Величена регулярных выплат"), {8, 72, 150, 13});
    Edit7 = box(TabSheet2, "Edit7", Label10, {184, 64, 121, 21}, QStringLiteral("5000"));
    Label11 =
        ui::label(TabSheet2, "Label11", QStringLiteral("Первоначальная сумма кредита"), {8, 120, 165, 13});
    Edit8 = box(TabSheet2, "Edit8", Label11, {184, 112, 121, 21}, QStringLiteral("50000"));
    Label9 = ui::label(TabSheet2, "Label9", kRate, {8, 160, 99, 13});
    Edit6 = box(TabSheet2, "Edit6", Label9, {184, 152, 33, 21}, QStringLiteral("20"));
    UpDown4 = ui::upDown(TabSheet2, "UpDown4", Edit6, kUpDownMin, kUpDownMax, 20, {217, 152, 16, 21});
    Label12 =
        ui::label(TabSheet2, "Label12", QStringLiteral("Количество этапов (месяцев)"), {8, 200, 150, 13});
    Edit9 = answerBox(TabSheet2, "Edit9", Label12, {184, 192, 49, 21});
    ui::addWordsMenu(Edit9, m_dialogs);
    RadioGroup2 = ui::radioGroup(TabSheet2, "RadioGroup2", kTiming, kTimingItems, {80, 232, 185, 81});
    Button2 = ui::pushButton(TabSheet2, "Button2", kCalculate, {136, 328, 75, 25});
    TabSheet3 = new ScheduleSheet(m_dialogs);
    ui::nameControl(TabSheet3, "TabSheet3", QStringLiteral("График платежей"));
    PageControl1->addTab(TabSheet3, TabSheet3->accessibleName());

    PageControl1->setCurrentWidget(TabSheet1);
    for (const auto& [caption, box] : {std::pair<QLabel*, QWidget*>{Label2, Edit2},
                                       {Label4, Edit4},
                                       {Label3, Edit3},
                                       {Label10, Edit7},
                                       {Label11, Edit8},
                                       {Label9, Edit6},
                                       {Label12, Edit9}})
        keepBefore(caption, box);
    // The arrows take no focus: Tab visits the boxes, the timing items and the button.
    ui::chainTabOrder(
        {Edit1, Edit2, Edit3, Edit4, Edit5, RadioGroup1->item(0), RadioGroup1->item(1), Button1});
    ui::chainTabOrder({Edit6, Edit7, Edit8, RadioGroup2->item(0), RadioGroup2->item(1), Edit9, Button2});
    ui::connectGuarded(m_dialogs, Button1, &QPushButton::clicked, this, &TfmKred::Button1Click);
    ui::connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &TfmKred::Button2Click);
    FormCreate();
}

void TfmKred::FormCreate()
{
    showHelp(Label6, kHelpWriteOff);
    showHelp(Label7, kHelpMinusSign);
    RadioGroup1->setItemIndex(0);
    RadioGroup2->setItemIndex(0);
    showHelp(Label8, kHelpDuration);
}

void TfmKred::Button1Click()
{
    if (!requireFilled({Edit1, Edit2, Edit3, Edit4}))
        return;
    showAnswer(Edit5, loan::writeOff(Edit1->text().toStdString(), Edit2->text().toStdString(),
                                     Edit3->text().toStdString(), Edit4->text().toStdString(),
                                     timingOf(RadioGroup1)));
}

void TfmKred::Button2Click()
{
    if (!requireFilled({Edit6, Edit7, Edit8}))
        return;
    const std::optional<std::string> months =
        loan::duration(Edit6->text().toStdString(), Edit8->text().toStdString(), Edit7->text().toStdString(),
                       timingOf(RadioGroup2));
    if (!months) {
        m_dialogs.emptyInput(this, kNeverRepaid); // the same error-kind box: caption "Error", "Cancel"
        return;
    }
    showAnswer(Edit9, *months);
}
