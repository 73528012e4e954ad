#include "relatedsales.h"

#include "core/linelist.h"
#include "core/pipelist.h"

namespace orv::relatedsales {

using namespace Qt::StringLiterals;

namespace {

const QString samplePicture
    = u"https://img.alicdn.com/imgextra/i3/2206500000001/O1CN01OrvSmp1Pic0Dz6Bq_!!2206500000001.jpg"_s;

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

std::optional<StyleSize> styleSize(int style, int totalWidth)
{
    const bool taobao = totalWidth == 750;
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
        metrics.totalHeight = size->totalHeight;
        metrics.imageWidth = size->imageWidth;
        metrics.imageHeight = size->imageHeight;
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

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsguanlian"_s,
        .pageCaption = u"关联"_s,
        .navButton = u"btnguanlian"_s,
        .moduleName = u"关联销售"_s,
        .generateButton = u"btn14"_s,
        .addButton = u"btnadd"_s,
        .addConfirmation = u"确定要添加该板块？"_s,
        .form = u":/forms/relatedsales.ui"_s,
        .fields = {
            {u"style"_s, u"rgleixing"_s, u"样式选择"_s, FieldKind::Radio, u"-1"_s, {u"图文4列"_s, u"图文3列"_s},
             ColourBackground::Window, true},
            {u"text_colour"_s, u"edtzise"_s, u"小字色："_s, FieldKind::Colour, u"#999"_s},
            {u"price_colour"_s, u"edt23"_s, u"价格色："_s, FieldKind::Colour, u"#F30"_s},
            {u"pictures"_s, u"mmotwo"_s, u"【图片列表 | 隔开】"_s, FieldKind::Memo,
             repeatedLines(samplePicture + u"|"_s, 4)},
            {u"links"_s, u"mmothree"_s, u"【链接列表 | 隔开】"_s, FieldKind::Memo, u"#|#|#|#\r\n"_s},
            {u"titles"_s, u"mmoone"_s, u"【产品标题 | 隔开】"_s, FieldKind::Memo,
             repeatedLines(u"披肩中老年蝙蝠外套|"_s, 4)},
            {u"prices"_s, u"mmoguanlianjiage"_s, u"【产品价格 | 隔开】"_s, FieldKind::Memo,
             u"59.00|\r\n68.00|\r\n59.00|\r\n63.00|\r\n"_s},
        },
        .generate = &generate,
        .metricsOnChoice = [](const PageState &state) { return withStyle(state.metrics, state.radioIndex(u"style"_s)); },
        .entrySuffix = [](const PageState &state) { return styleWord(state.radioIndex(u"style"_s)); },
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    for (const QString &key : {u"titles"_s, u"pictures"_s, u"links"_s, u"prices"_s}) {
        QString text = state.field(key);
        cleanPipeField(text);
        state.setField(key, text);
    }

    const int style = state.radioIndex(u"style"_s);
    const std::optional<StyleSize> size = styleSize(style, state.metrics.totalWidth);
    if (!size)
        return {.reminder = u"请选择生成类型后再生成代码！"_s};

    // The cards take their size from the style and the total width, never from
    // what another module left in the image-width label; the labels are set
    // to what the cards use.
    state.metrics = withStyle(state.metrics, style);
    const QString totalWidth = QString::number(state.metrics.totalWidth);
    const QString width = QString::number(state.metrics.imageWidth);
    const QString height = QString::number(state.metrics.imageHeight);
    const QString cardHeight = QString::number(size->imageHeight + captionHeight);
    const QString textColour = state.field(u"text_colour"_s);
    const QString priceColour = state.field(u"price_colour"_s);

    const QStringList titles = splitPipeList(state.field(u"titles"_s));
    const QStringList pictures = splitPipeList(state.field(u"pictures"_s));
    const QStringList links = splitPipeList(state.field(u"links"_s));
    const QStringList prices = splitPipeList(state.field(u"prices"_s));

    QStringList cards;
    for (int i = 0; i < size->cards; ++i) {
        const QString &link = pipeItem(links, i);
        const QString &picture = pipeItem(pictures, i);
        const QString &title = pipeItem(titles, i);
        const QString &price = pipeItem(prices, i);
        // clang-format off
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
        // clang-format on
    }

    // clang-format off
    const QString html = u"<div style=\"width:"_s + totalWidth + u"px; height:"_s + cardHeight
                       + u"px; overflow:hidden; font-family:Microsoft YaHei\">"_s
                       + u"<div style=\"width:850px; height:"_s + cardHeight + u"px;\">"_s + joinLines(cards)
                       + u"</div></div>"_s;
    // clang-format on
    return {html};
}

} // namespace orv::relatedsales
