// The converter window under the offscreen platform, opened from the main menu and driven as a
// user drives it: category by keys or typing, units by mouse clicks and arrow keys.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "numtext.h"
#include "ui/testkit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using testkit::byName;
using testkit::FakeDialogs;

namespace {

const QString kEmptyAmount = QStringLiteral("Введите количество исходных единиц");
const QString kNoSource = QStringLiteral("Выберите исходную величину");

QStringList entries(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

} // namespace

class TestKonvertWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    std::unique_ptr<FakeDialogs> m_dialogs;
    app::Windows m_windows;

    TfmKonvert* w() const { return m_windows.fmKonvert.get(); }
    QListWidget* list(const char* name) const { return byName<QListWidget>(w(), name); }
    QString answer() const { return byName<QLineEdit>(w(), "Edit2")->text(); }

    // Steps the category box with the arrow keys, as a user does with the box focused.
    void pickCategory(int index)
    {
        auto* box = byName<QComboBox>(w(), "ComboBox1");
        while (box->currentIndex() != index)
            QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }

    void typeCategory(const QString& text)
    {
        QLineEdit* field = byName<QComboBox>(w(), "ComboBox1")->lineEdit();
        field->selectAll();
        // Cyrillic letters reach the box as typed text; keyClicks takes Latin-1 only.
        for (const QChar letter : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(letter), Qt::NoModifier);
    }

    static void clickEntry(QListWidget* list, const QString& entry)
    {
        const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(entry));
        list->scrollToItem(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    }

    void typeAmount(const QString& amount)
    {
        auto* edit = byName<QLineEdit>(w(), "Edit1");
        edit->clear();
        QTest::keyClicks(edit, amount);
    }

    static QString selected(const QListWidget* list)
    {
        const QList<QListWidgetItem*> items = list->selectedItems();
        return items.isEmpty() ? QString() : items.front()->text();
    }

private slots:
    void init()
    {
        numtext::setDecimalSeparator(',');
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
        m_dialogs = std::make_unique<FakeDialogs>();
        m_windows = app::createWindows(*m_dialogs, m_dir->filePath(QStringLiteral("CalcConf.ini")));
        byName<QAction>(m_windows.fmCalc.get(), "N4")->trigger();
        QVERIFY(w()->isVisible());
    }

    void cleanup()
    {
        m_windows = app::Windows();
        QDir::setCurrent(m_oldCurrent);
        m_dialogs.reset();
        m_dir.reset();
    }

