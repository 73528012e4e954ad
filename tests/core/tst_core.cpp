#include "core/failure.h"
#include "core/generation.h"
#include "core/outputbuffer.h"
#include "core/picturemeasurer.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCore : public QObject {
    Q_OBJECT

private slots:
    // One run for both front ends: the outcome, and the page as the generator
    // left it except after a cancel.
    void generation_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        using Outcome = orv::Generation::Outcome;
        QTest::newRow("fragment") << u"fragment"_s << int(Outcome::Fragment) << u"<p>x</p>"_s << u"cleaned"_s;
        QTest::newRow("reminder") << u"reminder"_s << int(Outcome::Reminder) << u"choose"_s << u"cleaned"_s;
        QTest::newRow("failure") << u"failure"_s << int(Outcome::Failure) << u"List index out of bounds (2)"_s
                                 << u"cleaned"_s;
        QTest::newRow("cancelled") << u"cancel"_s << int(Outcome::Cancelled) << QString() << u" raw "_s;
    }
    void generation()
    {
        QFETCH(QString, mode);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        QFETCH(QString, field);
        orv::PageSpec page;
        page.fields = {{u"mode"_s, u"edt1"_s, u"模式"_s}, {u"list"_s, u"mmo1"_s, u"列表"_s}};
        page.generate = [](orv::PageState &state, const orv::Services &) -> orv::Generated {
            state.setField(u"list"_s, u"cleaned"_s);
            state.metrics.imageWidth = 99;
            const QString mode = state.field(u"mode"_s);
            if (mode == u"reminder"_s)
                return {.reminder = u"choose"_s};
            if (mode == u"failure"_s)
                throw orv::Failure::listIndexOutOfBounds(2);
            if (mode == u"cancel"_s)
                throw orv::Cancelled();
            return {u"<p>x</p>"_s};
        };
        orv::PageState state = page.defaultState();
        state.setField(u"mode"_s, mode);
        state.setField(u"list"_s, u" raw "_s);
        const orv::Generation run = orv::generate(page, state, {});
        QCOMPARE(int(run.outcome), outcome);
        QCOMPARE(run.text, text);
        QCOMPARE(run.state.field(u"list"_s), field);
        QCOMPARE(run.state.metrics.imageWidth, field == u"cleaned"_s ? 99 : 0);
    }

    void errorBoxFullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("parenthesis") << u"List index out of bounds (3)"_s << u"List index out of bounds (3)"_s;
        QTest::newRow("letter") << u"'abc' is not a valid integer value"_s << u"'abc' is not a valid integer value."_s;
        QTest::newRow("digit") << u"JPEG error #53"_s << u"JPEG error #53."_s;
        QTest::newRow("chinese") << u"无法读取"_s << u"无法读取."_s;
        QTest::newRow("chinese full stop") << u"请另选一个文件夹。"_s << u"请另选一个文件夹。"_s;
        QTest::newRow("chinese question") << u"要替换吗？"_s << u"要替换吗？"_s;
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

    // Every change is reported, after it is made.
    void bufferReportsChanges()
    {
        orv::OutputBuffer buffer;
        QStringList seen;
        buffer.setChangeHandler([&] { seen.append(buffer.text()); });
        buffer.setText(u"a"_s);
        buffer.appendLine(u"b"_s);
        buffer.setFragment(u"c"_s, {u"tsfengetiao"_s, {}, {}});
        buffer.clear();
        QCOMPARE(seen, (QStringList{u"a"_s, u"a\r\nb"_s, u"c"_s, QString()}));
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
