#include "modules/catalog.h"

#include <QFile>
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

    // src/modules/README.md describes every page and field as the
    // descriptions have them: its glossary row (page id, caption, group) and
    // its field table (key, component, caption, kind), in order.
    void readmeFollowsTheDescriptions()
    {
        QFile file(QStringLiteral(ORVANTA_SOURCE_DIR "/src/modules/README.md"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString readme = QString::fromUtf8(file.readAll());
        const QRegularExpression glossaryRow(u"^\\| `[a-z]+/[a-z]+` \\| `(\\w+)` \\| ([^|]+) \\| ([^|]+) \\|"_s);
        const QRegularExpression section(u"^### \\w+ \\(`(\\w+)`, ([^)]+)\\)$"_s);
        const QRegularExpression fieldRow(u"^\\| `(\\w+)` \\| `(\\w+)` \\| (.+) \\| (\\w+) \\|$"_s);
        QHash<QString, QStringList> glossary; // page id: caption, group
        QHash<QString, QStringList> fields;   // page id: one "key component caption kind" per field
        QString current;
        for (const QString &line : readme.split(u'\n')) {
            if (const auto m = glossaryRow.match(line); m.hasMatch()) {
                glossary.insert(m.captured(1), {m.captured(2), m.captured(3)});
            } else if (const auto m = section.match(line); m.hasMatch()) {
                current = m.captured(1);
                fields.insert(current, {m.captured(2)});
            } else if (const auto m = fieldRow.match(line); m.hasMatch() && !current.isEmpty()) {
                fields[current].append(m.capturedTexts().mid(1).join(u' '));
            }
        }
        for (const catalog::Group &group : catalog::groups()) {
            for (const PageSpec *page : group.pages) {
                QCOMPARE(glossary.value(page->id), (QStringList{page->moduleName, group.heading}));
                QStringList described{page->moduleName};
                for (const FieldSpec &f : page->fields) {
                    const QString caption = QString(f.label).replace(u"|"_s, u"&#124;"_s);
                    described.append(QStringList{f.key, f.name, caption, fieldKindName(f.kind)}.join(u' '));
                }
                QCOMPARE(fields.value(page->id), described);
            }
        }
        QCOMPARE(glossary.size(), catalog::pages().size());
        QCOMPARE(fields.size(), catalog::pages().size());
    }
};

QTEST_GUILESS_MAIN(TstCatalog)
#include "tst_catalog.moc"
