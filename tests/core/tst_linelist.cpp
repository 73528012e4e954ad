#include "core/linelist.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLineList : public QObject {
    Q_OBJECT

private slots:

    void splitLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << u""_s << QStringList{};
        QTest::newRow("no break") << u"A"_s << QStringList{u"A"_s};
        QTest::newRow("final break adds no line") << u"A\r\n"_s << QStringList{u"A"_s};
        QTest::newRow("crlf") << u"A\r\nB\r\n"_s << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("lone cr and lf") << u"A\rB\nC"_s << QStringList{u"A"_s, u"B"_s, u"C"_s};
        QTest::newRow("two breaks enclose an empty line") << u"A\r\n\r\nB"_s << QStringList{u"A"_s, u""_s, u"B"_s};
        QTest::newRow("lf cr is two breaks") << u"A\n\rB"_s << QStringList{u"A"_s, u""_s, u"B"_s};
        QTest::newRow("break only") << u"\r\n"_s << QStringList{u""_s};
        QTest::newRow("cjk") << u"参数：一\n参数：二"_s << QStringList{u"参数：一"_s, u"参数：二"_s};
    }

    void splitLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(orv::splitLines(text), lines);
    }

    void joinLines()
    {
        QCOMPARE(orv::joinLines({}), QString());
        QCOMPARE(orv::joinLines({u"L"_s}), u"L\r\n"_s);
        QCOMPARE(orv::joinLines({u"A"_s, u""_s, u"B"_s}), u"A\r\n\r\nB\r\n"_s);
    }

    void joinOfSplitNormalisesBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("joined");
        QTest::newRow("bare lf, no final break") << u"<p>\n</p>"_s << u"<p>\r\n</p>\r\n"_s;
        QTest::newRow("mixed") << u"a\rb\nc\r\n\n"_s << u"a\r\nb\r\nc\r\n\r\n"_s;
    }

    void joinOfSplitNormalisesBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QString, joined);
        QCOMPARE(orv::joinLines(orv::splitLines(text)), joined);
    }

    // Multi-line fields hold CR LF texts; Qt's plain-text widgets hold LF texts.
    void fieldBoundaryConversion()
    {
        const QString typed = u"a\nb\r\nc\rd\n"_s;
        QCOMPARE(orv::toCrLf(typed), u"a\r\nb\r\nc\r\nd\r\n"_s);
        QCOMPARE(orv::toLf(typed), u"a\nb\nc\nd\n"_s);
        QCOMPARE(orv::toCrLf(orv::toLf(u"x\r\n\r\ny"_s)), u"x\r\n\r\ny"_s);
        QCOMPARE(orv::toCrLf(u"no break"_s), u"no break"_s);

        QString big;
        for (int i = 0; i < 200000; ++i)
            big += u"line\n"_s;
        const QString converted = orv::toCrLf(big);
        QCOMPARE(converted.size(), big.size() + 200000);
        QVERIFY(converted.endsWith(u"line\r\n"_s));
    }
};

QTEST_GUILESS_MAIN(TestLineList)
#include "tst_linelist.moc"
