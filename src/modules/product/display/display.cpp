#include "display.h"

#include "core/failure.h"
#include "core/linelist.h"
#include "core/pipelist.h"

namespace orv::display {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    const QString sampleImage = u"https://img.alicdn.com/imgextra/i2/2200000000001/O1CN01zhanshi_!!2200000000001.jpg"_s;
    static const PageSpec page{
        .id = u"tszhanshi"_s,
        .pageCaption = u"展示"_s,
        .navButton = u"btnzhanshi"_s,
        .moduleName = u"产品展示"_s,
        .generateButton = u"btn1"_s,
        .addButton = u"btn3"_s,
        .form = u":/forms/display.ui"_s,
        .fields = {
            {u"count"_s, u"cbb3"_s, u"图片张数："_s, FieldKind::Combo, u"5"_s,
             {u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s}},
            {u"pictures"_s, u"mmozhanshi"_s, u"图片列表 | 隔开"_s, FieldKind::Memo,
             joinLines({sampleImage + u'|', sampleImage + u'|', sampleImage + u'|',
                        sampleImage + u'|', sampleImage})},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    QString addresses = state.field(u"pictures"_s);
    cleanPipeField(addresses);
    state.setField(u"pictures"_s, addresses);

    const QString width = QString::number(state.metrics.totalWidth);
    const int count = toInteger(state.field(u"count"_s));
    const QStringList items = splitPipeList(addresses);
    QStringList pictures;
    for (int i = 0; i < count; ++i) {
        pictures.append(u"<img style=\"margin:5px 0\" src=\""_s + pipeItem(items, i) + u"\" alt=\" 790.jpg\" width=\""_s
                        + width + u"\"/>"_s);
    }
    return {joinLines(pictures)};
}

} // namespace orv::display
