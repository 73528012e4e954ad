#include "core/failure.h"
#include "core/pipelist.h"

#include <QTest>

using namespace Qt::StringLiterals;
using orv::cleanPipeField;
using orv::pipeItem;
using orv::splitPipeList;

class TestPipeList : public QObject {
    Q_OBJECT

private slots:

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("empty") << u""_s << QStringList{};
        QTest::newRow("blanks only") << u" \t\r\n "_s << QStringList{};
        QTest::newRow("a||b") << u"a||b"_s << QStringList{u"a"_s, u""_s, u"b"_s};
        QTest::newRow("|a") << u"|a"_s << QStringList{u""_s, u"a"_s};
        QTest::newRow("|") << u"|"_s << QStringList{u""_s, u""_s};
        QTest::newRow("||") << u"||"_s << QStringList{u""_s, u""_s, u""_s};
        QTest::newRow("a| ") << u"a| "_s << QStringList{u"a"_s};
        QTest::newRow("a |") << u"a |"_s << QStringList{u"a"_s, u""_s};
        QTest::newRow("a CRLF b") << u"a\r\nb"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("a| CRLF |b") << u"a|\r\n|b"_s << QStringList{u"a"_s, u""_s, u"b"_s};
        QTest::newRow("spaces around |") << u"a | | b"_s << QStringList{u"a"_s, u""_s, u"b"_s};
        QTest::newRow("quoted blank") << u"\"a b\"|c"_s << QStringList{u"a b"_s, u"c"_s};
        QTest::newRow("quoted then run") << u"\"ab\"cd|e"_s << QStringList{u"ab"_s, u"cd"_s, u"e"_s};
        QTest::newRow("inner quote") << u"a\"b|c"_s << QStringList{u"a\"b"_s, u"c"_s};
        QTest::newRow("doubled quote") << u"\"a\"\"b\""_s << QStringList{u"a\"b"_s};
        QTest::newRow("unclosed quote") << u"\"abc"_s << QStringList{u"abc"_s};
        QTest::newRow("unclosed with pair") << u"\"a\"\"b | c"_s << QStringList{u"a\"b | c"_s};
        QTest::newRow("empty quoted") << u"\"\"|x"_s << QStringList{u""_s, u"x"_s};
        QTest::newRow("quoted delimiter") << u"\"a|b\"|"_s << QStringList{u"a|b"_s, u""_s};
        QTest::newRow("heading title") << u"精美细致 完美品质"_s << QStringList{u"精美细致"_s, u"完美品质"_s};
        QTest::newRow("ideographic space is no blank")
            << u"精美\u3000细致|x"_s << QStringList{u"精美\u3000细致"_s, u"x"_s};
        QTest::newRow("control characters are blanks") << u"a\x01\x1f"
                                                          "b"_s
                                                       << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lines with and without |") << u"a|\r\nb|\r\nc"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("blank lines vanish") << u"a|\r\n\r\n\r\nb"_s << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("astral characters") << u"😀|𠀀"_s << QStringList{u"😀"_s, u"𠀀"_s};
    }

    void split()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(splitPipeList(text), items);
    }

    // Outside quotes, splitting only drops blanks and delimiters: the items hold
    // every other character in order.
    void splitKeepsEveryNonBlankCharacter()
    {
        const QString text = u"  图片1.jpg|图片2.jpg  |\r\n  x|y||z w  "_s;
        QString expected;
        for (QChar c : text) {
            if (!orv::isBlank(c) && c != u'|')
                expected += c;
        }
        QCOMPARE(splitPipeList(text).join(QString()), expected);
    }

    void cleanDropsOuterBlanksOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");
        QTest::newRow("trailing line break") << u"10|20|50\r\n"_s << u"10|20|50"_s;
        QTest::newRow("both ends") << u" \r\n a b |c \t"_s << u"a b |c"_s;
        QTest::newRow("blanks only") << u"  \r\n\r\n  "_s << u""_s;
        QTest::newRow("nothing to do") << u"x"_s << u"x"_s;
        QTest::newRow("ideographic space stays") << u"\u3000x\u3000"_s << u"\u3000x\u3000"_s;
    }

    void cleanDropsOuterBlanksOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, cleaned);
        cleanPipeField(text);
        QCOMPARE(text, cleaned);
    }

    void cleanedFieldsYieldTheirDocumentedItems_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("two lines ending in |") << u"a|\r\nb|\r\n"_s << QStringList{u"a"_s, u"b"_s, u""_s};
        QTest::newRow("last line without |") << u"a|\r\nb\r\n"_s << QStringList{u"a"_s, u"b"_s};
    }

    void cleanedFieldsYieldTheirDocumentedItems()
    {
        QFETCH(QString, field);
        QFETCH(QStringList, items);
        cleanPipeField(field);
        QCOMPARE(splitPipeList(field), items);
    }

    void itemOutOfBoundsNamesTheIndex()
    {
        const QStringList items = splitPipeList(u"10|20|50"_s);
        QCOMPARE(pipeItem(items, 2), u"50"_s);
        const auto messageFor = [&](qsizetype index) {
            try {
                pipeItem(items, index);
            } catch (const orv::Failure &f) {
                return f.message();
            }
            return QString();
        };
        QCOMPARE(messageFor(3), u"List index out of bounds (3)"_s);
        QCOMPARE(messageFor(-1), u"List index out of bounds (-1)"_s);
        QVERIFY_THROWS_EXCEPTION(orv::Failure, pipeItem(QStringList{}, 0));
    }

    void longListSplitsCompletely()
    {
        QString text;
        constexpr int count = 100000;
        for (int i = 0; i < count; ++i)
            text += u"https://img.example/p"_s + QString::number(i) + u".jpg|\r\n"_s;
        cleanPipeField(text);
        const QStringList items = splitPipeList(text);
        QCOMPARE(items.size(), count + 1);
        QCOMPARE(items.at(count - 1), u"https://img.example/p99999.jpg"_s);
        QVERIFY(items.last().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPipeList)
#include "tst_pipelist.moc"
