#include "yangshi.h"

namespace orv::yangshi {

using namespace Qt::StringLiterals;

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsyangshi"_s,
        .pageCaption = u"样式"_s,
        .navButton = u"btnyangshi"_s,
        .moduleName = u"分割样式"_s,
        .generateButton = u"btn21"_s,
        .addButton = u"btn10"_s,
        .fields = {
            {u"rg10"_s, FieldKind::Radio, u"0"_s, {u"默认样式"_s}},
            {u"edtfengedise"_s, FieldKind::Colour, u"#FFF"_s},
            {u"cbb5"_s, FieldKind::Combo, u"48"_s,
             {u"24"_s, u"30"_s, u"36"_s, u"48"_s, u"50"_s, u"60"_s}},
            {u"edtfengebiaoti"_s, FieldKind::Colour, u"#000"_s, {}, ColourBackground::MenuText},
            {u"edtfengexiaozi"_s, FieldKind::Colour, u"#999"_s, {}, ColourBackground::ScrollBar},
            {u"cbb6"_s, FieldKind::Combo, u"14"_s, {u"14"_s, u"16"_s, u"18"_s, u"24"_s}},
            {u"cbb7"_s, FieldKind::Combo, u"1"_s, {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}},
            {u"edtfengexian"_s, FieldKind::Colour, u"#999"_s, {}, ColourBackground::ScrollBar},
            {u"cbb8"_s, FieldKind::Combo, u"dashed"_s, {u"solid"_s, u"dashed"_s}},
            {u"edt26"_s, FieldKind::Edit, u"精美细致 完美品质"_s},
            {u"edt27"_s, FieldKind::Edit, u"Exquisite and perfect quality"_s},
        },
        .generate = &btn21Click,
    };
    return pageSpec;
}

Generated btn21Click(PageState &state, const Services &)
{
    QString html;
    html += u"<div style=\"width:"_s + state.metrics.totalWidth
          + u"px; padding:20px 0px; background-color:"_s + state.field(u"edtfengedise"_s)
          + u";margin:10px 0\">"_s
          + u"<div style=\"text-align:center; font-size:"_s + state.field(u"cbb5"_s)
          + u"px; font-family:Microsoft YaHei; font-weight:600;"_s
          + u"border-bottom:"_s + state.field(u"edtfengexian"_s) + u" "_s + state.field(u"cbb7"_s)
          + u"px "_s + state.field(u"cbb8"_s) + u"; color:"_s + state.field(u"edtfengebiaoti"_s)
          + u"; padding-bottom:0px;\">"_s + state.field(u"edt26"_s) + u"</div>"_s
          + u"<div style=\"padding-bottom:5px;text-align:center; font-size:"_s + state.field(u"cbb6"_s)
          + u"px; font-family:arial; line-height:30px;color:"_s + state.field(u"edtfengexiaozi"_s)
          + u"\">---- "_s + state.field(u"edt27"_s) + u" ----</div> "_s
          + u"</div>"_s;
    return {html};
}

} // namespace orv::yangshi
