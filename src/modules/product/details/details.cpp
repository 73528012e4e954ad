#include "details.h"

#include "core/failure.h"
#include "core/linelist.h"
#include "core/picturemeasurer.h"
#include "core/pipelist.h"

#include <algorithm>

namespace orv::details {

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
    return joinLines(lines);
}

// Every picture the generation can reach is fetched and measured at once
// before the first is used. A picture is reached when it has an address and
// every picture before it has a title and a caption; whether an earlier fetch
// fails is not known yet, so its later pictures are fetched all the same and
// their outcomes go unused.
QList<MeasuredPicture> measureAhead(const QStringList &titles, const QStringList &captions,
                                    const QStringList &addresses, int count, const Services &services)
{
    if (count <= 0)
        return {};
    const qsizetype reach = std::min({qsizetype(count), addresses.size(), titles.size() + 1, captions.size() + 1});
    if (!services.measurer) {
        if (reach > 0)
            throw cannotDownload(addresses.first(), u"Fetching is not available"_s);
        return {};
    }
    return services.measurer->measureAll(addresses.first(reach));
}

// The height of picture i; a failed picture fails here, in picture order.
int pictureHeight(const QList<MeasuredPicture> &measured, qsizetype i)
{
    const MeasuredPicture &picture = measured.at(i);
    if (!picture.measured())
        throw Failure(picture.failure);
    return picture.height;
}

QString listPicture(const QString &width, const QString &address, const QString &titleColour, const QString &title,
                    const QString &captionColour, const QString &caption)
{
    // clang-format off
    return u"<img style=\"margin-top:5px;\" src=\""_s + address + u"\" width=\""_s + width + u"\"/>"_s
         + u"<div style=\"width:"_s + width + u"px;\">"_s
         + u"<div style=\"font-size:21px;color:"_s + titleColour
         + u";margin:30px 0px; margin-bottom:5px;font-weight:600;text-align:center\">"_s + title + u"</div>"_s
         + u"<div style=\"color:"_s + captionColour
         + u";line-height:25px; padding:0 40px;margin-bottom:20px;;text-align:center\">"_s + caption + u"</div>"_s
         + u"</div>"_s;
    // clang-format on
}

QString overlayPicture(const QString &width, int height, const QString &address, const QString &titleColour,
                       const QString &title, const QString &captionColour, const QString &caption)
{
    // clang-format off
    return u"<div style=\"width:"_s + width + u"px; height:"_s + QString::number(height - 10)
         + u"px;overflow:hidden\">"_s
         + u"<img style=\"margin-top:5px;\" src=\""_s + address + u"\" width=\""_s + width + u"\"/>"_s
         + u"<div style=\"width:350px;position:relative; top:-"_s + QString::number(height - 50)
         + u"px; left:60px;\">"_s
         + u"<div style=\"font-size:33px;color:"_s + titleColour
         + u";margin:30px 0px; margin-bottom:5px;font-weight:600;\">"_s + title + u"</div>"_s
         + u"<div style=\"color:"_s + captionColour + u";line-height:25px;margin-bottom:20px;\">"_s + caption
         + u"</div>"_s + u"</div></div>"_s;
    // clang-format on
}

} // namespace

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsxijie"_s,
        .pageCaption = u"细节"_s,
        .navButton = u"btnxijie"_s,
        .moduleName = u"产品细节"_s,
        .generateButton = u"btn11"_s,
        .addButton = u"btn20"_s,
        .form = u":/forms/details.ui"_s,
        .fields = {
            {u"style"_s, u"rg2"_s, u"样式选择"_s, FieldKind::Radio, u"0"_s, {u"图文列表"_s, u"图文叠加"_s}},
            {u"count"_s, u"cbb4"_s, u"图片张数："_s, FieldKind::Combo, u"5"_s,
             {u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s}},
            {u"title_colour"_s, u"edt20"_s, u"标题色："_s, FieldKind::Colour, u"#f30"_s, {}, ColourBackground::Red},
            {u"caption_colour"_s, u"edt21"_s, u"小字色："_s, FieldKind::Colour, u"#999"_s, {},
             ColourBackground::ScrollBar},
            {u"titles"_s, u"mmoxijiebiaoti"_s, u"标题信息 | 隔开"_s, FieldKind::Memo, fiveLines(sampleTitle)},
            {u"captions"_s, u"mmoxijieshuoming"_s, u"文字说明 | 隔开"_s, FieldKind::Memo, fiveLines(sampleCaption)},
            {u"pictures"_s, u"mmoxijietupian"_s, u"图片列表 | 隔开"_s, FieldKind::Memo, fiveLines(samplePicture)},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &services)
{
    for (const QString &key : {u"titles"_s, u"captions"_s, u"pictures"_s}) {
        QString text = state.field(key);
        cleanPipeField(text);
        state.setField(key, text);
    }

    const int count = toInteger(state.field(u"count"_s));
    const QString width = QString::number(state.metrics.totalWidth);
    const QString titleColour = state.field(u"title_colour"_s);
    const QString captionColour = state.field(u"caption_colour"_s);
    const int style = state.radioIndex(u"style"_s);

    // Split once: the count is typed freely, and splitting the lists for every
    // picture made a long list quadratic.
    const QStringList titles = splitPipeList(state.field(u"titles"_s));
    const QStringList captions = splitPipeList(state.field(u"captions"_s));
    const QStringList addresses = splitPipeList(state.field(u"pictures"_s));
    const QList<MeasuredPicture> measured
        = style == Overlay ? measureAhead(titles, captions, addresses, count, services) : QList<MeasuredPicture>();
    QStringList pictures;
    for (int i = 0; i < count; ++i) {
        if (style == List) {
            const QString &address = pipeItem(addresses, i);
            const QString &title = pipeItem(titles, i);
            pictures.append(listPicture(width, address, titleColour, title, captionColour, pipeItem(captions, i)));
        } else if (style == Overlay) {
            const QString &address = pipeItem(addresses, i);
            const int height = pictureHeight(measured, i);
            const QString &title = pipeItem(titles, i);
            pictures.append(
                overlayPicture(width, height, address, titleColour, title, captionColour, pipeItem(captions, i)));
        }
    }

    return {u"<div style=\"width:"_s + width + u"px; font-family:Microsoft YaHei; font-size:15px\">"_s
            + joinLines(pictures) + u"</div>"_s};
}

} // namespace orv::details
