// The two rating windows under the offscreen platform, reached through the main menu's
// question, with boxes typed by objectName and the message service answering.

#include "app/Startup.h"
#include "app/Unitcalc.h"
#include "elo/UnitElo.h"
#include "elo/UnitNewElo.h"
#include "numtext/numtext.h"
#include "ui/ToolWindow.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using testkit::byName;
using testkit::click;

class TestEloWindows : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;

    QWidget* openFromMenu(ui::Answer answer)
    {
        m_app.dialogs->confirmAnswers.push_back(answer);
        byName<QAction>(m_app.windows.fmCalc.get(), "mnuElo")->trigger();
        return answer == ui::Answer::Yes ? static_cast<QWidget*>(m_app.windows.fmElo.get())
                                         : m_app.windows.fmNewElo.get();
    }

    static void type(QWidget* w, const char* name, const QString& text)
    {
        auto* edit = byName<QLineEdit>(w, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    static QString text(QWidget* w, const char* name) { return byName<QLineEdit>(w, name)->text(); }

private slots:
    void init() { m_app.start(); }
    void cleanup() { m_app.stop(); }

    // Every tool window's frame as designed: the outer size includes a classic fixed frame
    // (3-pixel borders, 22-pixel title bar), the client area is what is left inside it.
    void toolWindowFrames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("client");
        // clang-format off
        QTest::newRow("rating update") << "fmElo" << QPoint(192, 114) << QSize(294, 178) << QSize(288, 150);
        QTest::newRow("initial rating") << "fmNewElo" << QPoint(192, 114) << QSize(255, 214) << QSize(249, 186);
        QTest::newRow("converter") << "fmKonvert" << QPoint(192, 114) << QSize(548, 494) << QSize(542, 466);
        QTest::newRow("loan") << "fmKred" << QPoint(193, 112) << QSize(372, 460) << QSize(366, 432);
        // 40 pixels below the list hold the choice of alphabet and the strength.
        QTest::newRow("password") << "fmSort" << QPoint(193, 111) << QSize(233, 419) << QSize(227, 391);
        QTest::newRow("plot") << "fmGraph" << QPoint(192, 114) << QSize(639, 480) << QSize(633, 452);
        // clang-format on
    }

    void toolWindowFrames()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, place);
        QFETCH(QSize, outer);
        QFETCH(QSize, client);
        ui::ToolWindow* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == name)
                window = qobject_cast<ui::ToolWindow*>(top);
        QVERIFY2(window, qPrintable(name));
        QCOMPARE(ui::ToolWindow::clientSize(outer.width(), outer.height()), client);
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), client); // fixed: the user cannot resize it
        QCOMPARE(window->maximumSize(), client);
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        window->showTool();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->frameGeometry().topLeft(), place); // the place is the frame's
        QCOMPARE(window->size(), client);
    }

    void ratingUpdateLayout()
    {
        QWidget* w = openFromMenu(ui::Answer::Yes);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Расчёт Эло"));
        QCOMPARE(w->pos(), QPoint(192, 114));
        const struct {
            const char* name;
            const char* caption;
            QRect rect;
        } boxes[] = {{"leYouElo", "Ваше Эло", {8, 24, 57, 21}},
                     {"leEloTurn", "Эло противника (турнира)", {112, 24, 57, 21}},
                     {"leGame", "Сыграно партий", {8, 72, 81, 21}},
                     {"leNo", "Набрано очков", {8, 112, 81, 21}},
                     {"leNewElo", "Новое Эло", {112, 72, 57, 21}}};
        for (const auto& box : boxes) {
            auto* edit = byName<ui::LabeledEdit>(w, box.name);
            QCOMPARE(edit->geometry(), box.rect);
            QCOMPARE(edit->label()->text(), QString::fromUtf8(box.caption));
            QVERIFY(edit->label()->geometry().bottom() < box.rect.top()); // caption above the box
            QVERIFY(edit->text().isEmpty());
        }
        QCOMPARE(byName<QPushButton>(w, "bbStart")->text(), QStringLiteral("Расчёт"));
        QCOMPARE(byName<QPushButton>(w, "bbClear")->text(), QStringLiteral("Сброс"));
        // Tab order: the four inputs, the result, then the buttons.
        QStringList order;
        QWidget* at = byName<QWidget>(w, "leYouElo");
        for (int i = 0; i < 7; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order,
                 (QStringList{"leYouElo", "leEloTurn", "leGame", "leNo", "leNewElo", "bbStart", "bbClear"}));
    }

    void ratingUpdate_data()
    {
        QTest::addColumn<QString>("you");
        QTest::addColumn<QString>("turn");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("error");
        // The values are the rating core's; here one of each way the window ends.
        // clang-format off
        QTest::newRow("stronger player") << "2400" << "2300" << "9" << "6,5" << "2407,4" << "";
        QTest::newRow("fractional rating") << "2400,5" << "2300" << "9" << "6" << "" << "'2400,5' is not a valid integer value.";
        QTest::newRow("blank points are text, not empty") << "2400" << "2300" << "9" << " " << "" << "' ' is not a valid floating point value.";
        // clang-format on
    }

    void ratingUpdate()
    {
        QFETCH(QString, you);
        QFETCH(QString, turn);
        QFETCH(QString, games);
        QFETCH(QString, points);
        QFETCH(QString, result);
        QFETCH(QString, error);
        QWidget* w = openFromMenu(ui::Answer::Yes);
        byName<QLineEdit>(w, "leNewElo")->setText(QStringLiteral("old"));
        type(w, "leYouElo", you);
        type(w, "leEloTurn", turn);
        type(w, "leGame", games);
        byName<QLineEdit>(w, "leNo")->setText(points);
        click(w, "bbStart");
        QCOMPARE(text(w, "leNewElo"), error.isEmpty() ? result : QStringLiteral("old"));
        QCOMPARE(m_app.dialogs->errors(), error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(text(w, "leYouElo"), you); // inputs keep what was typed
    }

    void ratingUpdateEmptyBox_data()
    {
        QTest::addColumn<QString>("empty");
        QTest::newRow("own rating") << "leYouElo";
        QTest::newRow("opponents") << "leEloTurn";
        QTest::newRow("points") << "leNo";
        QTest::newRow("games") << "leGame";
    }

    void ratingUpdateEmptyBox()
    {
        QFETCH(QString, empty);
        QWidget* w = openFromMenu(ui::Answer::Yes);
        // Every other box holds text that would fail to convert: the empty check comes first.
        for (const char* name : {"leYouElo", "leEloTurn", "leNo", "leGame"})
            byName<QLineEdit>(w, name)->setText(QStringLiteral("x"));
        byName<QLineEdit>(w, empty)->clear();
        byName<QLineEdit>(w, "leNewElo")->setText(QStringLiteral("1234"));
        click(w, "bbStart");
        QCOMPARE(m_app.dialogs->boxes.size(), 2); // the menu's question and the empty-input box
        QCOMPARE(m_app.dialogs->boxes.back().kind, QStringLiteral("emptyInput"));
        QCOMPARE(m_app.dialogs->boxes.back().text, QStringLiteral("Не введено значение!"));
        QCOMPARE(text(w, "leNewElo"), QStringLiteral("1234"));
    }

    void closedWindowKeepsItsBoxes()
    {
        QWidget* w = openFromMenu(ui::Answer::Yes);
        type(w, "leYouElo", QStringLiteral("1800"));
        w->close();
        QVERIFY(!w->isVisible());
        openFromMenu(ui::Answer::Yes);
        QVERIFY(w->isVisible());
        QCOMPARE(text(w, "leYouElo"), QStringLiteral("1800"));
    }

    void initialRatingLayout()
    {
        QWidget* w = openFromMenu(ui::Answer::No);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Расчёт начального Эло"));
        const struct {
            const char* label;
            const char* caption;
            const char* edit;
            QRect rect;
        } rows[] = {{"Label1", "Эло противника (турнира)", "Edit1", {184, 8, 57, 21}},
                    {"Label2", "Количество сыгранных партий", "Edit2", {184, 40, 57, 21}},
                    {"Label3", "Набрано очков", "Edit3", {184, 72, 57, 21}},
                    {"Label4", "Ваш рейтинг", "Edit4", {184, 104, 57, 21}}};
        for (const auto& row : rows) {
            QCOMPARE(byName<QLabel>(w, row.label)->text(), QString::fromUtf8(row.caption));
            QCOMPARE(byName<QLineEdit>(w, row.edit)->geometry(), row.rect);
            // The label ends before its box starts.
            QVERIFY(byName<QLabel>(w, row.label)->x() + byName<QLabel>(w, row.label)->sizeHint().width() <
                    184);
        }
        QCOMPARE(byName<QPushButton>(w, "Button1")->geometry(), QRect(40, 144, 75, 25));
        QCOMPARE(byName<QPushButton>(w, "Button2")->geometry(), QRect(120, 144, 75, 25));
    }

    void initialRating_data()
    {
        QTest::addColumn<QString>("opponents");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("error");
        // The values are the rating core's; here one of each way the window ends.
        // clang-format off
        QTest::newRow("30 per cent") << "1500" << "10" << "3" << "1347" << "";
        QTest::newRow("more points than games") << "1500" << "10" << "11" << "old" << "";
        QTest::newRow("no points") << "1500" << "10" << "0" << "old" << "Floating point division by zero.";
        QTest::newRow("empty box fails its conversion") << "" << "10" << "5" << "old" << "'' is not a valid integer value.";
        // clang-format on
    }

    void initialRating()
    {
        QFETCH(QString, opponents);
        QFETCH(QString, games);
        QFETCH(QString, points);
        QFETCH(QString, result);
        QFETCH(QString, error);
        QWidget* w = openFromMenu(ui::Answer::No);
        byName<QLineEdit>(w, "Edit1")->setText(opponents);
        byName<QLineEdit>(w, "Edit2")->setText(games);
        byName<QLineEdit>(w, "Edit3")->setText(points);
        byName<QLineEdit>(w, "Edit4")->setText(QStringLiteral("old"));
        click(w, "Button1");
        QCOMPARE(text(w, "Edit4"), result);
        QCOMPARE(m_app.dialogs->errors(), error.isEmpty() ? QStringList() : QStringList{error});
    }

    // Сброс in the rating update, the second button in the initial rating: every box emptied.
    void clearEmptiesEveryBox_data()
    {
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("rating update")
            << true << "bbClear" << QStringList{"leYouElo", "leEloTurn", "leNo", "leGame", "leNewElo"};
        QTest::newRow("initial rating")
            << false << "Button2" << QStringList{"Edit1", "Edit2", "Edit3", "Edit4"};
    }

    void clearEmptiesEveryBox()
    {
        QFETCH(bool, update);
        QFETCH(QString, button);
        QFETCH(QStringList, boxes);
        QWidget* w = openFromMenu(update ? ui::Answer::Yes : ui::Answer::No);
        for (const QString& name : boxes)
            byName<QLineEdit>(w, name)->setText(QStringLiteral("7"));
        click(w, qPrintable(button));
        for (const QString& name : boxes)
            QVERIFY2(text(w, qPrintable(name)).isEmpty(), qPrintable(name));
    }
};

QTEST_MAIN(TestEloWindows)
#include "tst_elowindows.moc"
