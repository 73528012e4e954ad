#include "picturecheck.h"

#include "core/check/addresses.h"
#include "core/check/findinglist.h"
#include "core/check/htmlparser.h"

#include <QSet>

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// Why a fetched picture cannot be used, for the picture-format message.
QString formatProblem(const PictureHeader &header)
{
    switch (header.format) {
    case PictureFormat::Unsupported:
        return u"不是 JPEG、PNG、GIF、BMP 或 WebP"_s;
    case PictureFormat::Unknown:
        return u"数据太少，无法识别格式"_s;
    default:
        return pictureFormatName(header.format) + u" 文件头无法读取："_s + header.failure;
    }
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 1) + u" MB"_s;
}

} // namespace

QList<PictureUse> listPictures(const QString &html, int pageWidth, const QList<CheckSegment> &segments)
{
    const SourceText source(html);
    const FindingList places(source, pageWidth, segments);
    const HtmlDocument document = parseHtml(source);
    QList<PictureUse> uses;
    for (const HtmlElement &element : document.elements) {
        for (const PageAddress &address : elementAddresses(element)) {
            if (address.role != AddressRole::Picture)
                continue;
            PictureUse use;
            use.address = cleanAddress(address.address);
            const QString scheme = addressScheme(use.address);
            if (scheme == u"data"_s || scheme == u"javascript"_s || scheme == u"vbscript"_s)
                continue;
            use.url = use.address.startsWith(u"//"_s) ? u"https:"_s + use.address : use.address;
            use.offset = address.offset;
            const TextPosition at = places.position(use.offset);
            use.line = at.line;
            use.column = at.column;
            use.pageWidth = places.pageWidthAt(use.offset);
            if (const CheckSegment *segment = places.segmentAt(use.offset)) {
                use.entry = segment->number;
                use.entryName = segment->name;
            }
            uses.append(use);
        }
    }
    return uses;
}

QStringList pictureUrls(const QList<PictureUse> &uses)
{
    QStringList urls;
    QSet<QString> seen;
    for (const PictureUse &use : uses) {
        if (!seen.contains(use.url)) {
            seen.insert(use.url);
            urls.append(use.url);
        }
    }
    return urls;
}

QList<Finding> checkPictures(const QList<PictureUse> &uses, const QHash<QString, PictureFacts> &facts)
{
    QList<Finding> findings;
    const auto add = [&findings](const PictureUse &use, FindingKind kind, const QStringList &arguments) {
        Finding f = makeFinding(kind, arguments);
        f.offset = use.offset;
        f.line = use.line;
        f.column = use.column;
        f.entry = use.entry;
        f.entryName = use.entryName;
        findings.append(f);
    };
    for (const PictureUse &use : uses) {
        const auto found = facts.constFind(use.url);
        if (found == facts.cend())
            continue;
        const PictureFacts &picture = *found;
        const QString shown = shownAddress(use.address);
        if (!picture.failure.isEmpty()) {
            // The reason names the address: cut short as everywhere in messages.
            QString failure = picture.failure;
            if (!use.url.isEmpty())
                failure.replace(use.url, shownAddress(use.url));
            add(use, FindingKind::PictureDead, {failure});
            continue;
        }
        const PictureHeader &header = picture.header;
        if (!header.measured() || header.format == PictureFormat::Unknown
            || header.format == PictureFormat::Unsupported) {
            add(use, FindingKind::PictureFormat, {shown, formatProblem(header)});
            continue;
        }
        if (header.width > use.pageWidth)
            add(use, FindingKind::PictureWide, {QString::number(header.width), QString::number(use.pageWidth), shown});
        QStringList unfit;
        if (header.width < CheckLimits::mobileMinWidth || header.width > CheckLimits::mobileMaxWidth)
            unfit.append(u"宽 %1 像素"_s.arg(header.width));
        if (header.height > CheckLimits::mobileMaxHeight)
            unfit.append(u"高 %1 像素"_s.arg(header.height));
        if (picture.byteSize > CheckLimits::mobileMaxBytes)
            unfit.append(megabytes(picture.byteSize));
        if (!unfit.isEmpty())
            add(use, FindingKind::MobileFit, {unfit.join(u"，"_s), shown});
    }
    return findings;
}

PictureFacts factsOf(const QString &url, const MeasuredPicture &outcome)
{
    PictureFacts facts;
    if (!outcome.fetched) {
        facts.failure = outcome.failure.isEmpty() ? cannotDownload(url, u"The picture was not fetched"_s).message()
                                                  : outcome.failure;
        return facts;
    }
    facts.header = outcome.header;
    facts.byteSize = outcome.byteSize;
    return facts;
}

QList<Finding> measureAndCheckPictures(const QList<PictureUse> &uses, PictureMeasurer &measurer,
                                       const PictureMeasurer::Progress &progress, const std::atomic_bool *cancel)
{
    const QStringList urls = pictureUrls(uses);
    if (urls.isEmpty())
        return {};
    const QList<MeasuredPicture> outcomes = measurer.measureAll(urls, progress, cancel);
    QHash<QString, PictureFacts> facts;
    for (qsizetype i = 0; i < urls.size() && i < outcomes.size(); ++i)
        facts.insert(urls.at(i), factsOf(urls.at(i), outcomes.at(i)));
    return checkPictures(uses, facts);
}

} // namespace orv::check
