#include "fengetiao.h"

namespace orv::fengetiao {

using namespace Qt::StringLiterals;

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsfengetiao"_s,
        .pageCaption = u"分隔条"_s,
        .navButton = u"btnfengetiao"_s,
        .moduleName = u"分隔条"_s,
        .generateButton = u"btn15"_s,
        .addButton = u"btn8"_s,
        .fields = {
            {u"edt1"_s, FieldKind::Colour, u"#F3F3F3"_s},
            {u"edt24"_s, FieldKind::Colour, u"#c0c0c0"_s},
            {u"cbb2"_s, FieldKind::Combo, u"0"_s,
             {u"0"_s, u"1"_s, u"2"_s, u"3"_s,
              u"4"_s}},
            {u"edt2"_s, FieldKind::Colour, u"#8080FF"_s},
            {u"edt3"_s, FieldKind::Edit, u"产品参数"_s},
            {u"edt4"_s, FieldKind::Colour, u"#fff"_s},
            {u"cbb1"_s, FieldKind::Combo, u"16"_s,
             {u"12"_s, u"14"_s, u"15"_s, u"16"_s,
              u"18"_s, u"24"_s}},
            {u"edt25"_s, FieldKind::Edit, u"欢迎光临本店"_s},
            {u"edt28"_s, FieldKind::Colour, u"#808080"_s},
        },
        .generate = &btn15Click,
    };
    return pageSpec;
}

Generated btn15Click(PageState &state, const Services &)
{
    QString html;
    html += u"<div style=\"width:"_s + state.metrics.totalWidth
          + u"px;height:40px; background-color:"_s + state.field(u"edt1"_s)
          + u"; line-height:40px; font-size:"_s + state.field(u"cbb1"_s)
          + u"px; font-family:Microsoft YaHei;border-bottom:"_s + state.field(u"edt2"_s)
          + u" "_s + state.field(u"cbb2"_s) + u"px solid;margin:10px 0\">"_s
          + u"<div style=\"float:left; height:40px; padding:0px 30px;background-color:"_s
          + state.field(u"edt24"_s) + u";color:"_s + state.field(u"edt4"_s)
          + u"\">"_s + state.field(u"edt3"_s) + u"</div>"_s
          + u"<div style=\"float:right; height:40px; padding:0 30px;color:"_s
          + state.field(u"edt28"_s) + u"; font-size:14px\">"_s
          + state.field(u"edt25"_s) + u"</div>"_s + u"</div>"_s;
    return {html};
}

} // namespace orv::fengetiao
