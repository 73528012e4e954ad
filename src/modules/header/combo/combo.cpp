#include "combo.h"

namespace orv::combo {

using namespace Qt::StringLiterals;

namespace {

const QString samplePicture
    = u"https://img.alicdn.com/imgextra/i3/2206500000001/O1CN01OrvSmp1Pic0Dz6Bq_!!2206500000001.jpg"_s;

// Opens the picture row of a product column and the price column.
const QString columnIndent = u"  \t"_s;

} // namespace

int columnWidth(Shop shop)
{
    return shop == Shop::Tmall ? 230 : 220;
}

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsdapei"_s,
        .pageCaption = u"搭配"_s,
        .navButton = u"btndapei"_s,
        .moduleName = u"搭配销售"_s,
        .generateButton = u"btn7"_s,
        .generateCaption = u"预览"_s,
        .addButton = u"btn17"_s,
        .form = u":/forms/combo.ui"_s,
        .fields = {
            {u"picture_1"_s, u"edt9"_s, u"单品1地址："_s, FieldKind::Edit, samplePicture},
            {u"title_1"_s, u"edt10"_s, u"单品1标题："_s, FieldKind::Edit, u"华为荣耀，闪耀全城"_s},
            {u"link_1"_s, u"edt11"_s, u"单品1链接："_s, FieldKind::Edit, u"#"_s},
            {u"picture_2"_s, u"edt12"_s, u"单品2地址："_s, FieldKind::Edit, samplePicture},
            {u"title_2"_s, u"edt13"_s, u"单品2标题："_s, FieldKind::Edit, u"华为荣耀，闪耀全城"_s},
            {u"link_2"_s, u"edt14"_s, u"单品2链接："_s, FieldKind::Edit, u"#"_s},
            {u"list_price"_s, u"edt15"_s, u"套餐原价："_s, FieldKind::Edit, u"1696.0"_s},
            {u"offer_price"_s, u"edt16"_s, u"套餐现价："_s, FieldKind::Edit, u"696.0"_s},
            {u"button_colour"_s, u"edt17"_s, u"按钮色系："_s, FieldKind::Colour, u"#66F"_s},
            {u"button_text_colour"_s, u"edt18"_s, u"文字颜色："_s, FieldKind::Colour, u"#fff"_s},
            {u"buy_link"_s, u"edt19"_s, u"购买链接："_s, FieldKind::Edit, u"#"_s},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    state.metrics.imageWidth = columnWidth(state.metrics.shop);
    const QString totalWidth = QString::number(state.metrics.totalWidth);
    const QString width = QString::number(state.metrics.imageWidth);
    const QString picture1 = state.field(u"picture_1"_s);
    const QString title1 = state.field(u"title_1"_s);
    const QString link1 = state.field(u"link_1"_s);
    const QString picture2 = state.field(u"picture_2"_s);
    const QString title2 = state.field(u"title_2"_s);
    const QString link2 = state.field(u"link_2"_s);
    const QString listPrice = state.field(u"list_price"_s);
    const QString offerPrice = state.field(u"offer_price"_s);
    const QString buttonColour = state.field(u"button_colour"_s);
    const QString buttonTextColour = state.field(u"button_text_colour"_s);
    const QString buyLink = state.field(u"buy_link"_s);

    // clang-format off
    QString html;
    html += u"<div style=\"width:"_s + totalWidth
          + u"px; height:270px;font-family:Microsoft YaHei; margin:10px 0; padding:1%;"
            " border:1px #F0F0F0 solid\">"_s;
    // Product 1.
    html += u"<a style=\"text-decoration:none\" href=\""_s + link1 + u"\" target=\"_blank\">"_s
          + u"  <div style=\"width:"_s + width + u"px; height:270px;float:left\">"_s + columnIndent
          + u"<img src=\""_s + picture1 + u"\"  width=\""_s + width + u"\"/>"_s
          + u"    <div style=\"text-align:center; font-size:15px; margin-top:10px; color:#333\">"_s + title1
          + u"</div>"_s + u"  </div></a>"_s;
    html += u"  <div style=\"width:5%; height:225px; float:left; font-size:36px; line-height:225px;"
            " text-align:center; color:#333\">+</div>"_s;
    // Product 2.
    html += u"<a style=\"text-decoration:none\" href=\""_s + link2 + u"\" target=\"_blank\">"_s
          + u"  <div style=\"width:"_s + width + u"px; height:270px;float:left\">"_s + columnIndent
          + u"<img src=\""_s + picture2 + u"\"  width=\""_s + width + u"\"/>"_s
          + u"    <div style=\"text-align:center; font-size:15px; margin-top:10px;color:#333\">"_s + title2
          + u"</div>"_s + u"  </div></a>"_s;
    // The price column.
    html += u"  <div style=\"width:"_s + width + u"px; height:270px; float:right;\">"_s + columnIndent
          + u"<div style=\"line-height:45px; text-align:center; background-color:#ccc; font-size:23px;"
            " color:#FFF; font-weight:600\">搭配套餐</div>"_s
          + u"<div style=\"line-height:45px; text-align:center;font-size:16px; color:#999\">—— 原价:"_s
          + listPrice + u" ——</div>"_s
          + u"    <div style=\"line-height:30px; text-align:center;font-size:16px; color:#333\">"
            "【划算套餐价】</div>"_s
          + u"    <div style=\"line-height:50px; text-align:center;font-size:36px; font-family:arial;"
            " color:#F30\"><span style=\" font-family: Microsoft YaHei\">￥</span>"_s
          + offerPrice + u"</div>"_s
          + u"<a style=\"text-decoration:none;color:"_s + buttonTextColour + u"\" href=\""_s + buyLink
          + u"\" target=\"_blank\">"_s
          + u"    <div style=\"line-height:40px; text-align:center;font-size:16px; background-color:"_s
          + buttonColour + u"; margin-top:10px;\">立即购买</div></a>"_s + u"  </div>"_s;
    html += u"</div>"_s;
    // clang-format on
    return {html};
}

} // namespace orv::combo
