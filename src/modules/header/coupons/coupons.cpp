#include "coupons.h"

#include "core/linelist.h"
#include "core/pipelist.h"

namespace orv::coupons {

using namespace Qt::StringLiterals;

namespace {

constexpr int couponCount = 3;

} // namespace

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsyouhuiquan"_s,
        .pageCaption = u"优惠券"_s,
        .navButton = u"btnyouhuiquan"_s,
        .moduleName = u"优惠券"_s,
        .generateButton = u"btn16"_s,
        .addButton = u"btntianjia"_s,
        .form = u":/forms/coupons.ui"_s,
        .fields = {
            {u"card_colour"_s, u"edt5"_s, u"版块底色："_s, FieldKind::Colour, u"#66F"_s},
            {u"card_text_colour"_s, u"edt6"_s, u"文字颜色："_s, FieldKind::Colour, u"#FFF"_s},
            {u"tab_colour"_s, u"edt7"_s, u"领取底色："_s, FieldKind::Colour, u"#F60"_s},
            {u"tab_text_colour"_s, u"edt8"_s, u"文字颜色："_s, FieldKind::Colour, u"#FFF"_s},
            {u"amounts"_s, u"mmojine"_s, u"优惠金额 | 隔开"_s, FieldKind::Memo, u"10|20|50\r\n"_s},
            {u"conditions"_s, u"mmoshuoming"_s, u"使用说明 | 隔开"_s, FieldKind::Memo,
             u"满100元使用|\r\n满200元使用|\r\n满300元使用|\r\n"_s},
            {u"links"_s, u"mmolianjie"_s, u"链接列表 | 隔开"_s, FieldKind::Memo, u"#|#|#\r\n"_s},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &)
{
    for (const QString &key : {u"amounts"_s, u"conditions"_s, u"links"_s}) {
        QString text = state.field(key);
        cleanPipeField(text);
        state.setField(key, text);
    }

    const QString width = QString::number(state.metrics.totalWidth);
    const QStringList amounts = splitPipeList(state.field(u"amounts"_s));
    const QStringList conditions = splitPipeList(state.field(u"conditions"_s));
    const QStringList links = splitPipeList(state.field(u"links"_s));
    const QString cardBackground = state.field(u"card_colour"_s);
    const QString cardText = state.field(u"card_text_colour"_s);
    const QString tabBackground = state.field(u"tab_colour"_s);
    const QString tabText = state.field(u"tab_text_colour"_s);

    QStringList cards;
    for (int i = 0; i < couponCount; ++i) {
        const QString &link = pipeItem(links, i);
        const QString &amount = pipeItem(amounts, i);
        const QString &condition = pipeItem(conditions, i);
        // The first card starts at the left edge; the others keep a gap.
        // clang-format off
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
        // clang-format on
    }

    // clang-format off
    const QString html = u"<div style=\"width:"_s + width
                       + u"px; height:100px;font-family:Microsoft YaHei; margin:10px 0;overflow:hidden\">"_s
                       + joinLines(cards) + u"</div>"_s;
    // clang-format on
    return {html};
}

} // namespace orv::coupons
