// Keys as file names: the same name on every system the program runs on,
// never leaving the output folder, never a device, never a hidden file, and
// unique where the system ignores case.

#include "filekeys.h"

#include "core/failure.h"

#include <QRegularExpression>
#include <QSet>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

bool isForbidden(char32_t c)
{
    static const QString windows = u"<>:\"/\\|?*"_s;
    const QChar::Category category = QChar::category(c);
    return (c < 0x80 && windows.contains(QChar(c))) || category == QChar::Other_Control
           || category == QChar::Other_Format || category == QChar::Other_Surrogate
           || category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse
           || category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
}

bool isDeviceName(const QString &name)
{
    // Windows reserves these with any extension, and ignores blanks before it.
    static const QRegularExpression device(u"^(CON|PRN|AUX|NUL|COM[0-9¹²³]|LPT[0-9¹²³]|CONIN\\$|CONOUT\\$)$"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(u'.', 0, 0).trimmed()).hasMatch();
}

// Cuts the name to at most maxKeyBytes of UTF-8 without splitting a character.
QString bounded(const QString &name, qsizetype bytes)
{
    if (name.size() * 3 <= bytes) // a UTF-16 unit is at most three bytes of UTF-8
        return name;
    QString out;
    qsizetype used = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool pair = name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        const QString c = name.mid(i, pair ? 2 : 1);
        used += c.toUtf8().size();
        if (used > bytes)
            break;
        out += c;
        i += pair ? 1 : 0;
    }
    return out;
}

QString withoutTrailingDotsAndBlanks(QString name)
{
    while (!name.isEmpty() && (name.back() == u'.' || name.back().isSpace()))
        name.chop(1);
    return name;
}

} // namespace

QString safeFileName(const QString &key)
{
    QString name;
    name.reserve(key.size());
    for (qsizetype i = 0; i < key.size(); ++i) {
        const bool pair = key[i].isHighSurrogate() && i + 1 < key.size() && key[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(key[i], key[i + 1]) : key[i].unicode();
        if (isForbidden(c))
            name += u'_';
        else
            name += key.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    name = withoutTrailingDotsAndBlanks(bounded(name.trimmed(), maxKeyBytes));
    // No hidden files, and nothing that reads as "." or "..".
    if (name.startsWith(u'.'))
        name[0] = u'_';
    if (isDeviceName(name))
        name.prepend(u'_');
    return name;
}

QStringList uniqueFileNames(const QStringList &names)
{
    QSet<QString> taken;
    QStringList out;
    out.reserve(names.size());
    for (const QString &name : names) {
        QString unique = name;
        for (int n = 2; taken.contains(unique.toCaseFolded()); ++n) {
            const QString suffix = u"-%1"_s.arg(n);
            unique = withoutTrailingDotsAndBlanks(bounded(name, maxKeyBytes - suffix.size())) + suffix;
        }
        taken.insert(unique.toCaseFolded());
        out.append(unique);
    }
    return out;
}

QStringList fileKeys(const Sheet &sheet, const QString &keyColumn)
{
    int column = -1;
    if (!trimmedName(keyColumn).isEmpty()) {
        column = sheet.column(keyColumn);
        if (column < 0)
            throw Failure(u"Sheet \"%1\" has no key column \"%2\" (its columns: %3)"_s.arg(
                sheet.path, trimmedName(keyColumn), sheet.columnList()));
    } else {
        column = sheet.column(u"outer_id"_s);
        if (column < 0)
            column = sheet.column(u"商家编码"_s);
    }
    QStringList names;
    names.reserve(sheet.rows.size());
    for (qsizetype i = 0; i < sheet.rows.size(); ++i) {
        const QString name = column < 0 ? QString() : safeFileName(sheet.rows[i].cells[column]);
        names.append(name.isEmpty() ? QString::number(i + 1) : name);
    }
    return uniqueFileNames(names);
}

} // namespace orv::sheets
