#include "modules/auxiliary/customhtml/customhtml.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

class TstCustomHtml : public QObject {
    Q_OBJECT

private slots:
    // The user's code as typed in a table 750 wide, whatever the shop; the
    // fragment is not previewed.
    void fragments_data()
    {
        QTest::addColumn<QString>("html");
        QTest::newRow("empty") << QString();
        QTest::newRow("code") << u"<p>a & b\r\n<div>\r\n"_s;
    }
    void fragments()
    {
        QFETCH(QString, html);
        PageState state = test::stateWith(customhtml::pageSpec(), Shop::Tmall);
        QCOMPARE(state.field(u"html"_s), QString());
        state.setField(u"html"_s, html);
        const Generated result = customhtml::generate(state, {});
        ORV_COMPARE_GOLDEN(result.fragment, test::goldenCase(u"modules/customhtml"_s));
        QVERIFY(!result.preview);
    }
};

QTEST_GUILESS_MAIN(TstCustomHtml)
#include "tst_customhtml.moc"
