#include "youhuiquan.h"

#include "app/text/linelist.h"
#include "app/text/pipelist.h"

namespace orv::youhuiquan {

using namespace Qt::StringLiterals;

namespace {

constexpr int couponCount = 3;

} // namespace

const PageSpec &page()
{
    static const PageSpec pageSpec{
        .name = u"tsyouhuiquan"_s,
        .pageCaption = u"优惠券"_s,
        .navButton = u"btnyouhuiquan"_s,
        .moduleName = u"优惠券"_s,
        .generateButton = u"btn16"_s,
        .addButton = u"btntianjia"_s,
        .fields = {
            {u"edt5"_s, FieldKind::Colour, u"#66F"_s},
            {u"edt6"_s, FieldKind::Colour, u"#FFF"_s},
            {u"edt7"_s, FieldKind::Colour, u"#F60"_s},
            {u"edt8"_s, FieldKind::Colour, u"#FFF"_s},
            {u"mmojine"_s, FieldKind::Memo, u"10|20|50\r\n"_s},
            {u"mmoshuoming"_s, FieldKind::Memo, u"满100元使用|\r\n满200元使用|\r\n满300元使用|\r\n"_s},
            {u"mmolianjie"_s, FieldKind::Memo, u"#|#|#\r\n"_s},
        },
        .generate = &btn16Click,
    };
    return pageSpec;
}

Generated btn16Click(PageState &state, const Services &)
{
    for (const QString &name : {u"mmojine"_s, u"mmoshuoming"_s, u"mmolianjie"_s}) {
        QString text = state.field(name);
        CleanPipeField(text);
        state.setField(name, text);
    }

    const QStringList amounts = SplitPipeList(state.field(u"mmojine"_s));
    const QStringList conditions = SplitPipeList(state.field(u"mmoshuoming"_s));
    const QStringList links = SplitPipeList(state.field(u"mmolianjie"_s));
    const QString cardBackground = state.field(u"edt5"_s);
    const QString cardText = state.field(u"edt6"_s);
    const QString tabBackground = state.field(u"edt7"_s);
    const QString tabText = state.field(u"edt8"_s);

    QStringList cards;
    for (int i = 0; i < couponCount; ++i) {
        const QString &link = PipeItem(links, i);
        const QString &amount = PipeItem(amounts, i);
        const QString &condition = PipeItem(conditions, i);
        // The first card starts at the left edge; the others keep a gap.
        const QString container = i == 0
            ? u"<div style=\"width:32%;height:100px; float:left; background-color:"_s
            : u"<div style=\"width:32%;margin-left:1.9%;height:100px; float:left; background-color:"_s;
        cards.append(u"<a style=\"text-decoration:none; color:"_s + cardText + u"\" href=\""_s + link
                     + u"\" target=\"_blank\">"_s + container + cardBackground + u"\">    "_s
                     + u"<div style=\"font-size:14px;float:left;width:15px; line-height:13px; margin-top:0px;"
                       " background-color:"_s
                     + tabBackground + u"; padding:8px 5px;color:"_s + tabText + u"\">领取</div>"_s
                     + u"<div style=\"float:left;line-height:100px;font-size:60px; font-family:arial;"
                       " padding-right:5px; font-weight:600; width:100px; text-align:center\">"_s
                     + amount + u"</div>       "_s
                     + u"<div style=\"font-size:18px;float:left;height:100px;\">"_s
                     + u"<div style=\"margin-top:23px;font-size:24px\">优惠券</div>"_s
                     + u"<div style=\"margin-top:0px; font-size:14px\">"_s + condition + u"</div>"_s
                     + u"</div></div></a>"_s);
    }

    const QString html = u"<div style=\"width:"_s + state.metrics.totalWidth
                       + u"px; height:100px;font-family:Microsoft YaHei; margin:10px 0;overflow:hidden\">"_s
                       + JoinLines(cards) + u"</div>"_s;
    return {html};
}

} // namespace orv::youhuiquan
