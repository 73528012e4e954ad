// The page check on any text (any bytes read as UTF-8): never a crash, a hang
// or a leak. Every finding, element, problem and picture stands inside the
// text; a finding's line and column agree with its offset; findings come in
// order and name the entry whose segment holds them.

#include "fuzzcheck.h"

#include "core/check/htmlparser.h"
#include "core/check/pagecheck.h"
#include "core/check/picturecheck.h"

#include <vector>

namespace {

// Line and column of every offset, counted the plain way.
struct Positions {
    std::vector<int> line, column;

    explicit Positions(const QString &text)
    {
        int l = 1, c = 1;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            line.push_back(l);
            column.push_back(c);
            if (i == text.size())
                break;
            const bool lineBreak
                = text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
            if (lineBreak) {
                ++l;
                c = 1;
            } else {
                ++c;
            }
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = orv::fuzz::text(data, size);
    const qsizetype n = html.size();
    const int pageWidth = size % 2 ? 790 : 750;
    // Two entries over the first two thirds; the rest belongs to none.
    const QList<orv::check::CheckSegment> segments{{0, n / 3, 1, QStringLiteral("a"), 790},
                                                   {n / 3, 2 * n / 3, 2, QStringLiteral("b"), 750}};
    const Positions positions(html);
    const auto entryAt = [&](qsizetype offset) { return offset < n / 3 ? 1 : offset < 2 * n / 3 ? 2 : 0; };

    const QList<orv::check::Finding> findings = orv::check::checkPage(html, pageWidth, segments);
    qsizetype previous = 0;
    for (const orv::check::Finding &f : findings) {
        FUZZ_CHECK(f.offset >= 0 && f.offset <= n);
        FUZZ_CHECK(f.offset >= previous);
        previous = f.offset;
        FUZZ_CHECK(f.line == positions.line[size_t(f.offset)]);
        FUZZ_CHECK(f.column == positions.column[size_t(f.offset)]);
        FUZZ_CHECK(f.entry == entryAt(f.offset));
        // Every placeholder of the rule's message and hint was filled in:
        // makeFinding() asserts it (this target is built with assertions),
        // since the text itself may hold "%1" where it quotes the page.
        FUZZ_CHECK(!f.rule.isEmpty() && !f.message.isEmpty() && !f.hint.isEmpty());
    }

    const orv::check::SourceText source(html);
    const orv::check::HtmlDocument document = orv::check::parseHtml(source);
    for (qsizetype i = 0; i < document.elements.size(); ++i) {
        const orv::check::HtmlElement &e = document.elements[i];
        FUZZ_CHECK(e.offset >= 0 && e.offset < e.end && e.end <= n);
        FUZZ_CHECK(e.parent < i);
        FUZZ_CHECK(html[e.offset] == u'<');
        for (const orv::check::HtmlAttribute &a : e.attributes) {
            FUZZ_CHECK(a.nameOffset > e.offset && a.nameOffset + a.name.size() <= e.end);
            FUZZ_CHECK(a.valueOffset >= a.nameOffset && a.valueOffset + a.valueLength <= n);
            for (qsizetype k = 0; k <= a.value.size(); ++k)
                FUZZ_CHECK(a.offsetInValue(k) >= a.valueOffset && a.offsetInValue(k) <= a.valueOffset + a.valueLength);
        }
    }
    for (const orv::check::HtmlProblem &p : document.problems)
        FUZZ_CHECK(p.offset >= 0 && p.offset <= n);

    for (const orv::check::PictureUse &use : orv::check::listPictures(html, pageWidth, segments)) {
        FUZZ_CHECK(use.offset >= 0 && use.offset <= n);
        FUZZ_CHECK(use.line == positions.line[size_t(use.offset)]
                   && use.column == positions.column[size_t(use.offset)]);
        FUZZ_CHECK(use.entry == entryAt(use.offset));
    }
    return 0;
}
