#include "modules/product/parameters/parameters.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

class TstParameters : public QObject {
    Q_OBJECT

private slots:
    void defaults_data() { test::addDefaultsRows(); }
    void defaults()
    {
        QFETCH(Shop, shop);
        PageState state = test::stateWith(parameters::pageSpec(), shop);
        QVERIFY(state.field(u"picture"_s).startsWith(u"https://"_s));
        ORV_COMPARE_GOLDEN(parameters::generate(state, {}).fragment, test::goldenCase(u"modules/parameters"_s));
    }

    // Lines as the memo shows them: a final line break adds none, inner empty
    // lines count, and a service's wrapped lines each get their own "<br>".
    void lines_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<bool>("wrapAtFour");
        QTest::newRow("lines-empty") << QString() << false;
        QTest::newRow("lines-final-break") << u"a\r\n"_s << false;
        QTest::newRow("lines-inner-empty") << u"a\r\n\r\nb"_s << false;
        QTest::newRow("lines-pipe-and-blanks") << u" x|y "_s << false;
        QTest::newRow("lines-wrapped") << u"abcdefghij\r\nxy"_s << true;
    }
    void lines()
    {
        QFETCH(QString, memo);
        QFETCH(bool, wrapAtFour);
        PageState state
            = test::stateWith(parameters::pageSpec(), Shop::Taobao, {{u"parameters"_s, memo}, {u"picture"_s, {}}});
        Services services;
        if (wrapAtFour) {
            services.displayedLines = [](const QString &key, const QString &text) {
                QStringList parts;
                if (key != u"parameters"_s)
                    return parts;
                for (const QString &line : text.split(u"\r\n"_s))
                    for (qsizetype i = 0; i < line.size(); i += 4)
                        parts.append(line.mid(i, 4));
                return parts;
            };
        }
        ORV_COMPARE_GOLDEN(parameters::generate(state, services).fragment, test::goldenCase(u"modules/parameters"_s));
    }
};

QTEST_GUILESS_MAIN(TstParameters)
#include "tst_parameters.moc"
