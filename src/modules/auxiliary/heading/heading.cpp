#include "heading.h"

namespace orv::heading {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsyangshi"_s,
        .pageCaption = u"样式"_s,
        .navButton = u"btnyangshi"_s,
        .moduleName = u"分割样式"_s,
        .generateButton = u"btn21"_s,
        .addButton = u"btn10"_s,
        .form = u":/forms/heading.ui"_s,
        .fields = {
            {u"style"_s, u"rg10"_s, u"关联样式"_s, FieldKind::Radio, u"0"_s, {u"默认样式"_s}},
            {u"background_colour"_s, u"edtfengedise"_s, u"版块底色："_s, FieldKind::Colour, u"#FFF"_s},
            {u"title_size"_s, u"cbb5"_s, u"标题大小："_s, FieldKind::Combo, u"48"_s,
             {u"24"_s, u"30"_s, u"36"_s, u"48"_s, u"50"_s, u"60"_s}},
            {u"title_colour"_s, u"edtfengebiaoti"_s, u"标题颜色："_s, FieldKind::Colour, u"#000"_s, {},
             ColourBackground::MenuText},
            {u"subtitle_colour"_s, u"edtfengexiaozi"_s, u"小字颜色："_s, FieldKind::Colour, u"#999"_s, {},
             ColourBackground::ScrollBar},
            {u"subtitle_size"_s, u"cbb6"_s, u"小字大小："_s, FieldKind::Combo, u"14"_s,
             {u"14"_s, u"16"_s, u"18"_s, u"24"_s}},
            {u"line_width"_s, u"cbb7"_s, u"分割线宽："_s, FieldKind::Combo, u"1"_s,
             {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}},
            {u"line_colour"_s, u"edtfengexian"_s, u"分割线色："_s, FieldKind::Colour, u"#999"_s, {},
             ColourBackground::ScrollBar},
            {u"line_style"_s, u"cbb8"_s, u"分割样式："_s, FieldKind::Combo, u"dashed"_s, {u"solid"_s, u"dashed"_s}},
            {u"title"_s, u"edt26"_s, u"标题："_s, FieldKind::Edit, u"精美细致 完美品质"_s},
            {u"subtitle"_s, u"edt27"_s, u"小字："_s, FieldKind::Edit, u"Exquisite and perfect quality"_s},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    const QString width = QString::number(state.metrics.totalWidth);
    const QString background = state.field(u"background_colour"_s);
    const QString titleSize = state.field(u"title_size"_s);
    const QString titleColour = state.field(u"title_colour"_s);
    const QString subtitleColour = state.field(u"subtitle_colour"_s);
    const QString subtitleSize = state.field(u"subtitle_size"_s);
    const QString lineWidth = state.field(u"line_width"_s);
    const QString lineColour = state.field(u"line_colour"_s);
    const QString lineStyle = state.field(u"line_style"_s);
    const QString title = state.field(u"title"_s);
    const QString subtitle = state.field(u"subtitle"_s);

    // clang-format off
    return {u"<div style=\"width:"_s + width + u"px; padding:20px 0px; background-color:"_s + background
            + u";margin:10px 0\">"_s
            + u"<div style=\"text-align:center; font-size:"_s + titleSize
            + u"px; font-family:Microsoft YaHei; font-weight:600;"_s
            + u"border-bottom:"_s + lineColour + u" "_s + lineWidth + u"px "_s + lineStyle + u"; color:"_s
            + titleColour + u"; padding-bottom:0px;\">"_s + title + u"</div>"_s
            + u"<div style=\"padding-bottom:5px;text-align:center; font-size:"_s + subtitleSize
            + u"px; font-family:arial; line-height:30px;color:"_s + subtitleColour + u"\">---- "_s + subtitle
            + u" ----</div> "_s + u"</div>"_s};
    // clang-format on
}

} // namespace orv::heading