    void layoutAfterCreation()
    {
        QCOMPARE(w()->windowTitle(), QStringLiteral("Конвертер измерительных величин"));
        QCOMPARE(w()->pos(), QPoint(192, 114));
        QCOMPARE(w()->size(), ui::ToolWindow::clientSize(548, 494));
        QCOMPARE(w()->palette().color(QPalette::Window), QColor(192, 192, 192));
        const struct {
            const char* name;
            const char* caption;
            QRect rect;
        } labels[] = {{"Label1", "Категория", {240, 8, 53, 13}},
                      {"Label2", "Исходная величина", {72, 56, 99, 13}},
                      {"Label3", "Конечная величина", {360, 56, 98, 13}},
                      {"Label4", "Количество исходных едениц", {8, 408, 149, 13}},
                      {"Label5", "Ответ", {272, 408, 30, 13}}};
        for (const auto& label : labels) {
            auto* text = byName<QLabel>(w(), label.name);
            QCOMPARE(text->text(), QString::fromUtf8(label.caption));
            QCOMPARE(text->geometry().topLeft(), label.rect.topLeft());
        }
        const struct {
            const char* name;
            QRect rect;
        } controls[] = {{"ComboBox1", {192, 24, 145, 21}}, {"ListBox1", {0, 72, 265, 329}},
                        {"ListBox2", {272, 72, 265, 329}}, {"Edit1", {8, 424, 153, 24}},
                        {"Edit2", {272, 424, 217, 24}},    {"bbHelp", {512, 24, 25, 25}}};
        for (const auto& control : controls)
            QCOMPARE(byName<QWidget>(w(), control.name)->geometry(), control.rect);

        auto* box = byName<QComboBox>(w(), "ComboBox1");
        QVERIFY(box->isEditable());
        QCOMPARE(box->count(), 9);
        QCOMPARE(box->itemText(8), QStringLiteral("Мощьность"));
        QCOMPARE(box->currentText(), QStringLiteral("Длина"));
        for (const char* name : {"ListBox1", "ListBox2"}) {
            QCOMPARE(list(name)->count(), 30);
            QCOMPARE(list(name)->item(0)->text(), QStringLiteral("Четверть"));
            QVERIFY(list(name)->selectedItems().isEmpty());
        }
        QCOMPARE(byName<QLineEdit>(w(), "Edit1")->text(), QStringLiteral("1"));
        QVERIFY(answer().isEmpty());
        QCOMPARE(byName<QLineEdit>(w(), "Edit1")->font().pixelSize(), 13);
        auto* help = byName<QPushButton>(w(), "bbHelp");
        QCOMPARE(help->text(), QStringLiteral("?"));
        QCOMPARE(help->font().pixelSize(), 19);
        QCOMPARE(help->palette().color(QPalette::ButtonText), QColor(Qt::red));

        QStringList order;
        QWidget* at = box;
        for (int i = 0; i < 6; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus) || at->objectName().isEmpty());
        }
        QCOMPARE(order, (QStringList{"ComboBox1", "ListBox1", "ListBox2", "Edit1", "Edit2", "bbHelp"}));
        QVERIFY(m_dialogs->boxes.isEmpty());
    }

    void convert_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected"); // the answer box, or the error box's text
        const auto row = [](const char* name, int category, const char* source, const char* amount,
                            const char* target, const char* expected) {
            QTest::newRow(name) << category << QString::fromUtf8(source) << QString::fromUtf8(amount)
                                << QString::fromUtf8(target) << QString::fromUtf8(expected);
        };
        row("quarter in inches", 0, "Четверть", "1", "Дюйм", "7");
        row("beyond the double range", 0, "Четверть", "1E308", "Ферми", "1,778E322");
        row("pood", 3, "Пуд", "1", "Килограмм", "16,3804964");
        row("boiling water", 4, "Градус Цельсия", "100", "Градус Фаренгейта", "212");
        row("imperial horsepower", 8, "Лошадиная сила (Великобритания)", "1", "Ватт", "745,69987158227");
        row("not a number", 2, "Литр", "1.5", "Четверть", "'1.5' is not a valid floating point value.");
        row("overflow", 0, "Дюйм", "1E400", "Метр", "Floating point overflow.");
    }

    void convert()
    {
        QFETCH(int, category);
        QFETCH(QString, source);
        QFETCH(QString, amount);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        byName<QLineEdit>(w(), "Edit2")->setText(QStringLiteral("old"));
        pickCategory(category);
        clickEntry(list("ListBox1"), source);
        typeAmount(amount);
        clickEntry(list("ListBox2"), target);
        const bool fails = expected.endsWith(u'.');
        QCOMPARE(answer(), fails ? QStringLiteral("old") : expected);
        QCOMPARE(m_dialogs->errors(), fails ? QStringList{expected} : QStringList());
        QCOMPARE(selected(list("ListBox1")), source);
    }

    // The empty amount is reported first, in every category, even with no source selected.
    void emptyAmount_data()
    {
        QTest::addColumn<int>("category");
        for (int category = 0; category < 9; ++category)
            QTest::newRow(qPrintable(QString::number(category))) << category;
    }

    void emptyAmount()
    {
        QFETCH(int, category);
        pickCategory(category);
        byName<QLineEdit>(w(), "Edit1")->clear();
        byName<QLineEdit>(w(), "Edit2")->setText(QStringLiteral("old"));
        clickEntry(list("ListBox2"), list("ListBox2")->item(0)->text());
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_dialogs->boxes.front().text, kEmptyAmount);
        QCOMPARE(answer(), QStringLiteral("old"));
    }

    void noSourceSelected()
    {
        byName<QLineEdit>(w(), "Edit2")->setText(QStringLiteral("old"));
        clickEntry(list("ListBox2"), QStringLiteral("Метр"));
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_dialogs->boxes.front().text, kNoSource);
        QCOMPARE(answer(), QStringLiteral("old"));
        QCOMPARE(byName<QLineEdit>(w(), "Edit1")->text(), QStringLiteral("1"));
    }

    void categoryChangeKeepsTheAnswer()
    {
        clickEntry(list("ListBox1"), QStringLiteral("Аршин"));
        clickEntry(list("ListBox2"), QStringLiteral("Вершок"));
        QCOMPARE(answer(), QStringLiteral("16"));
        pickCategory(1);
        QCOMPARE(answer(), QStringLiteral("16"));
        for (const char* name : {"ListBox1", "ListBox2"}) {
            QCOMPARE(list(name)->count(), 11);
            QCOMPARE(list(name)->item(1)->text(), QStringLiteral("Десятина"));
            QVERIFY(list(name)->selectedItems().isEmpty());
        }
        QVERIFY(m_dialogs->boxes.isEmpty());
    }

    void typedCategory()
    {
        clickEntry(list("ListBox1"), QStringLiteral("Метр"));
        typeCategory(QStringLiteral("сила")); // names "Сила": refilled, selection lost
        QCOMPARE(entries(list("ListBox2")).first(), QStringLiteral("Дина"));
        QVERIFY(list("ListBox1")->selectedItems().isEmpty());
        clickEntry(list("ListBox1"), QStringLiteral("Понд"));
        typeCategory(QStringLiteral("Вес")); // names nothing: lists as they were
        QCOMPARE(entries(list("ListBox1")).size(), 8);
        QCOMPARE(selected(list("ListBox1")), QStringLiteral("Понд"));
        typeAmount(QStringLiteral("1000"));
        clickEntry(list("ListBox2"), QStringLiteral("Килопонд")); // converts in the listed category
        QCOMPARE(answer(), QStringLiteral("1"));
    }

    void onlyTheTargetConverts()
    {
        clickEntry(list("ListBox1"), QStringLiteral("Ярд"));
        clickEntry(list("ListBox2"), QStringLiteral("Фут"));
        QCOMPARE(answer(), QStringLiteral("3"));
        clickEntry(list("ListBox1"), QStringLiteral("Сажень"));
        typeAmount(QStringLiteral("2"));
        QCOMPARE(answer(), QStringLiteral("3"));
        clickEntry(list("ListBox2"), QStringLiteral("Фут")); // the same entry again
        QCOMPARE(answer(), QStringLiteral("14"));
    }

    void keyboardSelectionConverts()
    {
        QApplication::setActiveWindow(w());
        for (const char* name :
             {"ListBox1", "ListBox2"}) { // tabbed into: the first arrow picks the first entry
            list(name)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(list(name), Qt::Key_Down);
            QCOMPARE(selected(list(name)), QStringLiteral("Четверть"));
        }
        QCOMPARE(answer(), QStringLiteral("1"));
        QTest::keyClick(list("ListBox2"), Qt::Key_Down);
        QCOMPARE(answer(), QStringLiteral("7"));
        QTest::keyClick(list("ListBox2"), Qt::Key_Down);
        QCOMPARE(selected(list("ListBox2")), QStringLiteral("Дециметр"));
        QCOMPARE(answer(), QStringLiteral("1,778"));
        QTest::keyClick(list("ListBox2"), Qt::Key_Home);
        QCOMPARE(answer(), QStringLiteral("1"));
        byName<QLineEdit>(w(), "Edit1")->clear();
        QTest::keyClick(list("ListBox2"), Qt::Key_Up); // already at the top: no pick, no box
        QVERIFY(m_dialogs->boxes.isEmpty());
        QTest::keyClick(list("ListBox2"), Qt::Key_Down);
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().text, kEmptyAmount);
    }

    void helpButton()
    {
        QTest::mouseClick(byName<QPushButton>(w(), "bbHelp"), Qt::LeftButton);
        QVERIFY(m_dialogs->boxes.isEmpty()); // no document: nothing shown
        QFile help(QDir::current().filePath(QStringLiteral("Help.htm")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        QTest::mouseClick(byName<QPushButton>(w(), "bbHelp"), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes.front().kind, QStringLiteral("document"));
        QCOMPARE(m_dialogs->boxes.front().text,
                 QFileInfo(help).absoluteFilePath() + QStringLiteral("#konvert"));
    }
};

QTEST_MAIN(TestKonvertWindow)
#include "tst_konvertwindow.moc"
