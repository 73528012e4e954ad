#include "parameters.h"

#include "core/linelist.h"

namespace orv::parameters {

using namespace Qt::StringLiterals;

const PageSpec &pageSpec()
{
    static const PageSpec page{
        .id = u"tscanshu"_s,
        .pageCaption = u"参数"_s,
        .navButton = u"btncanshu"_s,
        .moduleName = u"产品参数"_s,
        .generateButton = u"btn18"_s,
        .addButton = u"btn5"_s,
        .form = u":/forms/parameters.ui"_s,
        .fields = {
            {u"parameters"_s, u"mmocanshu"_s, u"参数信息，一行一个信息 ( 7行内 )"_s, FieldKind::Memo,
             joinLines({u"CPU型号：苹果A7 "_s, u"屏幕尺寸：4.0英寸 "_s, u"运行内存：1GB "_s,
                        u"屏幕分辨率：1136×640像素 "_s, u"机身容量：16GB "_s,
                        u"操作系统：iOS 8.0 "_s, u"后置相机：800万像素"_s})},
            {u"picture"_s, u"edtcanshutu"_s, u"产品图片："_s, FieldKind::Edit,
             u"https://img.alicdn.com/imgextra/i1/2200000000001/O1CN01canshu_!!2200000000001.jpg"_s},
        },
        .generate = &generate,
    };
    return page;
}

Generated generate(PageState &state, const Services &services)
{
    const QString width = QString::number(state.metrics.totalWidth);
    const QString picture = state.field(u"picture"_s);
    const QString memo = state.field(u"parameters"_s);
    const QStringList shown
        = services.displayedLines ? services.displayedLines(u"parameters"_s, memo) : splitLines(memo);
    QStringList lines;
    lines.reserve(shown.size());
    for (const QString &line : shown)
        lines.append(line + u"<br>"_s);

    // clang-format off
    QString html;
    html += u"<div style=\"width:"_s + width
          + u"px; margin:10px 0;background-color:#f5f5f5;padding:15px 0px; height:320px; font-family:Microsoft YaHei\">"_s
          + u"<div style=\"background-color:#FFF;height:320px; margin:0px 15px;\">"_s
          + u"<div style=\"width:320px; height:320px; overflow:hidden; float:left\">"_s
          + u"<img src=\""_s + picture + u"\" width=\"320\"/>"_s
          + u"</div>"_s
          + u"<div style=\"width:320px; height:300px;float:left;line-height:30px; font-size:14px; padding:10px; background-color:#FFF; padding-left:60px; color:#999\">"_s
          + u"<div style=\"font-size:18px; font-weight:600; line-height:60px; color:#333\">参数信息 /Parameters</div>"_s
          + joinLines(lines) + u"</div></div></div>"_s;
    // clang-format on
    return {html};
}

} // namespace orv::parameters
