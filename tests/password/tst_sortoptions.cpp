// The password window's controls under the list, offscreen: the choice of an alphabet without
// Cyrillic look-alikes, the strength shown, and a password copied from the list (context menu or
// Ctrl+C) taken off the clipboard again when the 30-s timer, stepped here, runs out.

#include "password/UnitSort.h"
#include "ui/Dispatch.h"
#include "ui/Widgets.h"
#include "support/appwindows.h"
#include "support/draws.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

} // namespace

class TestSortOptions : public QObject {
    Q_OBJECT

private:
    testkit::AppWindows m_app;
    std::unique_ptr<TfmSort> m_w;

    QString listOne()
    {
        m_w->btnSortClick();
        for (int i = 0; i < 100 && m_w->Timer1->isActive(); ++i)
            m_w->Timer1Timer();
        m_w->Timer2Timer();
        m_w->Button1Click();
        return m_w->Memo1->toPlainText();
    }

    // Opens the list's context menu at the start of line and picks "Копировать пароль".
    void copyFromMenu(int line)
    {
        const QTextBlock block = m_w->Memo1->document()->findBlockByNumber(line);
        QTextCursor at(block);
        const QPoint point = m_w->Memo1->cursorRect(at).center();
        bool picked = false;
        QTimer::singleShot(0, this, [&picked] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                if (action->text() == QStringLiteral("Копировать пароль") && action->isEnabled()) {
                    action->trigger();
                    picked = true;
                }
            menu->close();
        });
        emit m_w->Memo1->customContextMenuRequested(point);
        QVERIFY2(picked, "the menu offered the item");
    }

private slots:
    void init()
    {
        m_app.start();
        m_w =
            std::make_unique<TfmSort>(*m_app.dialogs, QStringLiteral("Pass.txt"), testkit::CountingSource{});
        m_w->showTool();
        QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
        QGuiApplication::clipboard()->clear();
    }
    void cleanup()
    {
        m_w.reset();
        m_app.stop();
    }

    // Below the list, inside the window, clear of every other control; off at first.
    void placedUnderTheList()
    {
        QCOMPARE(m_w->chkNoLookalikes->text(), QStringLiteral("Без символов, похожих на кириллицу"));
        QVERIFY(!m_w->chkNoLookalikes->isChecked());
        QVERIFY(m_w->chkNoLookalikes->sizeHint().width() <= m_w->chkNoLookalikes->width()); // caption whole
        for (QWidget* added :
             {static_cast<QWidget*>(m_w->chkNoLookalikes), static_cast<QWidget*>(m_w->lblStrength)}) {
            QVERIFY(m_w->rect().contains(added->geometry()));
            QVERIFY(added->y() > m_w->Memo1->geometry().bottom());
            for (QWidget* other : m_w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != added && other->isVisible() && !other->inherits("QLabel"))
                    QVERIFY2(!other->geometry().intersects(added->geometry()),
                             qPrintable(other->objectName()));
        }
    }

    // Strength follows the length box and the check box; a checked box draws from the short
    // alphabet and starts a new password.
    void strengthAndAlphabet_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("strength");
        QTest::addColumn<QString>("listed");
        // clang-format off
        QTest::newRow("as opened") << "6" << false << "Стойкость: 35,7 бит" << "012345\n";
        QTest::newRow("without look-alikes") << "6" << true << "Стойкость: 31,9 бит" << "234567\n";
        QTest::newRow("length 10") << "10" << false << "Стойкость: 59,5 бит" << "0123456789\n";
        QTest::newRow("length not a number") << "x" << false << "Стойкость: —" << "";
        // clang-format on
    }

    void strengthAndAlphabet()
    {
        QFETCH(QString, length);
        QFETCH(bool, checked);
        QFETCH(QString, strength);
        QFETCH(QString, listed);
        m_w->Le1->setText(length);
        m_w->chkNoLookalikes->setChecked(checked);
        QCOMPARE(m_w->lblStrength->text(), strength);
        QCOMPARE(m_w->lblStrength->accessibleName(), strength);
        ui::runGuarded(*m_app.dialogs, [&] { listOne(); });
        QCOMPARE(m_w->Memo1->toPlainText(), listed);
    }

    void toggledWhileBuildingStartsAfresh()
    {
        m_w->btnClearClick();
        m_w->Timer1Timer(); // "0" from the long alphabet
        QTest::mouseClick(m_w->chkNoLookalikes, Qt::LeftButton);
        QVERIFY(m_w->chkNoLookalikes->isChecked());
        QVERIFY(m_w->generator().currentPassword().empty());
        QVERIFY(m_w->Timer1->isActive());
    }

    // How the password reaches the clipboard, and what the 30-s timer, or the program's end
    // before it, finds there then.
    void copiedPasswordCleared_data()
    {
        QTest::addColumn<QString>("how");            // menu, ctrl-c, ctrl-c-selection
        QTest::addColumn<bool>("replacedMeanwhile"); // the user copied something else
        QTest::addColumn<bool>("programEnds");       // before the timer runs out
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("afterTimer");
        // clang-format off
        QTest::newRow("context menu") << "menu" << false << false << "6789AB" << "";
        QTest::newRow("Ctrl+C on the line") << "ctrl-c" << false << false << "6789AB" << "";
        QTest::newRow("Ctrl+C on a selection") << "ctrl-c-selection" << false << false << "789" << "";
        QTest::newRow("something else copied since") << "ctrl-c" << true << false << "6789AB" << "mine";
        QTest::newRow("program ending first") << "menu" << false << true << "6789AB" << "";
        // clang-format on
    }

    void copiedPasswordCleared()
    {
        QFETCH(QString, how);
        QFETCH(bool, replacedMeanwhile);
        QFETCH(bool, programEnds);
        QFETCH(QString, copied);
        QFETCH(QString, afterTimer);
        listOne();
        listOne(); // "012345\n6789AB\n"
        if (how == QLatin1String("menu")) {
            copyFromMenu(1);
        } else {
            QTextCursor cursor(m_w->Memo1->document()->findBlockByNumber(1));
            if (how == QLatin1String("ctrl-c-selection")) {
                cursor.movePosition(QTextCursor::Right);
                cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 3);
            }
            m_w->Memo1->setTextCursor(cursor);
            QTest::keyClick(m_w->Memo1, Qt::Key_C, Qt::ControlModifier);
        }
        QCOMPARE(clipboardText(), copied);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")),
                 QByteArray("secret"));
        QVERIFY(m_w->Timer3->isActive());
        QCOMPARE(m_w->Timer3->interval(), 30000);
        if (replacedMeanwhile)
            QGuiApplication::clipboard()->setText(QStringLiteral("mine"));
        if (programEnds)
            m_w->ProgramEnd();
        else
            m_w->Timer3Timer();
        QCOMPARE(clipboardText(), afterTimer);
        QVERIFY(!m_w->Timer3->isActive()); // runs out once
        QCOMPARE(m_app.dialogs->boxes.size(), 0);
    }

    void nothingCopiedFromAnEmptyLine()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("mine"));
        QTest::keyClick(m_w->Memo1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QStringLiteral("mine"));
        QVERIFY(!m_w->Timer3->isActive());
    }
};

QTEST_MAIN(TestSortOptions)
#include "tst_sortoptions.moc"
