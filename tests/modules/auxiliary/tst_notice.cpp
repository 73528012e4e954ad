#include "modules/auxiliary/notice/notice.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

class TstNotice : public QObject {
    Q_OBJECT

private slots:
    void notice()
    {
        const QString text = notice::buyerNotice();
        QCOMPARE(text.count(u"\r\n"_s), 35);
        QCOMPARE(text.count(u'\n'), 35);
        QCOMPARE(text.count(u'\r'), 35);
        QCOMPARE(text.count(u"#666666"_s), 8);
        PageState state = test::stateWith(notice::pageSpec(), Shop::Tmall);
        ORV_COMPARE_GOLDEN(notice::generate(state, {}).fragment, u"modules/notice/defaults.html"_s);
    }

    // Every "#666666" of the notice becomes the colour, left to right, never
    // replaced again inside an inserted colour; the width stays 750.
    void colour_data()
    {
        QTest::addColumn<QString>("colour");
        QTest::newRow("same colour") << u"#666666"_s;
        QTest::newRow("holding the colour") << u"x#666666y"_s;
        QTest::newRow("colour twice") << u"#666666#666666"_s;
        QTest::newRow("name") << u"red"_s;
        QTest::newRow("empty") << QString();
    }
    void colour()
    {
        QFETCH(QString, colour);
        for (Shop shop : {Shop::Taobao, Shop::Tmall}) {
            PageState state = test::stateWith(notice::pageSpec(), shop, {{u"label_colour"_s, colour}});
            const QString html = notice::generate(state, {}).fragment;
            QString expected = u"<div style=\"width:750px;\">"_s;
            for (const QString &part : notice::buyerNotice().split(u"#666666"_s))
                expected += part + colour;
            expected.chop(colour.size());
            expected += u"</div>"_s;
            QCOMPARE(html, expected);
            QCOMPARE(html.count(u"background-color:"_s + colour + u';'), 8);
        }
    }
};

QTEST_GUILESS_MAIN(TstNotice)
#include "tst_notice.moc"
