// The error dispatch: one box per failed handler, the full-stop rule, steps before the failure
// kept, and no stacking of boxes while one is open. Then the real boxes, opened offscreen and
// answered from a timer: their captions, texts, buttons and answers, and their place on the
// screen however long the message.

#include "numtext/numtext.h"
#include "ui/Dispatch.h"
#include "support/testkit.h"

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
    QString title, text, details;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // visible ones, in order
    QRect frame, screenArea;
    bool timedOut = false; // left open: the watchdog closed it

    // Within the screen's available area and centred on it.
    bool centred() const
    {
        return screenArea.contains(frame) && qAbs(frame.center().x() - screenArea.center().x()) <= 1 &&
               qAbs(frame.center().y() - screenArea.center().y()) <= 1;
    }
};

QMessageBox* openBox()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
            return box;
    return nullptr;
}

QString caption(const QAbstractButton* button) { return button->text().remove(u'&'); }

// Runs open, which shows a real modal box; once the box is up, records it and lets answer
// close it. A watchdog closes any box still open, so a test cannot hang on one.
SeenBox whileOpen(const std::function<void()>& open, const std::function<void(QMessageBox*)>& answer)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen, &answer] {
        QMessageBox* box = openBox();
        if (!box)
            return;
        seen = {true,        box->windowTitle(), box->text(),          box->detailedText(),
                box->icon(), QStringList(),      box->frameGeometry(), box->screen()->availableGeometry()};
        for (QAbstractButton* button : box->buttons())
            if (button->isVisible())
                seen.buttons << caption(button);
        answer(box);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&seen] {
        if (QMessageBox* box = openBox()) {
            seen.timedOut = true;
            box->done(QMessageBox::Cancel);
        }
    });
    watchdog.start(5000);
    open();
    return seen;
}

// Clicks the visible button with this caption; presses Escape or closes the box for those words.
void answerWith(QMessageBox* box, const QString& action)
{
    if (action == QLatin1String("Escape"))
        QTest::keyClick(box, Qt::Key_Escape);
    else if (action == QLatin1String("close"))
        box->close();
    else
        for (QAbstractButton* button : box->buttons())
            if (button->isVisible() && caption(button) == action)
                button->click();
}

} // namespace

class TestDispatch : public QObject {
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("ends in a letter") << "Integer overflow" << "Integer overflow.";
        QTest::newRow("ends in a quote") << "'1.5' is not a valid floating point value"
                                         << "'1.5' is not a valid floating point value.";
        QTest::newRow("ends in Cyrillic") << "Нельзя" << "Нельзя.";
        QTest::newRow("ends in a digit") << "code 7" << "code 7.";
        QTest::newRow("ends in a full stop") << "Done." << "Done.";
        QTest::newRow("ends in an exclamation mark") << "Stop!" << "Stop!";
        QTest::newRow("ends in a blank") << "gap " << "gap ";
        QTest::newRow("empty") << "" << "";
        // clang-format on
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

