#include "dapei.h"

namespace orv::dapei {

using namespace Qt::StringLiterals;

namespace {

const QString samplePicture =
    u"https://img.alicdn.com/imgextra/i3/2206500000001/O1CN01OrvSmp1Pic0Dz6Bq_!!2206500000001.jpg"_s;

// Opens the picture row of a product column and the price column.
const QString columnIndent = u"  \t"_s;

} // namespace

QString columnWidth(int shopType)
{
    return shopType == 1 ? u"230"_s : u"220"_s;
}

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsdapei"_s,
        .pageCaption = u"搭配"_s,
        .navButton = u"btndapei"_s,
        .moduleName = u"搭配销售"_s,
        .generateButton = u"btn7"_s,
        .generateCaption = u"预览"_s,
        .addButton = u"btn17"_s,
        .fields = {
            {u"edt9"_s, FieldKind::Edit, samplePicture},
            {u"edt10"_s, FieldKind::Edit, u"华为荣耀，闪耀全城"_s},
            {u"edt11"_s, FieldKind::Edit, u"#"_s},
            {u"edt12"_s, FieldKind::Edit, samplePicture},
            {u"edt13"_s, FieldKind::Edit, u"华为荣耀，闪耀全城"_s},
            {u"edt14"_s, FieldKind::Edit, u"#"_s},
            {u"edt15"_s, FieldKind::Edit, u"1696.0"_s},
            {u"edt16"_s, FieldKind::Edit, u"696.0"_s},
            {u"edt17"_s, FieldKind::Colour, u"#66F"_s},
            {u"edt18"_s, FieldKind::Colour, u"#fff"_s},
            {u"edt19"_s, FieldKind::Edit, u"#"_s},
        },
        .generate = &btn7Click,
    };
    return pageSpec;
}

Generated btn7Click(PageState &state, const Services &)
{
    state.metrics.imageWidth = columnWidth(state.metrics.shopType);
    const QString &width = state.metrics.imageWidth;

    QString html;
    html += u"<div style=\"width:"_s + state.metrics.totalWidth
          + u"px; height:270px;font-family:Microsoft YaHei; margin:10px 0; padding:1%;"
            " border:1px #F0F0F0 solid\">"_s;
    // Product 1.
    html += u"<a style=\"text-decoration:none\" href=\""_s + state.field(u"edt11"_s) + u"\" target=\"_blank\">"_s
          + u"  <div style=\"width:"_s + width + u"px; height:270px;float:left\">"_s + columnIndent
          + u"<img src=\""_s + state.field(u"edt9"_s) + u"\"  width=\""_s + width + u"\"/>"_s
          + u"    <div style=\"text-align:center; font-size:15px; margin-top:10px; color:#333\">"_s
          + state.field(u"edt10"_s) + u"</div>"_s + u"  </div></a>"_s;
    html += u"  <div style=\"width:5%; height:225px; float:left; font-size:36px; line-height:225px;"
            " text-align:center; color:#333\">+</div>"_s;
    // Product 2.
    html += u"<a style=\"text-decoration:none\" href=\""_s + state.field(u"edt14"_s) + u"\" target=\"_blank\">"_s
          + u"  <div style=\"width:"_s + width + u"px; height:270px;float:left\">"_s + columnIndent
          + u"<img src=\""_s + state.field(u"edt12"_s) + u"\"  width=\""_s + width + u"\"/>"_s
          + u"    <div style=\"text-align:center; font-size:15px; margin-top:10px;color:#333\">"_s
          + state.field(u"edt13"_s) + u"</div>"_s + u"  </div></a>"_s;
    // The price column.
    html += u"  <div style=\"width:"_s + width + u"px; height:270px; float:right;\">"_s + columnIndent
          + u"<div style=\"line-height:45px; text-align:center; background-color:#ccc; font-size:23px;"
            " color:#FFF; font-weight:600\">搭配套餐</div>"_s
          + u"<div style=\"line-height:45px; text-align:center;font-size:16px; color:#999\">—— 原价:"_s
          + state.field(u"edt15"_s) + u" ——</div>"_s
          + u"    <div style=\"line-height:30px; text-align:center;font-size:16px; color:#333\">"
            "【划算套餐价】</div>"_s
          + u"    <div style=\"line-height:50px; text-align:center;font-size:36px; font-family:arial;"
            " color:#F30\"><span style=\" font-family: Microsoft YaHei\">￥</span>"_s
          + state.field(u"edt16"_s) + u"</div>"_s
          + u"<a style=\"text-decoration:none;color:"_s + state.field(u"edt18"_s) + u"\" href=\""_s
          + state.field(u"edt19"_s) + u"\" target=\"_blank\">"_s
          + u"    <div style=\"line-height:40px; text-align:center;font-size:16px; background-color:"_s
          + state.field(u"edt17"_s) + u"; margin-top:10px;\">立即购买</div></a>"_s + u"  </div>"_s;
    html += u"</div>"_s;
    return {html};
}

} // namespace orv::dapei
