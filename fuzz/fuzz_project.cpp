// The project reader on any bytes: it loads or refuses, nothing in between. A
// refusal names the file; what loads is a valid project that writes and reads
// back the same.

#include "fuzzcheck.h"

#include "core/failure.h"
#include "core/project.h"
#include "modules/catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = orv::fuzz::bytes(data, size);
    const QString name = QStringLiteral("fuzz.orvanta");
    orv::Project project;
    try {
        project = orv::parseProject(json, orv::catalog::pages(), name);
    } catch (const orv::Failure &failure) {
        FUZZ_CHECK(failure.message().startsWith(QStringLiteral("Cannot open project \"fuzz.orvanta\": ")));
        return 0;
    }
    FUZZ_CHECK(project.metrics.totalWidth == orv::Metrics::forShop(project.metrics.shop).totalWidth);
    for (const orv::ModuleEntry &entry : project.entries) {
        FUZZ_CHECK(entry.number >= 1);
        if (entry.source)
            FUZZ_CHECK(orv::catalog::findPage(entry.source->page) != nullptr);
    }
    FUZZ_CHECK(orv::parseProject(orv::projectJson(project), orv::catalog::pages(), name) == project);
    return 0;
}
