#include "core/failure.h"
#include "core/outputbuffer.h"
#include "core/pages.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCore : public QObject {
    Q_OBJECT

private slots:
    void everyPageIsDescribedOnce()
    {
        const auto &pages = orv::modulePages();
        QCOMPARE(pages.size(), 11);
        QSet<QString> names;
        for (const orv::PageSpec *page : pages) {
            QVERIFY(!names.contains(page->name));
            names.insert(page->name);
            QCOMPARE(orv::findPage(page->name), page);
            QSet<QString> fields;
            for (const orv::FieldSpec &f : page->fields) {
                QVERIFY2(!fields.contains(f.name), qPrintable(f.name));
                fields.insert(f.name);
            }
        }
        QCOMPARE(orv::findPage(u"nope"_s), nullptr);
    }

    void errorBoxFullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("parenthesis") << u"List index out of bounds (3)"_s << u"List index out of bounds (3)"_s;
        QTest::newRow("letter") << u"'abc' is not a valid integer value"_s << u"'abc' is not a valid integer value."_s;
        QTest::newRow("digit") << u"JPEG error #53"_s << u"JPEG error #53."_s;
        QTest::newRow("chinese") << u"无法读取"_s << u"无法读取."_s;
        QTest::newRow("exclamation") << u"done!"_s << u"done!"_s;
        QTest::newRow("full stop") << u"done."_s << u"done."_s;
        QTest::newRow("blank") << u"reason "_s << u"reason "_s;
        QTest::newRow("empty") << u""_s << u""_s;
    }

    void errorBoxFullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(orv::errorBoxText(message), shown);
    }

    void integerConversion()
    {
        QCOMPARE(orv::toInteger(u"5"_s), 5);
        QCOMPARE(orv::toInteger(u"-3"_s), -3);
        QCOMPARE(orv::toInteger(u"0"_s), 0);
        for (const QString &bad : {u"abc"_s, u""_s, u"5x"_s, u"1.5"_s, u"99999999999"_s}) {
            try {
                orv::toInteger(bad);
                QFAIL(qPrintable(bad));
            } catch (const orv::Failure &f) {
                QCOMPARE(f.message(), u"'%1' is not a valid integer value"_s.arg(bad));
            }
        }
    }

    void appendLine()
    {
        orv::OutputBuffer buffer;
        buffer.appendLine(u"A"_s);
        buffer.appendLine(QString());
        buffer.appendLine(u"B"_s);
        QCOMPARE(buffer.text(), u"A\r\n\r\nB\r\n"_s);

        buffer.setText(u"no break"_s);
        buffer.appendLine(u"C"_s);
        QCOMPARE(buffer.text(), u"no break\r\nC"_s);
        buffer.clear();
        QVERIFY(buffer.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
