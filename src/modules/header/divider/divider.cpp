#include "divider.h"

namespace orv::divider {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsfengetiao"_s,
        .pageCaption = u"分隔条"_s,
        .navButton = u"btnfengetiao"_s,
        .moduleName = u"分隔条"_s,
        .generateButton = u"btn15"_s,
        .addButton = u"btn8"_s,
        .form = u":/forms/divider.ui"_s,
        .fields = {
            {u"background_colour"_s, u"edt1"_s, u"底色："_s, FieldKind::Colour, u"#F3F3F3"_s},
            {u"highlight_colour"_s, u"edt24"_s, u"高亮色："_s, FieldKind::Colour, u"#c0c0c0"_s},
            {u"line_width"_s, u"cbb2"_s, u"线宽："_s, FieldKind::Combo, u"0"_s,
             {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}},
            {u"line_colour"_s, u"edt2"_s, u"底线色："_s, FieldKind::Colour, u"#8080FF"_s},
            {u"title"_s, u"edt3"_s, u"分割文字"_s, FieldKind::Edit, u"产品参数"_s},
            {u"title_colour"_s, u"edt4"_s, u"字色："_s, FieldKind::Colour, u"#fff"_s},
            {u"font_size"_s, u"cbb1"_s, u"字号："_s, FieldKind::Combo, u"16"_s,
             {u"12"_s, u"14"_s, u"15"_s, u"16"_s, u"18"_s, u"24"_s}},
            {u"remark"_s, u"edt25"_s, u"右侧说明文字"_s, FieldKind::Edit, u"欢迎光临本店"_s},
            {u"remark_colour"_s, u"edt28"_s, u"字色："_s, FieldKind::Colour, u"#808080"_s},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    const QString width = QString::number(state.metrics.totalWidth);
    const QString background = state.field(u"background_colour"_s);
    const QString highlight = state.field(u"highlight_colour"_s);
    const QString lineWidth = state.field(u"line_width"_s);
    const QString lineColour = state.field(u"line_colour"_s);
    const QString title = state.field(u"title"_s);
    const QString titleColour = state.field(u"title_colour"_s);
    const QString fontSize = state.field(u"font_size"_s);
    const QString remark = state.field(u"remark"_s);
    const QString remarkColour = state.field(u"remark_colour"_s);

    // clang-format off
    return {u"<div style=\"width:"_s + width + u"px;height:40px; background-color:"_s + background
            + u"; line-height:40px; font-size:"_s + fontSize + u"px; font-family:Microsoft YaHei;border-bottom:"_s
            + lineColour + u" "_s + lineWidth + u"px solid;margin:10px 0\">"_s
            + u"<div style=\"float:left; height:40px; padding:0px 30px;background-color:"_s + highlight
            + u";color:"_s + titleColour + u"\">"_s + title + u"</div>"_s
            + u"<div style=\"float:right; height:40px; padding:0 30px;color:"_s + remarkColour
            + u"; font-size:14px\">"_s + remark + u"</div>"_s + u"</div>"_s};
    // clang-format on
}

} // namespace orv::divider
