#include "placeholders.h"

#include <QRegularExpression>

#include <algorithm>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr int largestSide = 4000;

bool within(QStringView host, QStringView domain)
{
    return host == domain
           || (host.size() > domain.size() && host.endsWith(domain) && host[host.size() - domain.size() - 1] == u'.');
}

QString drawnPicture(int width, int height)
{
    const QString svg = uR"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%2">)"
                        uR"(<rect width="100%" height="100%" fill="#E6E6E6"/>)"
                        uR"(<text x="50%" y="50%" fill="#9A9A9A" font-family="sans-serif" font-size="%3")"
                        uR"( text-anchor="middle" dominant-baseline="middle">%1 × %2</text></svg>)"_s.arg(width)
                            .arg(height)
                            .arg(std::clamp(std::min(width, height) / 6, 10, 48));
    return u"data:image/svg+xml;base64,"_s + QString::fromLatin1(svg.toUtf8().toBase64());
}

} // namespace

bool isPlaceholderHost(QStringView host)
{
    return within(host, u"invalid") || within(host, u"example.com") || within(host, u"example.net")
           || within(host, u"example.org");
}

QString withDrawnPlaceholders(const QString &html)
{
    static const QRegularExpression address(
        uR"(https?://placeholder\.invalid/([0-9]{1,4})x([0-9]{1,4})[^"'\s<>|()]*)"_s,
        QRegularExpression::CaseInsensitiveOption);
    if (!html.contains(u"placeholder.invalid"_s, Qt::CaseInsensitive))
        return html;
    QString out;
    qsizetype from = 0;
    QRegularExpressionMatchIterator it = address.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int width = match.captured(1).toInt();
        const int height = match.captured(2).toInt();
        if (width < 1 || height < 1 || width > largestSide || height > largestSide)
            continue;
        out += QStringView(html).sliced(from, match.capturedStart() - from);
        out += drawnPicture(width, height);
        from = match.capturedEnd();
    }
    out += QStringView(html).sliced(from);
    return out;
}

} // namespace orv
