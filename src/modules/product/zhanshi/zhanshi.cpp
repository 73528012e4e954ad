#include "zhanshi.h"

#include "app/text/linelist.h"
#include "app/text/pipelist.h"
#include "core/failure.h"

namespace orv::zhanshi {

using namespace Qt::StringLiterals;

const PageSpec &page()
{
    const QString sampleImage =
        u"https://img.alicdn.com/imgextra/i2/2200000000001/O1CN01zhanshi_!!2200000000001.jpg"_s;
    static const PageSpec pageSpec{
        .name = u"tszhanshi"_s,
        .pageCaption = u"展示"_s,
        .navButton = u"btnzhanshi"_s,
        .moduleName = u"产品展示"_s,
        .generateButton = u"btn1"_s,
        .addButton = u"btn3"_s,
        .fields = {
            {u"cbb3"_s, FieldKind::Combo, u"5"_s,
             {u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s}},
            {u"mmozhanshi"_s, FieldKind::Memo,
             JoinLines({sampleImage + u'|', sampleImage + u'|', sampleImage + u'|',
                        sampleImage + u'|', sampleImage})},
        },
        .generate = &btn1Click,
    };
    return pageSpec;
}

Generated btn1Click(PageState &state, const Services &)
{
    QString addresses = state.field(u"mmozhanshi"_s);
    CleanPipeField(addresses);
    state.setField(u"mmozhanshi"_s, addresses);

    const int count = toInteger(state.field(u"cbb3"_s));
    const QStringList items = SplitPipeList(addresses);
    QStringList pictures;
    for (int i = 0; i < count; ++i) {
        pictures.append(u"<img style=\"margin:5px 0\" src=\""_s + PipeItem(items, i)
                        + u"\" alt=\" 790.jpg\" width=\""_s + state.metrics.totalWidth + u"\"/>"_s);
    }
    return {JoinLines(pictures)};
}

} // namespace orv::zhanshi
