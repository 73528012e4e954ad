#include "modules/auxiliary/heading/heading.h"
#include "support/generated.h"
#include "support/golden.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

class TstHeading : public QObject {
    Q_OBJECT

private slots:
    void defaults_data() { test::addDefaultsRows(); }
    void defaults()
    {
        QFETCH(Shop, shop);
        PageState state = test::stateWith(heading::pageSpec(), shop);
        const QString fragment = heading::generate(state, {}).fragment;
        ORV_COMPARE_GOLDEN(fragment, test::goldenCase(u"modules/heading"_s));
        // The style choice is not read.
        state.setField(u"style"_s, u"-1"_s);
        QCOMPARE(heading::generate(state, {}).fragment, fragment);
    }
};

QTEST_GUILESS_MAIN(TstHeading)
#include "tst_heading.moc"
