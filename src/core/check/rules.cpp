#include "rules.h"

namespace orv::check {

using namespace Qt::StringLiterals;

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return u"错误"_s;
    case Severity::Warning:
        return u"警告"_s;
    case Severity::Info:
        break;
    }
    return u"提示"_s;
}

QString severityKey(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return u"error"_s;
    case Severity::Warning:
        return u"warning"_s;
    case Severity::Info:
        break;
    }
    return u"info"_s;
}

const QList<Rule> &rules()
{
    using enum FindingKind;
    using enum Severity;
    // clang-format off
    static const QList<Rule> table{
        {LengthOver, u"length"_s, u"长度"_s, Error,
         u"代码共 %1 个字符（UTF-8 编码 %2 字节），达到了 %3 个字符的上限"_s,
         u"删去或精简部分模块，使代码少于 %3 个字符"_s},
        {LengthNear, u"length"_s, u"长度"_s, Warning,
         u"代码共 %1 个字符（UTF-8 编码 %2 字节），接近 %3 个字符的上限"_s,
         u"再添加模块之前，先精简已有的模块"_s},
        {LengthShort, u"length"_s, u"长度"_s, Error,
         u"代码只有 %1 个字符（UTF-8 编码 %2 字节），内容过短"_s,
         u"先生成模块代码或汇总，再检查"_s},
        {ForbiddenTag, u"tags"_s, u"禁用标签"_s, Error,
         u"平台会删除 <%1> 标签"_s,
         u"删除该标签，只用图片、文字、链接和内联样式"_s},
        {EventAttribute, u"scripting"_s, u"脚本"_s, Error,
         u"平台不允许事件属性 %1"_s,
         u"删除该属性：详情页中不能运行脚本"_s},
        {ScriptAddress, u"scripting"_s, u"脚本"_s, Error,
         u"平台不允许脚本地址：%1"_s,
         u"改为商品或店铺页面的网址"_s},
        {StyleScript, u"scripting"_s, u"脚本"_s, Error,
         u"样式中含有脚本：%1"_s,
         u"删除 expression( 和 behavior 样式"_s},
        {DataAddress, u"data-uri"_s, u"data 地址"_s, Error,
         u"平台不接受 data: 地址：%1"_s,
         u"把图片上传到图片空间，改用图片的网址"_s},
        {WideElement, u"overflow"_s, u"超宽"_s, Error,
         u"宽 %1 像素，超出页面宽度 %2 像素"_s,
         u"把宽度改为不超过 %2 像素，或放进宽度不超过 %2 像素且 overflow:hidden 的容器"_s},
        {WideRendering, u"overflow"_s, u"超宽"_s, Error,
         u"页面显示宽 %1 像素，超出页面宽度 %2 像素"_s,
         u"检查宽度、内边距、边框或外边距较大的模块"_s},
        {HttpAddress, u"http"_s, u"http 地址"_s, Warning,
         u"使用 http 地址：%1"_s,
         u"改用 https 地址，否则可能不显示或被浏览器拦截"_s},
        {HttpUpgradedAddress, u"http"_s, u"http 地址"_s, Info,
         u"使用 http 地址：%1（平台会自动改为 https）"_s,
         u"可以直接改用 https 地址"_s},
        {ForeignPicture, u"image-host"_s, u"图片空间"_s, Warning,
         u"图片不在平台的图片空间：%1"_s,
         u"把图片上传到图片空间，改用 alicdn.com 上的网址"_s},
        {ForeignLink, u"link-host"_s, u"站外链接"_s, Warning,
         u"链接指向平台以外的网站：%1"_s,
         u"只链接到 taobao.com、tmall.com 或 tb.cn 的页面"_s},
        {PlaceholderLink, u"placeholder-link"_s, u"占位链接"_s, Warning,
         u"链接是占位地址：%1"_s,
         u"填写真实的商品或店铺链接"_s},
        {PositionedStyle, u"position"_s, u"定位"_s, Warning,
         u"样式 position:%1 可能被平台删除，或使内容错位"_s,
         u"去掉定位；position:relative 可以保留"_s},
        {StyleAddress, u"css-url"_s, u"样式地址"_s, Warning,
         u"样式中的 %1 可能被平台删除"_s,
         u"背景图片改用 <img> 图片"_s},
        {UnclosedTag, u"markup"_s, u"标签结构"_s, Warning,
         u"<%1> 标签没有结束标签"_s,
         u"在合适的位置补上 </%1>"_s},
        {StrayEndTag, u"markup"_s, u"标签结构"_s, Warning,
         u"多余的结束标签 </%1>"_s,
         u"删除它，或补上对应的开始标签"_s},
        {UnterminatedComment, u"markup"_s, u"标签结构"_s, Warning,
         u"注释没有结束（缺少 -->），后面的内容都不会显示"_s,
         u"在注释末尾补上 -->"_s},
        {UnterminatedTag, u"markup"_s, u"标签结构"_s, Warning,
         u"<%1> 标签没有以 > 结束"_s,
         u"补上 >"_s},
        {UnterminatedQuote, u"markup"_s, u"标签结构"_s, Warning,
         u"属性 %1 的引号没有闭合，后面的内容都成了属性值"_s,
         u"补上引号"_s},
        {RepeatedAttribute, u"markup"_s, u"标签结构"_s, Warning,
         u"属性 %1 重复，后一个会被忽略"_s,
         u"把两个属性合并成一个"_s},
        {DeepNesting, u"markup"_s, u"标签结构"_s, Warning,
         u"标签嵌套超过 1024 层，从 <%1> 起的内容没有检查"_s,
         u"补上缺少的结束标签"_s},
        {ClassOrId, u"class-id"_s, u"class 和 id"_s, Info,
         u"%1 属性在平台上不起作用"_s,
         u"改用内联样式 style"_s},
        {PictureDead, u"picture-dead"_s, u"图片失效"_s, Error,
         u"图片无法下载：%1"_s,
         u"检查图片地址，或重新上传图片"_s},
        {PictureFormat, u"picture-format"_s, u"图片格式"_s, Error,
         u"图片不是可用的格式：%1（%2）"_s,
         u"改用 JPEG、PNG、GIF、BMP 或 WebP 图片"_s},
        {PictureWide, u"picture-wide"_s, u"图片超宽"_s, Warning,
         u"图片宽 %1 像素，超过页面宽度 %2 像素，会被缩小：%3"_s,
         u"把图片裁切或缩放到页面宽度"_s},
        {MobileFit, u"mobile-fit"_s, u"手机详情"_s, Info,
         u"手机详情导入图片时不接受这张图片（%1）：%2"_s,
         u"手机详情的图片宽 480 到 1500 像素、高不超过 2500 像素、大小不超过 3 MB"_s},
        {PlaceholderPicture, u"placeholder-picture"_s, u"占位图片"_s, Warning,
         u"图片是占位图片，还没有换成商品图片：%1"_s,
         u"把商品图片上传到图片空间，换成图片空间的网址"_s},
        {LinkTooLow, u"mobile-link"_s, u"手机链接"_s, Warning,
         u"链接在页面上只有 %1 像素高，手机详情图片上不会有它的热区：%2"_s,
         u"把链接放在至少 10 像素高的文字、按钮或图片上"_s},
        {LinkOverlap, u"mobile-link"_s, u"手机链接"_s, Warning,
         u"链接与另一个链接（%2）重叠，手机详情图片上的热区会互相遮挡：%1"_s,
         u"让两个链接的区域互不重叠"_s},
    };
    // clang-format on
    return table;
}

const Rule &rule(FindingKind kind)
{
    return rules().at(qsizetype(kind));
}

const QStringList &forbiddenTags()
{
    static const QStringList tags{u"script"_s, u"iframe"_s, u"frame"_s, u"object"_s, u"embed"_s,
                                  u"applet"_s, u"form"_s,   u"input"_s, u"select"_s, u"textarea"_s,
                                  u"link"_s,   u"meta"_s,   u"base"_s,  u"style"_s};
    return tags;
}

const QStringList &pictureHosts()
{
    static const QStringList hosts{u"alicdn.com"_s, u"taobaocdn.com"_s, u"tbcdn.cn"_s};
    return hosts;
}

const QStringList &linkHosts()
{
    static const QStringList hosts{u"taobao.com"_s, u"tmall.com"_s, u"tb.cn"_s};
    return hosts;
}

const QStringList &httpsUpgradeHosts()
{
    return pictureHosts();
}

} // namespace orv::check
