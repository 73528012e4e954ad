#include "addresses.h"

#include "core/check/style.h"

namespace orv::check {

using namespace Qt::StringLiterals;

namespace {

// Attributes whose value is an address.
bool takesAddress(const QString &name)
{
    static const QStringList names{u"href"_s,   u"src"_s,      u"background"_s, u"action"_s,  u"formaction"_s,
                                   u"data"_s,   u"codebase"_s, u"cite"_s,       u"poster"_s,  u"lowsrc"_s,
                                   u"dynsrc"_s, u"longdesc"_s, u"xlink:href"_s, u"manifest"_s};
    return names.contains(name);
}

AddressRole roleOf(const QString &element, const QString &attribute)
{
    if ((attribute == u"src"_s && element == u"img"_s) || attribute == u"background"_s)
        return AddressRole::Picture;
    if (attribute == u"href"_s && (element == u"a"_s || element == u"area"_s))
        return AddressRole::Link;
    return AddressRole::Other;
}

// Style properties whose url(...) is a picture the page shows.
bool showsPicture(const QString &property)
{
    static const QStringList properties{u"background"_s,       u"background-image"_s, u"list-style"_s,
                                        u"list-style-image"_s, u"border-image"_s,     u"border-image-source"_s};
    return properties.contains(property);
}

} // namespace

QString cleanAddress(QStringView address)
{
    qsizetype from = 0;
    qsizetype to = address.size();
    while (from < to && address[from].unicode() <= 0x20)
        ++from;
    while (to > from && address[to - 1].unicode() <= 0x20)
        --to;
    QString out;
    out.reserve(to - from);
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = address[i];
        if (c != u'\t' && c != u'\n' && c != u'\r')
            out.append(c);
    }
    return out;
}

QString addressScheme(QStringView address)
{
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == u':')
            return i == 0 ? QString() : address.first(i).toString().toLower();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!letter && !(i > 0 && other))
            return {};
    }
    return {};
}

QString addressHost(QStringView address)
{
    qsizetype start = -1;
    const QString scheme = addressScheme(address);
    // Browsers read "http:\\host" and "http:/host" as "http://host" too.
    const auto slashes = [&](qsizetype at) {
        qsizetype i = at;
        while (i < address.size() && (address[i] == u'/' || address[i] == u'\\'))
            ++i;
        return i;
    };
    if (!scheme.isEmpty()) {
        const qsizetype after = scheme.size() + 1;
        if (scheme == u"http"_s || scheme == u"https"_s)
            start = slashes(after);
        else if (address.sliced(after).startsWith(u"//"))
            start = after + 2;
    } else if (address.startsWith(u"//") || address.startsWith(u"\\\\")) {
        start = slashes(0);
    }
    if (start < 0)
        return {};
    qsizetype end = start;
    while (end < address.size() && address[end] != u'/' && address[end] != u'\\' && address[end] != u'?'
           && address[end] != u'#')
        ++end;
    QStringView authority = address.sliced(start, end - start);
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0)
        authority = authority.sliced(at + 1);
    if (!authority.startsWith(u'[')) { // not an IPv6 literal: the port goes
        if (const qsizetype colon = authority.indexOf(u':'); colon >= 0)
            authority = authority.first(colon);
    }
    QString host = authority.toString().toLower();
    while (host.endsWith(u'.'))
        host.chop(1);
    return host;
}

bool hostWithin(QStringView host, const QStringList &domains)
{
    for (const QString &domain : domains) {
        if (host == domain
            || (host.endsWith(domain) && host.size() > domain.size() && host[host.size() - domain.size() - 1] == u'.'))
            return true;
    }
    return false;
}

QList<PageAddress> elementAddresses(const HtmlElement &element)
{
    QList<PageAddress> out;
    for (const HtmlAttribute &attribute : element.attributes) {
        if (takesAddress(attribute.name)) {
            qsizetype first = 0;
            while (first < attribute.value.size() && attribute.value[first].unicode() <= 0x20)
                ++first;
            out.append({roleOf(element.name, attribute.name), attribute.name, attribute.value,
                        attribute.offsetInValue(first)});
        } else if (attribute.name == u"style"_s) {
            const StyleText css(attribute.value);
            for (const StyleDeclaration &declaration : splitStyle(css.text)) {
                for (const StyleUrl &url : styleUrls(declaration.value)) {
                    out.append({showsPicture(declaration.property) ? AddressRole::Picture : AddressRole::Other,
                                attribute.name, url.address,
                                attribute.offsetInValue(css.styleOffset(declaration.valueOffset + url.addressOffset))});
                }
            }
        }
    }
    return out;
}

} // namespace orv::check