    // Not only the calculation errors: a logic error or a failed allocation is shown too.
    void anyStandardExceptionIsShown_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("runtime error") << 0 << "Unable to write to CalcConf.ini.";
        QTest::newRow("logic error") << 1 << "test gave no answer.";
        QTest::newRow("bad allocation") << 2 << "std::bad_alloc.";
    }

    void anyStandardExceptionIsShown()
    {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        ui::runGuarded(dialogs, [kind] {
            if (kind == 0)
                throw std::runtime_error("Unable to write to CalcConf.ini");
            if (kind == 1)
                throw std::logic_error("test gave no answer");
            throw std::bad_alloc();
        });
        QCOMPARE(dialogs.errors(), QStringList{shown});
    }

    // A message quoting a binary text reaches the box whole, its control characters shown as
    // U+FFFD; the full stop follows the real last character.
    void controlCharactersShownVisibly_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("shown");
        const QString replacement(QChar::ReplacementCharacter);
        static constexpr char binary[] = "'\xFF\xFE"
                                         "1\0"
                                         "2' is not a valid floating point value";
        QTest::newRow("NUL inside") << QByteArray(binary, sizeof binary - 1)
                                    << "'" + replacement.repeated(2) + "1" + replacement +
                                           "2' is not a valid floating point value.";
        QTest::newRow("control last") << QByteArray("tab\t") << "tab" + replacement;
        QTest::newRow("line break kept") << QByteArray("one\ntwo") << "one\ntwo.";
    }

    void controlCharactersShownVisibly()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, shown);
        FakeDialogs dialogs;
        ui::runGuarded(dialogs, [&] { throw numtext::CalcError(message.toStdString()); });
        QCOMPARE(dialogs.errors(), QStringList{shown});
    }

    // A short message leaves the box wide enough for its whole caption in a title bar.
    void captionNotSqueezed()
    {
        ui::QtDialogs dialogs;
        const SeenBox seen = whileOpen([&] { dialogs.reportError(QStringLiteral("x")); },
                                       [](QMessageBox* box) { box->done(0); });
        QVERIFY(seen.opened);
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int caption = QFontMetrics(bold).horizontalAdvance(ui::kAppTitle);
        QVERIFY2(seen.frame.width() >= caption + 4 * 22, qPrintable(QString::number(seen.frame.width())));
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

    // Each kind of box, and each answer to the question; the other boxes close on Escape.
    void realBoxes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("action"); // a button's caption, "Escape" or "close"
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("answer"); // the question's
        const auto question = [](const char* name, const char* action, ui::Answer answer) {
            QTest::newRow(name) << 3 << QString::fromLatin1(action) << "Confirm"
                                << "У вас есть рейтинг?" << int(QMessageBox::Question)
                                << QStringList{"Yes", "No"} << int(answer);
        };
        // clang-format off
        QTest::newRow("error") << 0 << "Escape" << "калькулятор" << "Integer overflow."
                               << int(QMessageBox::Critical) << QStringList{"OK"} << -1;
        QTest::newRow("empty input") << 1 << "Escape" << "Error" << "Не введено значение!"
                                     << int(QMessageBox::Critical) << QStringList{"Cancel"} << -1;
        QTest::newRow("information, two lines") << 2 << "Escape" << "Information" << "Первая строка\nВторая строка"
                                                << int(QMessageBox::Information) << QStringList{"OK"} << -1;
        // clang-format on
        question("question, Yes", "Yes", ui::Answer::Yes);
        question("question, No", "No", ui::Answer::No);
        question("question, Escape", "Escape", ui::Answer::Dismissed);
        question("question, title-bar close", "close", ui::Answer::Dismissed);
    }

    void realBoxes()
    {
        QFETCH(int, kind);
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, buttons);
        QFETCH(int, answer);
        ui::QtDialogs dialogs;
        QWidget parent;
        parent.setGeometry(20, 30, 200, 100); // a box is centred on the screen, not on this
        parent.show();
        ui::Answer given = ui::Answer::Yes;
        const SeenBox seen = whileOpen(
            [&] {
                if (kind == 0)
                    dialogs.reportError(QStringLiteral("Integer overflow"));
                else if (kind == 1)
                    dialogs.emptyInput(&parent, QStringLiteral("Не введено значение!"));
                else if (kind == 2) // the two lines joined by LF then CR
                    dialogs.information(&parent, QStringLiteral("Первая строка\n\rВторая строка"));
                else
                    given = dialogs.confirm(&parent, QStringLiteral("У вас есть рейтинг?"));
            },
            [&action](QMessageBox* box) { answerWith(box, action); });
        QVERIFY(seen.opened);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, text);
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.details, QString());
        QVERIFY(seen.centred());
        QVERIFY(!seen.timedOut);
        QVERIFY(!openBox());
        if (kind == 3)
            QCOMPARE(int(given), answer);
    }

    // A message of any length leaves the box centred within the screen, wrapped, shortened in
    // the middle, and whole in the details.
    void longMessagesStayOnScreen_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("shortened");
        const QString notReal = QStringLiteral("'%1' is not a valid floating point value");
        const QString notInteger = QStringLiteral("'%1' is not a valid integer value");
        QString words;
        for (int i = 0; words.size() < 16000; ++i)
            words += QStringLiteral("слово%1 ").arg(i);
        QTest::newRow("16,000 characters with blanks") << notReal.arg(words) << true;
        QTest::newRow("16,000 digits") << notReal.arg(QString(16000, u'7')) << true;
        QTest::newRow("one long word") << notInteger.arg(QString(120, u'9')) << true;
        QTest::newRow("a few lines") << notInteger.arg(QStringLiteral("12 34 ").repeated(20)) << false;
    }

    void longMessagesStayOnScreen()
    {
        QFETCH(QString, message);
        QFETCH(bool, shortened);
        ui::QtDialogs dialogs;
        const SeenBox seen =
            whileOpen([&] { dialogs.reportError(message); }, [](QMessageBox* box) { box->done(0); });
        QVERIFY(seen.opened);
        QVERIFY2(seen.centred(),
                 qPrintable(QStringLiteral("%1x%2").arg(seen.frame.width()).arg(seen.frame.height())));
        const QString full = ui::Dialogs::errorBoxText(message);
        QCOMPARE(seen.details, shortened ? full : QString());
        QCOMPARE(seen.text.contains(QStringLiteral("…")), message.size() > 1000);
        QVERIFY(seen.text.startsWith(full.left(10)));
        QVERIFY(seen.text.endsWith(QStringLiteral("value.")));
    }
};

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
