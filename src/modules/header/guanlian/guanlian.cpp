#include "guanlian.h"

#include "app/text/linelist.h"
#include "app/text/pipelist.h"

namespace orv::guanlian {

using namespace Qt::StringLiterals;

namespace {

const QString samplePicture =
    u"https://img.alicdn.com/imgextra/i3/2206500000001/O1CN01OrvSmp1Pic0Dz6Bq_!!2206500000001.jpg"_s;

QString repeatedLines(const QString &line, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += line + u"\r\n"_s;
    return text;
}

// The card's height: the picture and 70 pixels for title and price.
constexpr int captionHeight = 70;

} // namespace

std::optional<StyleSize> styleSize(int style, const QString &totalWidth)
{
    const bool taobao = totalWidth == u"750"_s;
    switch (style) {
    case FourColumns:
        return StyleSize{.cards = 4, .totalHeight = 310, .imageWidth = taobao ? 180 : 190, .imageHeight = 270};
    case ThreeColumns:
        return taobao ? StyleSize{.cards = 3, .totalHeight = 360, .imageWidth = 243, .imageHeight = 320}
                      : StyleSize{.cards = 3, .totalHeight = 360, .imageWidth = 256, .imageHeight = 270};
    default:
        return std::nullopt;
    }
}

Metrics withStyle(Metrics metrics, int style)
{
    if (const std::optional<StyleSize> size = styleSize(style, metrics.totalWidth)) {
        metrics.totalHeight = QString::number(size->totalHeight);
        metrics.imageWidth = QString::number(size->imageWidth);
        metrics.imageHeight = QString::number(size->imageHeight);
    }
    return metrics;
}

QString styleWord(int style)
{
    switch (style) {
    case FourColumns:
        return u"图文四列"_s;
    case ThreeColumns:
        return u"图文三列"_s;
    default:
        return {};
    }
}

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsguanlian"_s,
        .pageCaption = u"关联"_s,
        .navButton = u"btnguanlian"_s,
        .moduleName = u"关联销售"_s,
        .generateButton = u"btn14"_s,
        .addButton = u"btnadd"_s,
        .fields = {
            {u"rgleixing"_s, FieldKind::Radio, u"-1"_s, {u"图文4列"_s, u"图文3列"_s}},
            {u"edtzise"_s, FieldKind::Colour, u"#999"_s},
            {u"edt23"_s, FieldKind::Colour, u"#F30"_s},
            {u"mmotwo"_s, FieldKind::Memo, repeatedLines(samplePicture + u"|"_s, 4)},
            {u"mmothree"_s, FieldKind::Memo, u"#|#|#|#\r\n"_s},
            {u"mmoone"_s, FieldKind::Memo, repeatedLines(u"披肩中老年蝙蝠外套|"_s, 4)},
            {u"mmoguanlianjiage"_s, FieldKind::Memo, u"59.00|\r\n68.00|\r\n59.00|\r\n63.00|\r\n"_s},
        },
        .generate = &btn14Click,
    };
    return pageSpec;
}

Generated btn14Click(PageState &state, const Services &)
{
    for (const QString &name : {u"mmoone"_s, u"mmotwo"_s, u"mmothree"_s, u"mmoguanlianjiage"_s}) {
        QString text = state.field(name);
        CleanPipeField(text);
        state.setField(name, text);
    }

    const int style = state.radioIndex(u"rgleixing"_s);
    const std::optional<StyleSize> size = styleSize(style, state.metrics.totalWidth);
    if (!size)
        return {.reminder = u"请选择生成类型后再生成代码！"_s};

    // The cards take their size from the style and the total width, never from
    // what another module left in the image-width label; the labels are set
    // to what the cards use.
    state.metrics = withStyle(state.metrics, style);
    const QString width = state.metrics.imageWidth;
    const QString height = state.metrics.imageHeight;
    const QString cardHeight = QString::number(size->imageHeight + captionHeight);
    const QString textColour = state.field(u"edtzise"_s);
    const QString priceColour = state.field(u"edt23"_s);

    const QStringList titles = SplitPipeList(state.field(u"mmoone"_s));
    const QStringList pictures = SplitPipeList(state.field(u"mmotwo"_s));
    const QStringList links = SplitPipeList(state.field(u"mmothree"_s));
    const QStringList prices = SplitPipeList(state.field(u"mmoguanlianjiage"_s));

    QStringList cards;
    for (int i = 0; i < size->cards; ++i) {
        const QString &link = PipeItem(links, i);
        const QString &picture = PipeItem(pictures, i);
        const QString &title = PipeItem(titles, i);
        const QString &price = PipeItem(prices, i);
        cards.append(u"<a style=\"text-decoration:none; color:"_s + textColour
                     + u";font-size:14px;\"  href=\""_s + link + u"\" target=\"_blank\">"_s
                     + u"<li style=\"width:"_s + width + u"px; height:"_s + cardHeight
                     + u"px; float:left;overflow:hidden; text-decoration:none; margin-right:10px;"
                       " text-align:center;\">"_s
                     + u"<img src=\""_s + picture + u"\" width=\""_s + width + u"\" height=\""_s + height
                     + u"\" />"_s
                     + u"<div style=\"font-size:14px;font-family:arial; height:60px;\">"_s
                     + u"<div style=\"line-height:30px; margin-top:5px; color:"_s + textColour
                     + u";font-family:Microsoft YaHei\">"_s + title + u"</div>"_s
                     + u"<div style=\"font-size:18px; color:"_s + priceColour + u"\">"_s
                     + u"<span style=\"font-size:12px;font-family:Microsoft YaHei\">￥</span>"_s + price
                     + u"</div>"_s + u"</div>"_s + u"</li></a>"_s);
    }

    const QString html = u"<div style=\"width:"_s + state.metrics.totalWidth + u"px; height:"_s + cardHeight
                       + u"px; overflow:hidden; font-family:Microsoft YaHei\">"_s
                       + u"<div style=\"width:850px; height:"_s + cardHeight + u"px;\">"_s + JoinLines(cards)
                       + u"</div></div>"_s;
    return {html};
}

} // namespace orv::guanlian
