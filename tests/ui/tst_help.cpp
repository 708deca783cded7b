// The help window over the real help document: it opens at the asked section, one window per
// owner is reused, the browser button hands the section to the desktop, and a missing document
// is reported with the places looked in.

#include "ui/Help.h"
#include "support/testkit.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

namespace {

const QString kHelpFolder = QFileInfo(QStringLiteral(VILORKA_HELP_FILE)).absolutePath();

// Where the block holding the anchor starts in the document, in pixels.
int anchorTop(const QTextBrowser* browser, const QString& anchor)
{
    const QTextDocument* document = browser->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(anchor))
                return int(document->documentLayout()->blockBoundingRect(block).top());
    return -1;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void opensAtSection_data()
    {
        QTest::addColumn<QString>("anchor");
        QTest::newRow("top") << QString();
        QTest::newRow("converter") << QStringLiteral("konvert");
        QTest::newRow("password") << QStringLiteral("parol");
    }

    void opensAtSection()
    {
        QFETCH(QString, anchor);
        testkit::FakeDialogs dialogs;
        QWidget owner;
        // Opened first elsewhere, so the window is reused and scrolls from another section.
        ui::openHelp(dialogs, &owner, QStringLiteral("files"), {kHelpFolder});
        ui::openHelp(dialogs, &owner, anchor, {kHelpFolder});
        QCOMPARE(owner.findChildren<ui::HelpWindow*>().size(), 1);
        auto* help = testkit::byName<ui::HelpWindow>(&owner, "fmHelp");
        QVERIFY(help->isVisible());
        const int top = anchor.isEmpty() ? 0 : anchorTop(help->Browser, anchor);
        QVERIFY2(top >= 0, "the document has the anchor");
        const QScrollBar* scroll = help->Browser->verticalScrollBar();
        QVERIFY(scroll->maximum() > top); // so the section can come to the top
        QCOMPARE(scroll->value(), top);

        QTest::mouseClick(help->btnBrowser, Qt::LeftButton);
        QCOMPARE(dialogs.boxes.size(), 1);
        QCOMPARE(dialogs.boxes.front().kind, QStringLiteral("document"));
        const QString path = kHelpFolder + QStringLiteral("/Help.htm");
        QCOMPARE(dialogs.boxes.front().text, anchor.isEmpty() ? path : path + u'#' + anchor);
    }

    void missingDocumentIsReported()
    {
        testkit::FakeDialogs dialogs;
        QWidget owner;
        QTemporaryDir empty, other;
        ui::openHelp(dialogs, &owner, QStringLiteral("konvert"), {empty.path(), other.path()});
        QCOMPARE(dialogs.boxes.size(), 1);
        QCOMPARE(dialogs.boxes.front().kind, QStringLiteral("information"));
        QCOMPARE(dialogs.boxes.front().text,
                 QStringLiteral("Справка не найдена: файла Help.htm нет ни в одной из папок:\n%1\n%2")
                     .arg(empty.path(), other.path()));
        QVERIFY(owner.findChildren<ui::HelpWindow*>().isEmpty());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
