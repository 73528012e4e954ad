#include "customhtml.h"

namespace orv::customhtml {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tszidingyi"_s,
        .pageCaption = u"自定义"_s,
        .navButton = u"btnzidingyi"_s,
        .moduleName = u"自定义"_s,
        .generateButton = u"btn23"_s,
        .addButton = u"btn13"_s,
        .form = u":/forms/customhtml.ui"_s,
        .fields = {
            {u"html"_s, u"mmo34"_s, u"自定义html代码内容"_s, FieldKind::Memo, {}},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    const QString html = state.field(u"html"_s);
    return Generated{
        .fragment = u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td>"_s + html
                    + u"</td></tr></table>"_s,
        .preview = false,
    };
}

} // namespace orv::customhtml
