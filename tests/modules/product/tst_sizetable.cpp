#include "modules/product/sizetable/sizetable.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

class TstSizeTable : public QObject {
    Q_OBJECT

private slots:
    // The chart: 54 lines each ended by CR LF, one tab, no trailing blank.
    void chart()
    {
        const QString text = sizetable::sizeTable();
        ORV_COMPARE_GOLDEN(text, u"modules/sizetable/chart.html"_s);
        QCOMPARE(text.count(u"\r\n"_s), 54);
        QCOMPARE(text.count(u'\n'), 54);
        QCOMPARE(text.count(u'\r'), 54);
        QCOMPARE(text.count(u'\t'), 1);
        for (const QString &line : text.split(u"\r\n"_s))
            QVERIFY2(!line.endsWith(u' '), qPrintable(line));
    }

    // The same chart at both widths, with or without a style.
    void fragmentIsTheChart()
    {
        PageState narrow = test::stateWith(sizetable::pageSpec(), Shop::Taobao);
        PageState wide = test::stateWith(sizetable::pageSpec(), Shop::Tmall, {{u"style"_s, u"-1"_s}});
        QCOMPARE(sizetable::generate(narrow, {}).fragment, sizetable::sizeTable());
        QCOMPARE(sizetable::generate(wide, {}).fragment, sizetable::sizeTable());
    }
};

QTEST_GUILESS_MAIN(TstSizeTable)
#include "tst_sizetable.moc"
