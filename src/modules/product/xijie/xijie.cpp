#include "xijie.h"

#include "app/text/linelist.h"
#include "app/text/pipelist.h"
#include "core/failure.h"
#include "core/imagefetcher.h"
#include "core/jpegheader.h"
#include "core/picturemeasurer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace orv::xijie {

using namespace Qt::StringLiterals;

namespace {

const QString sampleTitle = u"高品质面料说明"_s;
const QString sampleCaption = u"2016单鞋春款时尚蛋卷鞋浅口新品真皮豆豆鞋平底软底串珠水钻女鞋"_s;
const QString samplePicture = u"https://img.alicdn.com/imgextra/i1/orvanta/xijie-sample.jpg"_s;

// Five lines of one text, the first four followed by "|", each line ended by
// CR LF as multi-line fields hold them.
QString fiveLines(const QString &line)
{
    QStringList lines(5, line + u'|');
    lines.last() = line;
    return JoinLines(lines);
}

// Fetches a picture into the private folder and reads its natural height.
// The previous picture file goes first, so that a failed fetch can never
// leave an older picture to be measured.
int fetchedHeight(const QString &address, const Services &services)
{
    const QString path = QDir(services.privateDir).filePath(pictureFileName());
    QFile previous(path);
    if (previous.exists() && !previous.remove())
        throw Failure::cannotCreateFile(QFileInfo(path).absoluteFilePath(), previous.errorString());
    if (!services.fetcher)
        throw cannotDownload(address, u"Fetching is not available"_s);
    QString reason;
    if (!services.fetcher->DownloadUrlToFile(address, path, &reason))
        throw cannotDownload(address, reason);
    return jpegFileSize(path).height();
}

// With a measurer, every picture the generation can reach is fetched and
// measured at once before the first is used. A picture is reached when it has
// an address and every picture before it has a title and a caption; whether
// an earlier fetch fails is not known yet, so its later pictures are fetched
// all the same and their outcomes go unused.
std::optional<QList<MeasuredPicture>> measureAhead(const QStringList &titles, const QStringList &captions,
                                                   const QStringList &addresses, int count,
                                                   const Services &services)
{
    if (!services.measurer || count <= 0)
        return std::nullopt;
    const qsizetype reach = std::min({qsizetype(count), addresses.size(), titles.size() + 1, captions.size() + 1});
    return services.measurer->measureAll(addresses.first(reach));
}

// The height of picture i, from the batch when there is one, else fetched now;
// a failed picture fails here, in picture order.
int pictureHeight(const std::optional<QList<MeasuredPicture>> &batch, qsizetype i, const QString &address,
                  const Services &services)
{
    if (!batch)
        return fetchedHeight(address, services);
    const MeasuredPicture &picture = batch->at(i);
    if (!picture.measured())
        throw Failure(picture.failure);
    return picture.height;
}

QString listPicture(const QString &width, const QString &address, const QString &titleColour,
                    const QString &title, const QString &captionColour, const QString &caption)
{
    return u"<img style=\"margin-top:5px;\" src=\""_s + address + u"\" width=\""_s + width + u"\"/>"_s
         + u"<div style=\"width:"_s + width + u"px;\">"_s
         + u"<div style=\"font-size:21px;color:"_s + titleColour
         + u";margin:30px 0px; margin-bottom:5px;font-weight:600;text-align:center\">"_s + title + u"</div>"_s
         + u"<div style=\"color:"_s + captionColour
         + u";line-height:25px; padding:0 40px;margin-bottom:20px;;text-align:center\">"_s + caption + u"</div>"_s
         + u"</div>"_s;
}

QString overlayPicture(const QString &width, int height, const QString &address, const QString &titleColour,
                       const QString &title, const QString &captionColour, const QString &caption)
{
    return u"<div style=\"width:"_s + width + u"px; height:"_s + QString::number(height - 10)
         + u"px;overflow:hidden\">"_s
         + u"<img style=\"margin-top:5px;\" src=\""_s + address + u"\" width=\""_s + width + u"\"/>"_s
         + u"<div style=\"width:350px;position:relative; top:-"_s + QString::number(height - 50)
         + u"px; left:60px;\">"_s
         + u"<div style=\"font-size:33px;color:"_s + titleColour
         + u";margin:30px 0px; margin-bottom:5px;font-weight:600;\">"_s + title + u"</div>"_s
         + u"<div style=\"color:"_s + captionColour + u";line-height:25px;margin-bottom:20px;\">"_s + caption
         + u"</div>"_s + u"</div></div>"_s;
}

} // namespace

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsxijie"_s,
        .pageCaption = u"细节"_s,
        .navButton = u"btnxijie"_s,
        .moduleName = u"产品细节"_s,
        .generateButton = u"btn11"_s,
        .addButton = u"btn20"_s,
        .fields = {
            {u"rg2"_s, FieldKind::Radio, u"0"_s, {u"图文列表"_s, u"图文叠加"_s}},
            {u"cbb4"_s, FieldKind::Combo, u"5"_s,
             {u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s}},
            {u"edt20"_s, FieldKind::Colour, u"#f30"_s, {}, ColourBackground::Red},
            {u"edt21"_s, FieldKind::Colour, u"#999"_s, {}, ColourBackground::ScrollBar},
            {u"mmoxijiebiaoti"_s, FieldKind::Memo, fiveLines(sampleTitle)},
            {u"mmoxijieshuoming"_s, FieldKind::Memo, fiveLines(sampleCaption)},
            {u"mmoxijietupian"_s, FieldKind::Memo, fiveLines(samplePicture)},
        },
        .generate = &btn11Click,
    };
    return pageSpec;
}

