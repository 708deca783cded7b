// The error dispatch: one box per failed handler, the full-stop rule, steps before the failure
// kept, and no stacking of boxes while one is open. Then the real boxes, opened offscreen and
// answered from a timer: their captions, texts, buttons and answers, and their place on the
// screen however long the message.

#include "numtext.h"
#include "ui/Dispatch.h"
#include "ui/testkit.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using testkit::FakeDialogs;

namespace {

// Reports a second error while its error box is "open", as a timer tick under a modal box would.
class ReentrantDialogs final : public FakeDialogs {
public:
    QStringList shown;

protected:
    void errorBox(const QString& text) override
    {
        shown << text;
        ui::runGuarded(*this, [] { throw numtext::CalcError("tick failed"); });
    }
};

class Counter : public QObject {
    Q_OBJECT
public:
    int steps = 0;
    void failAfterOneStep()
    {
        ++steps;
        throw numtext::CalcError(numtext::kDivByZero);
        ++steps;
    }
};

// What a real box showed, recorded while it was open.
struct SeenBox {
    bool opened = false;
    QString title;
    QString text;
    QString details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // visible ones, in order
    QRect frame;
    QRect screenArea;
};

QMessageBox* openBox()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
            return box;
    return nullptr;
}

QAbstractButton* buttonNamed(QMessageBox* box, const QString& caption)
{
    for (QAbstractButton* button : box->buttons())
        if (button->isVisible() && button->text().remove(u'&') == caption)
            return button;
    return nullptr;
}

// Runs open, which shows a real modal box; once the box is up, records it and lets answer
// close it. A watchdog closes any box still open, so a test cannot hang on one.
SeenBox whileOpen(const std::function<void()>& open, const std::function<void(QMessageBox*)>& answer)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen, &answer] {
        QMessageBox* box = openBox();
        if (!box)
            return;
        seen.opened = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.details = box->detailedText();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            if (button->isVisible())
                seen.buttons << button->text().remove(u'&');
        seen.frame = box->frameGeometry();
        seen.screenArea = box->screen()->availableGeometry();
        answer(box);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QMessageBox* box = openBox())
            box->done(QMessageBox::Cancel);
    });
    watchdog.start(5000);
    open();
    return seen;
}

