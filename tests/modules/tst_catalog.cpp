#include "modules/catalog.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

// The list of modules is the public vocabulary: page ids, component names and
// field keys are unique where they are looked up.
class TstCatalog : public QObject {
    Q_OBJECT

private slots:
    void navigationOrder()
    {
        QStringList ids;
        for (const catalog::Group &group : catalog::groups())
            for (const PageSpec *page : group.pages)
                ids << page->id;
        QCOMPARE(ids, (QStringList{u"tsguanlian"_s, u"tsfengetiao"_s, u"tsyouhuiquan"_s, u"tsdapei"_s, u"tscanshu"_s,
                                   u"tschima"_s, u"tszhanshi"_s, u"tsxijie"_s, u"tsyangshi"_s, u"tsjiaoliu"_s,
                                   u"tszidingyi"_s}));
        QCOMPARE(catalog::pages().size(), ids.size());
    }

    void everyPageIsDescribedOnce()
    {
        const QRegularExpression keyPattern(u"^[a-z][a-z0-9_]*$"_s);
        QSet<QString> ids;
        QSet<QString> componentNames;
        for (const PageSpec *page : catalog::pages()) {
            QVERIFY(!ids.contains(page->id));
            ids.insert(page->id);
            QCOMPARE(catalog::findPage(page->id), page);
            QVERIFY(page->generate);
            QVERIFY(page->form.startsWith(u":/forms/"_s));
            QSet<QString> keys;
            for (const FieldSpec &f : page->fields) {
                QVERIFY2(keyPattern.match(f.key).hasMatch(), qPrintable(f.key));
                QVERIFY2(!keys.contains(f.key), qPrintable(f.key));
                QVERIFY2(!componentNames.contains(f.name), qPrintable(f.name));
                QVERIFY(!f.label.isEmpty());
                keys.insert(f.key);
                componentNames.insert(f.name);
            }
            // A key never names another field of the page by its component name.
            for (const FieldSpec &f : page->fields)
                QCOMPARE(page->fieldByKeyOrName(f.key), &f);
        }
        QCOMPARE(catalog::findPage(u"nope"_s), nullptr);
    }
};

QTEST_GUILESS_MAIN(TstCatalog)
#include "tst_catalog.moc"
