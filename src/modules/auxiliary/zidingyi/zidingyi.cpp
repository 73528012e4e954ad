#include "zidingyi.h"

namespace orv::zidingyi {

using namespace Qt::StringLiterals;

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tszidingyi"_s,
        .pageCaption = u"自定义"_s,
        .navButton = u"btnzidingyi"_s,
        .moduleName = u"自定义"_s,
        .generateButton = u"btn23"_s,
        .addButton = u"btn13"_s,
        .fields = {
            {u"mmo34"_s, FieldKind::Memo, {}},
        },
        .generate = &btn23Click,
    };
    return pageSpec;
}

Generated btn23Click(PageState &state, const Services &)
{
    return Generated{
        .fragment = u"<table width=\"750\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><tr><td>"_s
                  + state.field(u"mmo34"_s) + u"</td></tr></table>"_s,
        .preview = false,
    };
}

} // namespace orv::zidingyi
