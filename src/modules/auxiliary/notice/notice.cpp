#include "notice.h"

#include "core/linelist.h"

namespace orv::notice {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tsjiaoliu"_s,
        .pageCaption = u"交流"_s,
        .navButton = u"btnjiaoliu"_s,
        .moduleName = u"交流版块"_s,
        .generateButton = u"btn22"_s,
        .addButton = u"btn9"_s,
        .form = u":/forms/notice.ui"_s,
        .fields = {
            {u"style"_s, u"rg9"_s, u"关联样式"_s, FieldKind::Radio, u"0"_s, {u"买家必读"_s}},
            {u"label_colour"_s, u"edt22"_s, u"标签底色："_s, FieldKind::Colour, u"#F30"_s},
        },
        .generate = &generate,
    };
    return page;
}

const QString &buyerNotice()
{
    // clang-format off
    static const QString text = joinLines({
        uR"(  <table  style="font-size:14px; font-family:Microsoft YaHei; line-height:25px;border-collapse:collapse; color:#333" width="100%" cellpadding="0" cellspacing="0" border="1" bordercolor="#DFDFDF">)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="40" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">正品保障</div></td>)"_s,
        uR"(      <td width="88%" height="30" valign="middle"><div style="margin:0 20px;">本店所售产品均为全新正品，质量保证，请放心购买！</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="100" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">关于色差</div></td>)"_s,
        uR"(      <td height="30" valign="middle"><div style="margin:0 20px;">商品照片都为专业摄影师拍摄后和后期修正调整，尽量与现实商品保持一致。但由于灯光、显示器色彩偏差及个人对颜色理解各有不同，导致少数实物可能会与照片存在色差，如无法接受请谨慎购买。最终颜色会以实际商品为准，谢谢亲的理解！</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="40" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">关于尺寸</div></td>)"_s,
        uR"(      <td height="30" valign="middle"><div style="margin:0 20px;">纯由我们手工测量，可能存在0.5cm的误差，请不能接受误差的朋友慎拍。</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="30" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">关于配送</div></td>)"_s,
        uR"(      <td height="100" valign="middle"><div style="margin:0 20px;">为了确保亲们能收到完好的宝贝，我们提醒亲们在签收快递的时候，注意检查包装是否完好，并且是否有被拆过的痕迹哦！提醒亲们应该与快递当面验收您的快递包裹！本店默认：韵达快递，如需发其它快递，请联系在线客服。</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="30" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">7天退货</div></td>)"_s,
        uR"(      <td height="120" valign="middle"><div style="margin:0 20px;">A.本店支持7天无理由退换货服务，如果您对我们的商品不满意，在保存商品及包装原样情况下以退换一次。商品及包装原样指：商品未使用过、有吊牌、未拆标、配件齐全、未改装过、无人为损坏、不影响二次销售。)"_s,
        uR"(      B.因质量问题造成的退换货邮费由我们承担，非质量问题造成的退换货邮费由买家承担！</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="40" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">发货时间</div></td>)"_s,
        uR"(      <td height="30" valign="middle"><div style="margin:0 20px;">17点前付款的订单，当天发货，17点后付款的订单次日发货（大型活动期间，发货另行说明）</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="80" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">发货快递</div></td>)"_s,
        uR"(      <td height="30" valign="middle"><div style="margin:0 20px;">默认申通快递（除聚划算等大型活动外），如果亲所在的地区不在顺丰快递收送范围，亲可以直接联系在线客服协商快递</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td width="20%" height="80" align="center" valign="middle"><div style="height:40px; background-color:#666666; line-height:40px; color:#FFF; margin:10px; font-weight:700; font-size:15px;">收货提醒</div></td>)"_s,
        uR"(      <td height="30" valign="middle"><div style="margin:0 20px;">请您务必在签收快递前，确认商品完好无损后再签收，如检验商品过程中发现缺货、少货，可以拒签并第一时间联系我们。</div></td>)"_s,
        uR"(    </tr>)"_s,
        uR"(  </table>)"_s,
    });
    // clang-format on
    return text;
}

Generated generate(PageState &state, const Services &)
{
    const QString labelColour = state.field(u"label_colour"_s);
    QString html = u"<div style=\"width:750px;\">"_s + buyerNotice() + u"</div>"_s;
    // QString::replace goes on after each inserted text, so a colour that
    // itself holds "#666666" is inserted once and not replaced again.
    html.replace(u"#666666"_s, labelColour, Qt::CaseSensitive);
    return {html};
}

} // namespace orv::notice
