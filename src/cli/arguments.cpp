#include "arguments.h"

#include "cli/cli.h"
#include "core/failure.h"
#include "core/textinput.h"

#include <QFile>
#include <QFileInfo>

namespace orv::cli {

using namespace Qt::StringLiterals;

void usageError(const QString &message)
{
    throw UsageFailure{message};
}

QString quoted(const QString &text)
{
    return u"'"_s + text + u"'"_s;
}

Shop shopOption(const QString &name)
{
    if (const std::optional<Shop> shop = shopNamed(name))
        return *shop;
    usageError(u"unknown shop %1; use taobao or tmall"_s.arg(quoted(name)));
}

QStringList pageNames(const QList<const PageSpec *> &pages)
{
    QStringList names;
    for (const PageSpec *page : pages)
        names.append(page->id);
    return names;
}

const PageSpec *pageNamed(const QList<const PageSpec *> &pages, const QString &name)
{
    for (const PageSpec *page : pages) {
        if (page->id == name)
            return page;
    }
    usageError(u"unknown page %1; the pages are: %2"_s.arg(quoted(name), pageNames(pages).join(u", "_s)));
}

QString readText(QIODevice &device, const QString &source)
{
    const std::optional<QByteArray> bytes = readAtMost(device, maxInputBytes);
    if (!bytes)
        throw UsageFailure{u"cannot read %1: %2"_s.arg(source, device.errorString()), false};
    if (bytes->size() > maxInputBytes)
        throw UsageFailure{u"%1 is larger than %2 MiB"_s.arg(source).arg(maxInputBytes / (1024 * 1024)), false};
    try {
        return strictUtf8(*bytes, source);
    } catch (const Failure &failure) {
        throw UsageFailure{failure.message(), false};
    }
}

QString readTextFile(const QString &path)
{
    if (QFileInfo(path).isDir())
        throw UsageFailure{u"cannot read %1: it is a folder"_s.arg(quoted(path)), false};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UsageFailure{u"cannot read %1: %2"_s.arg(quoted(path), file.errorString()), false};
    return readText(file, quoted(path));
}

ArgumentReader::ArgumentReader(const QStringList &arguments)
    : m_arguments(arguments)
{
}

bool ArgumentReader::next()
{
    if (++m_at >= m_arguments.size())
        return false;
    const QString &given = argument();
    const qsizetype equals = given.startsWith(u"--"_s) ? given.indexOf(u'=') : -1;
    m_hasValue = equals >= 0;
    m_option = m_hasValue ? given.left(equals) : given;
    m_value = m_hasValue ? given.mid(equals + 1) : QString();
    return true;
}

bool ArgumentReader::isOption() const
{
    return argument().startsWith(u'-') && argument() != u"-"_s;
}

QString ArgumentReader::value()
{
    if (m_hasValue)
        return m_value;
    if (m_at + 1 >= m_arguments.size())
        usageError(u"%1 needs a value"_s.arg(m_option));
    return m_arguments.at(++m_at);
}

bool ArgumentReader::flag()
{
    if (m_hasValue)
        usageError(u"%1 takes no value"_s.arg(m_option));
    return true;
}

} // namespace orv::cli
