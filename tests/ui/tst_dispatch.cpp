// The error dispatch: one box per failed handler, the full-stop rule, steps before the failure
// kept, and no stacking of boxes while one is open.

#include "numtext.h"
#include "ui/Dispatch.h"
#include "ui/testkit.h"

#include <QPushButton>
#include <QTest>

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

    void anyStandardExceptionIsShown()
    {
        FakeDialogs dialogs;
        ui::runGuarded(dialogs, [] { throw std::runtime_error("Unable to write to CalcConf.ini"); });
        QCOMPARE(dialogs.errors(), QStringList{QStringLiteral("Unable to write to CalcConf.ini.")});
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
};

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"
