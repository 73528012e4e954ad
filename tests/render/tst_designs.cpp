// The starter designs: each reads as a project, its stored codes are what its
// fields make with its shared values, it builds and checks with no error in
// either shop, its colours are shared values, and it renders. With
// ORVANTA_UPDATE_GOLDEN=1 the designs' codes and preview pictures are made
// again (src/modules/designs/), to review in the diff.

#include "cli/cli.h"
#include "core/check/pagecheck.h"
#include "core/colours.h"
#include "core/linelist.h"
#include "core/regenerate.h"
#include "modules/catalog.h"
#include "modules/designs/designs.h"
#include "modules/pagewidth.h"
#include "render/pagerenderer.h"
#include "render/thumbnail.h"
#include "support/files.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv;

namespace {

bool updating()
{
    return qEnvironmentVariableIntValue("ORVANTA_UPDATE_GOLDEN") == 1;
}

void writeSource(const QString &name, const QByteArray &bytes)
{
    QSaveFile file(QStringLiteral(ORVANTA_DESIGNS_DIR) + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

} // namespace

class TstDesigns : public QObject {
    Q_OBJECT

private slots:
    void designs_data()
    {
        QTest::addColumn<QString>("id");
        for (const designs::Design &design : designs::all())
            QTest::newRow(qPrintable(design.id)) << design.id;
        QVERIFY(designs::all().size() >= 4);
    }
    void designs()
    {
        QFETCH(QString, id);
        const designs::Design &design = *designs::find(id);
        QVERIFY(!design.title.isEmpty() && !design.description.isEmpty());
        const Project project = design.project();

        // Its look is its shared values: every colour not bound is the white
        // of text on the main colour, and every value is used.
        for (const ColourUse &use : coloursInUse(project, catalog::pages()))
            QCOMPARE(use.colour, u"#FFFFFF"_s);
        const QStringList used = slotNames(project.entries);
        for (const QString &name : {u"主色"_s, u"店铺名称"_s})
            QVERIFY2(used.contains(name), qPrintable(name));
        for (const SharedValue &value : project.values)
            QVERIFY2(used.contains(value.name), qPrintable(value.name));

        Services services;
        services.displayedLines = [](const QString &, const QString &text) { return splitLines(text); };
        const ProjectChange made = regenerateProject(project, std::nullopt, catalog::pages(), services);
        QCOMPARE(made.failures, QStringList());
        if (updating())
            writeSource(id + u".orvanta"_s, projectJson(made.project));
        else
            QVERIFY2(made.project == project, "stale codes: ORVANTA_UPDATE_GOLDEN=1 makes them again");

        QTemporaryDir dir;
        const QString path = dir.filePath(u"design.orvanta"_s);
        test::writeFile(path, design.projectBytes());
        for (const Shop shop : {Shop::Taobao, Shop::Tmall}) {
            const cli::Result built = cli::run({u"build"_s, path, u"--regenerate"_s, u"--shop"_s, shopName(shop)});
            QCOMPARE(built.err, QByteArray());
            QCOMPARE(built.exitCode, int(cli::Success));
            for (const check::Finding &finding :
                 check::checkPage(QString::fromUtf8(built.out), Metrics::forShop(shop).totalWidth)) {
                QVERIFY2(finding.severity != check::Severity::Error,
                         qPrintable(u"%1 %2: %3"_s.arg(shopName(shop), finding.rule, finding.message)));
            }
        }

        const QList<ModuleEntry> &entries = made.project.entries;
        const int width = pagewidth::summaryWidth(entries, project.metrics.totalWidth);
        const QByteArray png
            = render::thumbnailPng(pageCodes(entries, slotValues(project.values), SlotMode::Strict), width);
        const QImage drawn = QImage::fromData(png, "PNG");
        QCOMPARE(drawn.width(), 240);
        QCOMPARE(drawn.height(), 360);
        // Not one colour: the page drew.
        QVERIFY(drawn.pixel(120, 10) != drawn.pixel(120, 350) || drawn.pixel(5, 5) != drawn.pixel(235, 200));
        if (updating())
            writeSource(id + u".png"_s, png);
        const QImage shipped = QImage::fromData(design.preview(), "PNG");
        QCOMPARE(shipped.size(), drawn.size());
    }
};

int main(int argc, char *argv[])
{
    render::prepareRenderProcess(true);
    QGuiApplication app(argc, argv);
    TstDesigns test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_designs.moc"
