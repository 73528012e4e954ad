// The project and block readers on any bytes: each loads or refuses, nothing
// in between. A refusal names the file; what loads is a valid project or
// block that writes and reads back the same.

#include "fuzzcheck.h"

#include "core/block.h"
#include "core/failure.h"
#include "core/project.h"
#include "modules/catalog.h"

namespace {

void checkEntries(const QList<orv::ModuleEntry> &entries)
{
    for (const orv::ModuleEntry &entry : entries) {
        FUZZ_CHECK(entry.number >= 1);
        if (entry.source)
            FUZZ_CHECK(orv::catalog::findPage(entry.source->page) != nullptr);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = orv::fuzz::bytes(data, size);
    const QString name = QStringLiteral("fuzz.orvanta");
    try {
        const orv::Project project = orv::parseProject(json, orv::catalog::pages(), name);
        FUZZ_CHECK(project.metrics.totalWidth == orv::Metrics::forShop(project.metrics.shop).totalWidth);
        checkEntries(project.entries);
        FUZZ_CHECK(orv::parseProject(orv::projectJson(project), orv::catalog::pages(), name) == project);
    } catch (const orv::Failure &failure) {
        FUZZ_CHECK(failure.message().startsWith(QStringLiteral("Cannot open project \"fuzz.orvanta\": ")));
    }
    try {
        const orv::Block block = orv::parseBlock(json, orv::catalog::pages(), name);
        FUZZ_CHECK(!block.entries.isEmpty() && orv::blockNameProblem(block.name).isEmpty());
        checkEntries(block.entries);
        FUZZ_CHECK(orv::parseBlock(orv::blockJson(block), orv::catalog::pages(), name) == block);
    } catch (const orv::Failure &failure) {
        FUZZ_CHECK(failure.message().startsWith(QStringLiteral("Cannot open block \"fuzz.orvanta\": ")));
    }
    return 0;
}