void pressEscape(QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ends in a letter") << "Integer overflow"
                                          << "Integer overflow.";
        QTest::newRow("ends in a quote") << "'1.5' is not a valid floating point value"
                                         << "'1.5' is not a valid floating point value.";
        QTest::newRow("ends in Cyrillic") << "Нельзя"
                                          << "Нельзя.";
        QTest::newRow("ends in a digit") << "code 7"
                                         << "code 7.";
        QTest::newRow("ends in a full stop") << "Done."
                                             << "Done.";
        QTest::newRow("ends in an exclamation mark") << "Stop!"
                                                     << "Stop!";
        QTest::newRow("ends in a blank") << "gap "
                                         << "gap ";
        QTest::newRow("empty") << ""
                               << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ui::Dialogs::errorBoxText(message), shown);
    }

    void failingHandlerShowsOneBoxAndKeepsEarlierSteps()
    {
        FakeDialogs dialogs;
        Counter counter;
        QPushButton button;
        ui::connectGuarded(dialogs, &button, &QPushButton::clicked, &counter, &Counter::failAfterOneStep);
        button.click();
        QCOMPARE(counter.steps, 1);
        QCOMPARE(dialogs.errors(), QStringList{QStringLiteral("Floating point division by zero.")});
        button.click(); // the program goes on with the next event
        QCOMPARE(counter.steps, 2);
        QCOMPARE(dialogs.errors().size(), 2);
    }

    void anyStandardExceptionIsShown_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("runtime error") << 0 << "Unable to write to CalcConf.ini.";
        QTest::newRow("logic error") << 1 << "test gave no answer.";
        QTest::newRow("calculation error") << 2 << "Integer overflow.";
        QTest::newRow("out of range") << 3 << "vector::_M_range_check.";
        QTest::newRow("bad allocation") << 4 << "std::bad_alloc.";
    }

    void anyStandardExceptionIsShown()
    {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        ui::runGuarded(dialogs, [kind] {
            switch (kind) {
            case 0:
                throw std::runtime_error("Unable to write to CalcConf.ini");
            case 1:
                throw std::logic_error("test gave no answer");
            case 2:
                throw numtext::CalcError(numtext::kIntOverflow);
            case 3:
                throw std::out_of_range("vector::_M_range_check");
            default:
                throw std::bad_alloc();
            }
        });
        QCOMPARE(dialogs.errors(), QStringList{shown});
    }

    void noSecondBoxWhileOneIsOpen()
    {
        ReentrantDialogs dialogs;
        ui::runGuarded(dialogs, [] { throw numtext::CalcError(numtext::kOverflow); });
        QCOMPARE(dialogs.shown, QStringList{QStringLiteral("Floating point overflow.")});
        // Once the box is closed, the next error shows again.
        ui::runGuarded(dialogs, [] { throw numtext::CalcError(numtext::kOverflow); });
        QCOMPARE(dialogs.shown.size(), 2);
    }

    void realBoxes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("error") << 0 << "калькулятор"
                               << "Integer overflow." << int(QMessageBox::Critical) << QStringList{"OK"};
        QTest::newRow("empty input") << 1 << "Error"
                                     << "Не введено значение!" << int(QMessageBox::Critical)
                                     << QStringList{"Cancel"};
        QTest::newRow("information, two lines")
            << 2 << "Information"
            << "Первая строка\nВторая строка" << int(QMessageBox::Information) << QStringList{"OK"};
        QTest::newRow("question") << 3 << "Confirm"
                                  << "У вас есть рейтинг?" << int(QMessageBox::Question)
                                  << QStringList{"Yes", "No"};
    }

    void realBoxes()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, buttons);
        ui::QtDialogs dialogs;
        QWidget parent;
        parent.setGeometry(20, 30, 200, 100); // a box is centred on the screen, not on this
        parent.show();
        const SeenBox seen = whileOpen(
            [&] {
                switch (kind) {
                case 0:
                    dialogs.reportError(QStringLiteral("Integer overflow"));
                    break;
                case 1:
                    dialogs.emptyInput(&parent, QStringLiteral("Не введено значение!"));
                    break;
                case 2: // the two lines joined by LF then CR
                    dialogs.information(&parent, QStringLiteral("Первая строка\n\rВторая строка"));
                    break;
                default:
                    QCOMPARE(dialogs.confirm(&parent, QStringLiteral("У вас есть рейтинг?")), ui::Answer::No);
                }
            },
            [kind](QMessageBox* box) {
                // The question is answered No (Escape is tried below); every other box closes
                // on Escape.
                if (QAbstractButton* no = buttonNamed(box, QStringLiteral("No")); kind == 3 && no)
                    no->click();
                else
                    pressEscape(box);
            });
        QVERIFY(seen.opened);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, text);
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.details, QString());
        QVERIFY(seen.screenArea.contains(seen.frame));
        QVERIFY(qAbs(seen.frame.center().x() - seen.screenArea.center().x()) <= 1);
        QVERIFY(qAbs(seen.frame.center().y() - seen.screenArea.center().y()) <= 1);
        QVERIFY(!openBox());
    }

    void questionAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << "Yes" << int(ui::Answer::Yes);
        QTest::newRow("No") << "No" << int(ui::Answer::No);
        QTest::newRow("Escape") << "Escape" << int(ui::Answer::Dismissed);
        QTest::newRow("title-bar close") << "close" << int(ui::Answer::Dismissed);
    }

    void questionAnswers()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        ui::QtDialogs dialogs;
        ui::Answer given = ui::Answer::Yes;
        const SeenBox seen =
            whileOpen([&] { given = dialogs.confirm(nullptr, QStringLiteral("У вас есть рейтинг?")); },
                      [&action](QMessageBox* box) {
                          if (action == QLatin1String("Escape"))
                              pressEscape(box);
                          else if (action == QLatin1String("close"))
                              box->close();
                          else if (QAbstractButton* button = buttonNamed(box, action))
                              button->click();
                      });
        QVERIFY(seen.opened);
        QCOMPARE(int(given), answer);
        QVERIFY(!openBox());
    }

    // A message of any length leaves the box centred within the screen, wrapped, shortened in
    // the middle, and whole in the details.
    void longMessagesStayOnScreen_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("shortened");
        QString words;
        for (int i = 0; words.size() < 16000; ++i)
            words += QStringLiteral("слово%1 ").arg(i);
        QTest::newRow("16,000 characters with blanks")
            << QStringLiteral("'%1' is not a valid floating point value").arg(words) << true;
        QTest::newRow("16,000 digits")
            << QStringLiteral("'%1' is not a valid floating point value").arg(QString(16000, u'7')) << true;
        QTest::newRow("one long word")
            << QStringLiteral("'%1' is not a valid integer value").arg(QString(120, u'9')) << true;
        QTest::newRow("a few lines")
            << QStringLiteral("'%1' is not a valid integer value").arg(QStringLiteral("12 34 ").repeated(20))
            << false;
    }

    void longMessagesStayOnScreen()
    {
        QFETCH(QString, message);
        QFETCH(bool, shortened);
        ui::QtDialogs dialogs;
        const SeenBox seen =
            whileOpen([&] { dialogs.reportError(message); }, [](QMessageBox* box) { box->done(0); });
        QVERIFY(seen.opened);
        QVERIFY2(seen.screenArea.contains(seen.frame),
                 qPrintable(QStringLiteral("%1x%2").arg(seen.frame.width()).arg(seen.frame.height())));
        QVERIFY(qAbs(seen.frame.center().x() - seen.screenArea.center().x()) <= 1);
        QVERIFY(qAbs(seen.frame.center().y() - seen.screenArea.center().y()) <= 1);
        const QString full = ui::Dialogs::errorBoxText(message);
        QCOMPARE(seen.details, shortened ? full : QString());
        QCOMPARE(seen.text.contains(QStringLiteral("…")), message.size() > 1000);
        QVERIFY(seen.text.startsWith(full.left(10)));
        QVERIFY(seen.text.endsWith(QStringLiteral("value.")));
    }
};

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
