// The converter window under the offscreen platform, opened from the main menu and driven as a
// user drives it: category by keys or typing, units by mouse clicks and arrow keys.

#include "app/Unitcalc.h"
#include "convert/UnitKonvert.h"
#include "ui/Help.h"
#include "support/appwindows.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

using testkit::byName;

namespace {

const QString kEmptyAmount = QStringLiteral("Введите количество исходных единиц");
const QString kNoSource = QStringLiteral("Выберите исходную величину");
const QString kOld = QStringLiteral("old");

QString selected(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

void clickEntry(QListWidget* list, const QString& entry)
{
    const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(entry));
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
}

} // namespace

class TestKonvertWindow : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    TfmKonvert* w() const { return m_app.windows.fmKonvert.get(); }
    QListWidget* list(const char* name) const { return byName<QListWidget>(w(), name); }
    QLineEdit* edit(const char* name) const { return byName<QLineEdit>(w(), name); }
    QString answer() const { return edit("Edit2")->text(); }

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

    void typeAmount(const QString& amount)
    {
        edit("Edit1")->clear();
        QTest::keyClicks(edit("Edit1"), amount);
    }

private slots:
    void init()
    {
        m_app.start();
        byName<QAction>(m_app.windows.fmCalc.get(), "N4")->trigger();
        QVERIFY(w()->isVisible());
    }
    void cleanup() { m_app.stop(); }

    void layoutAfterCreation()
    {
        QCOMPARE(w()->palette().color(QPalette::Window), QColor(192, 192, 192));
        const struct {
            const char* name;
            const char* caption;
            QPoint at;
        } labels[] = {{"Label1", "Категория", {240, 8}},
                      {"Label2", "Исходная величина", {72, 56}},
                      {"Label3", "Конечная величина", {360, 56}},
                      {"Label4", "Количество исходных едениц", {8, 408}},
                      {"Label5", "Ответ", {272, 408}}};
        for (const auto& label : labels) {
            QCOMPARE(byName<QLabel>(w(), label.name)->text(), QString::fromUtf8(label.caption));
            QCOMPARE(byName<QLabel>(w(), label.name)->pos(), label.at);
        }
        for (const auto& [name, rect] : {std::pair{"ComboBox1", QRect(192, 24, 145, 21)},
                                         {"ListBox1", {0, 72, 265, 329}},
                                         {"ListBox2", {272, 72, 265, 329}},
                                         {"Edit1", {8, 424, 153, 24}},
                                         {"Edit2", {272, 424, 217, 24}},
                                         {"bbHelp", {512, 24, 25, 25}}})
            QCOMPARE(byName<QWidget>(w(), name)->geometry(), rect);

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
        QCOMPARE(edit("Edit1")->text(), QStringLiteral("1"));
        QVERIFY(answer().isEmpty());
        QCOMPARE(edit("Edit1")->font().pixelSize(), 13);
        auto* help = byName<QPushButton>(w(), "bbHelp");
        QCOMPARE(help->text(), QStringLiteral("?"));
        QCOMPARE(help->font().pixelSize(), 19);
        QCOMPARE(help->palette().color(QPalette::ButtonText), QColor(Qt::red));

        QVERIFY(m_app.dialogs->boxes.isEmpty());
    }

    // A category picked by keys, the source and the target clicked: the answer, or the error box
    // (text ending in ".") with the old answer left.
    void convert_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("quarter in inches") << 0 << "Четверть" << "1" << "Дюйм" << "7";
        QTest::newRow("boiling water") << 4 << "Градус Цельсия" << "100" << "Градус Фаренгейта" << "212";
        QTest::newRow("not a number") << 2 << "Литр" << "1.5" << "Четверть" << "'1.5' is not a valid floating point value.";
        // clang-format on
    }

    void convert()
    {
        QFETCH(int, category);
        QFETCH(QString, source);
        QFETCH(QString, amount);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        edit("Edit2")->setText(kOld);
        pickCategory(category);
        clickEntry(list("ListBox1"), source);
        typeAmount(amount);
        clickEntry(list("ListBox2"), target);
        const bool fails = expected.endsWith(u'.');
        QCOMPARE(answer(), fails ? kOld : expected);
        QCOMPARE(m_app.dialogs->errors(), fails ? QStringList{expected} : QStringList());
        QCOMPARE(selected(list("ListBox1")), source);
    }

    // A target clicked without what the conversion needs: one box, the answer and amount kept.
    // The empty amount is reported first, even with no source selected.
    void missingInput_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("box");
        QTest::newRow("empty amount") << QString() << kEmptyAmount;
        QTest::newRow("no source") << QStringLiteral("1") << kNoSource;
    }

    void missingInput()
    {
        QFETCH(QString, amount);
        QFETCH(QString, box);
        pickCategory(8);
        edit("Edit1")->setText(amount);
        edit("Edit2")->setText(kOld);
        clickEntry(list("ListBox2"), QStringLiteral("Ватт"));
        QCOMPARE(m_app.dialogs->boxes.size(), 1);
        QCOMPARE(m_app.dialogs->boxes.front().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_app.dialogs->boxes.front().text, box);
        QCOMPARE(answer(), kOld);
        QCOMPARE(edit("Edit1")->text(), amount);
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
        QVERIFY(m_app.dialogs->boxes.isEmpty());
    }

    void typedCategory()
    {
        clickEntry(list("ListBox1"), QStringLiteral("Метр"));
        typeCategory(QStringLiteral("сила")); // names "Сила": refilled, selection lost
        QCOMPARE(list("ListBox2")->item(0)->text(), QStringLiteral("Дина"));
        QVERIFY(list("ListBox1")->selectedItems().isEmpty());
        clickEntry(list("ListBox1"), QStringLiteral("Понд"));
        typeCategory(QStringLiteral("Вес")); // names nothing: lists as they were
        QCOMPARE(list("ListBox1")->count(), 8);
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
        edit("Edit1")->clear();
        QTest::keyClick(list("ListBox2"), Qt::Key_Up); // already at the top: no pick, no box
        QVERIFY(m_app.dialogs->boxes.isEmpty());
        QTest::keyClick(list("ListBox2"), Qt::Key_Down);
        QCOMPARE(m_app.dialogs->boxes.size(), 1);
        QCOMPARE(m_app.dialogs->boxes.front().text, kEmptyAmount);
    }

    // Each way the mouse changes the target's selection converts, once: the pick counted where
    // the list reports it, the answer that of the entry now selected. The drag presses on the
    // entry above "Фут" and releases on "Фут"; "again" clicks the entry already selected.
    void mouseSelectionConvertsOnce_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::newRow("click") << "click";
        QTest::newRow("click on the selected entry") << "again";
        QTest::newRow("short drag") << "drag";
        QTest::newRow("right button") << "right";
        QTest::newRow("double click") << "double";
    }

    void mouseSelectionConvertsOnce()
    {
        QFETCH(QString, gesture);
        clickEntry(list("ListBox1"), QStringLiteral("Ярд"));
        auto* target = byName<PickList>(w(), "ListBox2");
        const int foot = target->row(target->findItems(QStringLiteral("Фут"), Qt::MatchExactly).front());
        if (gesture == QLatin1String("again"))
            target->setCurrentRow(foot); // selected from code: no pick
        const QPoint at = target->visualItemRect(target->item(foot)).center();
        const QPoint above = target->visualItemRect(target->item(foot - 1)).center();
        QSignalSpy picks(target, &PickList::picked);
        QWidget* view = target->viewport();
        if (gesture == QLatin1String("drag")) {
            QTest::mousePress(view, Qt::LeftButton, {}, above);
            QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(view, &move);
            QTest::mouseRelease(view, Qt::LeftButton, {}, at);
        } else if (gesture == QLatin1String("double")) { // as the window system delivers one
            QTest::mouseClick(view, Qt::LeftButton, {}, at);
            QMouseEvent second(QEvent::MouseButtonDblClick, at, view->mapToGlobal(at), Qt::LeftButton,
                               Qt::LeftButton, {});
            QApplication::sendEvent(view, &second);
            QTest::mouseRelease(view, Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(view, gesture == QLatin1String("right") ? Qt::RightButton : Qt::LeftButton, {},
                              at);
        }
        QCOMPARE(selected(target), QStringLiteral("Фут"));
        QCOMPARE(picks.count(), 1);
        QCOMPARE(answer(), QStringLiteral("3"));
    }

    void helpButton()
    {
        QFile help(m_app.path(QStringLiteral("Help.htm")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        QTest::mouseClick(byName<QPushButton>(w(), "bbHelp"), Qt::LeftButton);
        QVERIFY(m_app.dialogs->boxes.isEmpty());
        auto* window = byName<ui::HelpWindow>(w(), "fmHelp");
        QVERIFY(window->isVisible());
        QUrl section = QUrl::fromLocalFile(QFileInfo(help).absoluteFilePath());
        section.setFragment(QStringLiteral("konvert"));
        QCOMPARE(window->Browser->source(), section);
    }
};

QTEST_MAIN(TestKonvertWindow)
#include "tst_konvertwindow.moc"
