// The help document: well-formed enough for any browser (it parses as XML), self-contained
// (no script, no other file, links only to its own sections), a section for every window that
// the program opens by anchor, every calculator key named in the calculator's section, what the
// program really does where it is easy to get wrong, the interface's own misspellings marked as
// such, and numbers a user may copy written with the ASCII minus.

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QStringList kSections{QStringLiteral("calc"),    QStringLiteral("elo"),    QStringLiteral("newelo"),
                            QStringLiteral("konvert"), QStringLiteral("kredit"), QStringLiteral("parol"),
                            QStringLiteral("grafik")};
// Sections whose text is gathered besides the windows': the main menu and the files.
const QStringList kOtherSections{QStringLiteral("menu"), QStringLiteral("files")};

// What the document holds, gathered in one pass.
struct Document {
    QString error;                      // the parser's complaint, empty when well-formed
    QStringList ids;                    // every id, in order
    QStringList links;                  // every href
    QStringList elements;               // every element name
    QStringList sources;                // every src, data or action attribute
    QString style;                      // the text of the style elements
    QHash<QString, QSet<QString>> keys; // <kbd> texts by section
    QHash<QString, QString> text;       // all text by section
    QString all;                        // all text
};

Document readDocument()
{
    Document doc;
    QFile file(QStringLiteral(VILORKA_HELP_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        doc.error = file.errorString();
        return doc;
    }
    QXmlStreamReader xml(&file);
    QString section;
    QString element;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            element = xml.name().toString();
            doc.elements.append(element);
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString id = attributes.value(QStringLiteral("id")).toString();
            if (!id.isEmpty()) {
                doc.ids.append(id);
                if (kSections.contains(id) || kOtherSections.contains(id))
                    section = id;
            }
            if (attributes.hasAttribute(QStringLiteral("href")))
                doc.links.append(attributes.value(QStringLiteral("href")).toString());
            for (const char* name : {"src", "data", "action"})
                if (attributes.hasAttribute(QLatin1String(name)))
                    doc.sources.append(attributes.value(QLatin1String(name)).toString());
            if (element == QLatin1String("kbd"))
                doc.keys[section].insert(xml.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (xml.isCharacters()) {
            if (element == QLatin1String("style"))
                doc.style += xml.text();
            doc.text[section] += xml.text();
            doc.all += xml.text();
        }
    }
    if (xml.hasError())
        doc.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return doc;
}

const Document& document()
{
    static const Document doc = readDocument();
    return doc;
}

} // namespace

class TestHelpDoc : public QObject {
    Q_OBJECT

private slots:
    void wellFormed()
    {
        QCOMPARE(document().error, QString());
        QCOMPARE(document().elements.value(0), QStringLiteral("html"));
        QVERIFY(document().elements.contains(QStringLiteral("title")));
    }

    void idsAreUnique()
    {
        const QStringList& ids = document().ids;
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
    }

    void sectionAnchors_data()
    {
        QTest::addColumn<QString>("anchor");
        for (const QString& anchor : kSections)
            QTest::newRow(qPrintable(anchor)) << anchor;
    }

    void sectionAnchors()
    {
        QFETCH(QString, anchor);
        QVERIFY(document().ids.contains(anchor));
        QVERIFY2(document().text.value(anchor).size() > 400, "the section has little to say");
    }

    void selfContained()
    {
        for (const QString& link : document().links) {
            QVERIFY2(link.startsWith(QLatin1Char('#')), qPrintable(link));
            QVERIFY2(document().ids.contains(link.mid(1)),
                     qPrintable(link + QStringLiteral(" leads nowhere")));
        }
        QCOMPARE(document().sources, QStringList());
        for (const char* name : {"script", "link", "img", "iframe", "object", "embed"})
            QVERIFY2(!document().elements.contains(QLatin1String(name)), name);
        QVERIFY(!document().style.contains(QStringLiteral("url(")));
        QVERIFY(!document().style.contains(QStringLiteral("@import")));
    }

    void everyCalculatorKeyExplained_data()
    {
        QTest::addColumn<QString>("caption");
        const QStringList captions = QStringLiteral("0 1 2 3 4 5 6 7 8 9 , +\\- Pi С + -- * / = Sqrt Sqr X^y "
                                                    "Fact Ln Log Trunc Rnd Sin Cos tg Cot Sec "
                                                    "Mod Div Xor Or And Not MS MR MC M+ M-")
                                         .split(QLatin1Char(' '));
        for (const QString& caption : captions)
            QTest::newRow(qPrintable(caption)) << caption;
    }

    void everyCalculatorKeyExplained()
    {
        QFETCH(QString, caption);
        QVERIFY(document().keys.value(QStringLiteral("calc")).contains(caption));
    }

    void namesWhatAUserMeets_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("phrase");
        const struct {
            const char *name, *section, *phrase;
        } rows[] = {
            {"marker", "calc", "Нельзя такой операнд"},
            {"angle units", "calc", "Грады"},
            {"variants", "calc", "Hyp"},
            {"settings file", "menu", "CalcConf.ini"},
            {"empty rating input", "elo", "Не введено значение!"},
            {"empty amount", "konvert", "Введите количество исходных единиц"},
            {"loan never repaid", "kredit", "Кредит не будет погашен"},
            {"password list", "parol", "Pass.txt"},
            {"plot files", "grafik", "Текстовые файлы"},
            // What the program does where the obvious guess is wrong.
            {"trigonometry keeps the angle in radians", "calc", "даёт 1,0235987755983"},
            {"factorial of a typed 00 only", "calc", "набранный с клавиатуры «00»"},
            {"rating question as shown", "menu", "в окне «Confirm». «Yes» открывает"},
            {"display face", "menu", "вместо Arial (в Debian — Liberation Sans)"},
            {"shown password until the next tick", "parol", "до следующего\nдобавления пароля в список"},
            {"third place of the help", "files", "затем в папке самой программы"},
            {"help window", "menu", "«Открыть в браузере»"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString::fromLatin1(row.section) << QString::fromUtf8(row.phrase);
    }

    void namesWhatAUserMeets()
    {
        QFETCH(QString, section);
        QFETCH(QString, phrase);
        QVERIFY2(document().text.value(section).contains(phrase), qPrintable(phrase));
    }

    // Each time the text quotes a misspelt caption of the interface, it says the spelling is the
    // program's.
    void misspellingsMarked_data()
    {
        QTest::addColumn<QString>("caption");
        for (const char* caption : {"Длинна", "едениц", "О прграмме", "Величена", "в течении"})
            QTest::newRow(caption) << QString::fromUtf8(caption);
    }

    void misspellingsMarked()
    {
        QFETCH(QString, caption);
        const QString& text = document().all;
        qsizetype at = text.indexOf(caption);
        QVERIFY2(at >= 0, "quoted somewhere");
        for (; at >= 0; at = text.indexOf(caption, at + 1)) {
            const QString after = text.mid(at, caption.size() + 60);
            QVERIFY2(after.contains(QStringLiteral("(так в программе)")), qPrintable(after));
        }
    }

    // A number is written with the ASCII minus, so that it can be copied into the program.
    void numbersCopyable()
    {
        static const QRegularExpression typographicMinus(QStringLiteral("\u2212\\d"));
        const QRegularExpressionMatch found = typographicMinus.match(document().all);
        QVERIFY2(!found.hasMatch(), qPrintable(document().all.mid(found.capturedStart() - 30, 60)));
    }
};

QTEST_APPLESS_MAIN(TestHelpDoc)
#include "tst_helpdoc.moc"
