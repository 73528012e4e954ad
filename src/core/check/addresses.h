#pragma once

#include "core/check/htmlparser.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orv::check {

// An address as a browser reads it: without surrounding blanks and control
// characters and without tabs and line breaks inside ("java\tscript:" is
// "javascript:").
QString cleanAddress(QStringView address);

// The scheme of a cleaned address in lower case ("https"); empty when it has
// none (relative, "//host/...").
QString addressScheme(QStringView address);

// The host of a cleaned address in lower case, for "scheme://host/..." and
// "//host/..."; empty otherwise.
QString addressHost(QStringView address);

// Whether host is one of domains or a subdomain of one.
bool hostWithin(QStringView host, const QStringList &domains);

// What an address of a page is for.
enum class AddressRole {
    Picture, // <img src>, a background attribute, url(...) in a background style
    Link,    // <a href>, <area href>
    Other,   // any other attribute that takes an address
};

struct PageAddress {
    AddressRole role = AddressRole::Other;
    QString attribute;    // the attribute's name; "style" for url(...)
    QString address;      // as written, character references decoded
    qsizetype offset = 0; // of the address in the text
};

// The addresses an element's attributes and inline style give, in order.
QList<PageAddress> elementAddresses(const HtmlElement &element);

} // namespace orv::check