QString pictureFileName()
{
    return u"1.jpg"_s;
}

Generated btn11Click(PageState &state, const Services &services)
{
    const QStringList listFields{u"mmoxijiebiaoti"_s, u"mmoxijieshuoming"_s, u"mmoxijietupian"_s};
    for (const QString &name : listFields) {
        QString text = state.field(name);
        CleanPipeField(text);
        state.setField(name, text);
    }

    const int count = toInteger(state.field(u"cbb4"_s));
    const QString width = state.metrics.totalWidth;
    const QString titleColour = state.field(u"edt20"_s);
    const QString captionColour = state.field(u"edt21"_s);
    const int style = state.radioIndex(u"rg2"_s);

    // Split once: the count is typed freely, and splitting the lists for every
    // picture made a long list quadratic.
    const QStringList titles = SplitPipeList(state.field(u"mmoxijiebiaoti"_s));
    const QStringList captions = SplitPipeList(state.field(u"mmoxijieshuoming"_s));
    const QStringList addresses = SplitPipeList(state.field(u"mmoxijietupian"_s));
    const std::optional<QList<MeasuredPicture>> batch
        = style == 1 ? measureAhead(titles, captions, addresses, count, services) : std::nullopt;
    QStringList pictures;
    for (int i = 0; i < count; ++i) {
        if (style == 0) {
            const QString &address = PipeItem(addresses, i);
            const QString &title = PipeItem(titles, i);
            pictures.append(listPicture(width, address, titleColour, title, captionColour, PipeItem(captions, i)));
        } else if (style == 1) {
            const QString &address = PipeItem(addresses, i);
            const int height = pictureHeight(batch, i, address, services);
            const QString &title = PipeItem(titles, i);
            pictures.append(overlayPicture(width, height, address, titleColour, title, captionColour,
                                           PipeItem(captions, i)));
        }
    }

    return {u"<div style=\"width:"_s + width + u"px; font-family:Microsoft YaHei; font-size:15px\">"_s
            + JoinLines(pictures) + u"</div>"_s};
}

} // namespace orv::xijie
