#include "sizetable.h"

#include "core/linelist.h"

namespace orv::sizetable {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tschima"_s,
        .pageCaption = u"尺码"_s,
        .navButton = u"btnchima"_s,
        .moduleName = u"产品尺码"_s,
        .generateButton = u"btn19"_s,
        .addButton = u"btn6"_s,
        .form = u":/forms/sizetable.ui"_s,
        .fields = {
            {u"style"_s, u"rg4"_s, u"样式"_s, FieldKind::Radio, u"0"_s, {u"默认样式"_s}},
        },
        .generate = &generate,
    };
    return page;
}

const QString &sizeTable()
{
    // Line 2 starts with a tab.
    // clang-format off
    static const QString text = joinLines({
        uR"(<div style="width:750px; font-family: Microsoft YaHei;">)"_s,
        u"\t" uR"(<div style="text-align:center; font-size:20px; line-height:80px; font-weight:100;">产品尺码表 | 单位（cm）</div>)"_s,
        uR"(<table style="border-collapse: collapse; color: #333; font-size: 15px;" width="100%" border="1" cellpadding="0" cellspacing="0" bordercolor="#999">)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">尺码</td>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">胸围</td>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">腰围</td>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">肩宽</td>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">身高</td>)"_s,
        uR"(      <td height="30" align="center" bgcolor="#E6E6E6">衣长</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="25" align="center">S</td>)"_s,
        uR"(      <td height="25" align="center">36</td>)"_s,
        uR"(      <td height="25" align="center">37</td>)"_s,
        uR"(      <td height="25" align="center">38</td>)"_s,
        uR"(      <td height="25" align="center">39</td>)"_s,
        uR"(      <td height="25" align="center">40</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="25" align="center">M</td>)"_s,
        uR"(      <td height="25" align="center">41</td>)"_s,
        uR"(      <td height="25" align="center">42</td>)"_s,
        uR"(      <td height="25" align="center">43</td>)"_s,
        uR"(      <td height="25" align="center">44</td>)"_s,
        uR"(      <td height="25" align="center">45</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="25" align="center">L</td>)"_s,
        uR"(      <td height="25" align="center">35</td>)"_s,
        uR"(      <td height="25" align="center">36</td>)"_s,
        uR"(      <td height="25" align="center">37</td>)"_s,
        uR"(      <td height="25" align="center">38</td>)"_s,
        uR"(      <td height="25" align="center">39</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="25" align="center">XL</td>)"_s,
        uR"(      <td height="25" align="center">40</td>)"_s,
        uR"(      <td height="25" align="center">41</td>)"_s,
        uR"(      <td height="25" align="center">42</td>)"_s,
        uR"(      <td height="25" align="center">43</td>)"_s,
        uR"(      <td height="25" align="center">45</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(    <tr>)"_s,
        uR"(      <td height="25" align="center">XXL</td>)"_s,
        uR"(      <td height="25" align="center">46</td>)"_s,
        uR"(      <td height="25" align="center">47</td>)"_s,
        uR"(      <td height="25" align="center">48</td>)"_s,
        uR"(      <td height="25" align="center">49</td>)"_s,
        uR"(      <td height="25" align="center">50</td>)"_s,
        uR"(    </tr>)"_s,
        uR"(  </table>)"_s,
        uR"(  <div style="text-align:center; font-size:14px; line-height:60px; color:#999">备注信息：以上尺码为手工测量，可能会有1-3cm误差，实际以实物为准</div>)"_s,
        uR"(</div>)"_s,
    });
    // clang-format on
    return text;
}

Generated generate(PageState &, const Services &)
{
    return {sizeTable()};
}

} // namespace orv::sizetable
