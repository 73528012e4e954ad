#include "numberformat.h"

#include <QDateTime>
#include <QList>
#include <QLocale>

#include <cmath>
#include <optional>

namespace orv::sheets {

using namespace Qt::StringLiterals;

namespace {

// One piece of a format code.
struct Token {
    enum Kind { Literal, Digit, Point, Comma, Percent, Date, General, Unknown };
    Kind kind;
    QString text; // Literal: the text; Digit: "0", "#" or "?"; Date: "yyyy", "m", "AM/PM"...
};

bool isDateLetter(QChar c)
{
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's';
}

// The sections of a code, split at ";" outside quotes and brackets.
QStringList sections(const QString &code)
{
    QStringList parts(QString{});
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'\\' && !quoted && i + 1 < code.size()) {
            parts.last() += c;
            parts.last() += code[++i];
            continue;
        }
        quoted ^= c == u'"';
        bracket = !quoted && (c == u'[' || (bracket && c != u']'));
        if (c == u';' && !quoted && !bracket)
            parts.append(QString());
        else
            parts.last() += c;
    }
    return parts;
}

QList<Token> tokens(const QString &section)
{
    QList<Token> out;
    const auto literal = [&](const QString &text) {
        if (!out.isEmpty() && out.last().kind == Token::Literal)
            out.last().text += text;
        else
            out.append(Token{Token::Literal, text});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        const QStringView rest = QStringView(section).sliced(i);
        if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            literal(section.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\' && i + 1 < section.size()) {
            literal(section.mid(++i, 1));
        } else if ((c == u'_' || c == u'*') && i + 1 < section.size()) {
            ++i; // padding to a character's width, or filling: nothing in text
        } else if (c == u'[') {
            const qsizetype close = section.indexOf(u']', i);
            const QString inside = section.mid(i + 1, (close < 0 ? section.size() : close) - i - 1);
            if (inside.startsWith(u'$'))
                literal(inside.mid(1).section(u'-', 0, 0)); // [$¥-804]: a currency sign
            else if (!inside.isEmpty()
                     && (inside[0] == u'<' || inside[0] == u'>' || inside[0] == u'=' || isDateLetter(inside[0])))
                out.append(Token{Token::Unknown, inside}); // a condition or elapsed time
            // else a colour: nothing in text
            i = close < 0 ? section.size() : close;
        } else if (rest.startsWith(u"general"_s, Qt::CaseInsensitive)) {
            out.append(Token{Token::General, {}});
            i += 6;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            out.append(Token{Token::Digit, QString(c)});
        } else if (c == u'.') {
            out.append(Token{Token::Point, {}});
        } else if (c == u',') {
            out.append(Token{Token::Comma, {}});
        } else if (c == u'%') {
            out.append(Token{Token::Percent, {}});
            literal(u"%"_s);
        } else if (rest.startsWith(u"AM/PM"_s, Qt::CaseInsensitive) || rest.startsWith(u"上午/下午"_s)) {
            out.append(Token{Token::Date, rest.left(5).toString()});
            i += 4;
        } else if (rest.startsWith(u"A/P"_s, Qt::CaseInsensitive)) {
            out.append(Token{Token::Date, rest.left(3).toString()});
            i += 2;
        } else if (isDateLetter(c)) {
            qsizetype n = 1;
            while (i + n < section.size() && section[i + n].toLower() == c.toLower())
                ++n;
            out.append(Token{Token::Date, section.mid(i, n).toLower()});
            i += n - 1;
        } else if (c == u'@'
                   || ((c == u'E' || c == u'e') && i + 1 < section.size()
                       && (section[i + 1] == u'+' || section[i + 1] == u'-'))) {
            out.append(Token{Token::Unknown, QString(c)}); // text, or an exponent
        } else if (c == u'/' && !out.isEmpty() && out.last().kind == Token::Digit) {
            out.append(Token{Token::Unknown, QString(c)}); // a fraction
        } else {
            literal(QString(c));
        }
    }
    return out;
}

// The decimal digits of a non-negative number rounded half up to the given
// places, read from its 15 significant digits as spreadsheet programs do
// (2.675 to two places is 2.68): the whole part and the places.
std::pair<QString, QString> roundedDigits(double value, int places)
{
    const QByteArray e = QByteArray::number(value, 'e', 14); // "d.dddddddddddddde+XX"
    const qsizetype ePos = e.indexOf('e');
    QByteArray digits = e.left(1) + e.mid(2, ePos - 2);
    qsizetype point = e.mid(ePos + 1).toInt() + 1; // digits before the decimal point
    if (value == 0)
        digits = "0", point = 1;
    if (point < 1) {
        digits.prepend(QByteArray(1 - point, '0'));
        point = 1;
    }
    const qsizetype keep = point + places;
    if (digits.size() < keep + 1)
        digits.append(QByteArray(keep + 1 - digits.size(), '0'));
    const bool up = digits[keep] >= '5';
    digits.truncate(keep);
    for (qsizetype i = keep - 1; up && i >= 0; --i) {
        if (digits[i] < '9') {
            ++digits[i];
            break;
        }
        digits[i] = '0';
        if (i == 0) {
            digits.prepend('1');
            ++point;
        }
    }
    QString whole = QString::fromLatin1(digits.left(point));
    while (whole.size() > 1 && whole[0] == u'0')
        whole.remove(0, 1);
    return {whole, QString::fromLatin1(digits.mid(point))};
}

std::optional<QString> formatDecimal(double value, const QList<Token> &parts, bool sign)
{
    qsizetype first = -1;
    qsizetype last = -1;
    int percents = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].kind == Token::Digit) {
            if (first < 0)
                first = i;
            last = i;
        }
        percents += parts[i].kind == Token::Percent;
    }
    int wholeZeros = 0;
    int places = 0;
    int placeZeros = 0;
    bool point = false;
    bool grouping = false;
    int scale = 0; // commas after the last digit: thousands
    for (qsizetype i = first; i <= last; ++i) {
        const Token &t = parts[i];
        if (t.kind == Token::Point) {
            point = true;
        } else if (t.kind == Token::Digit) {
            if (point) {
                ++places;
                placeZeros += t.text == u"0";
            } else {
                wholeZeros += t.text == u"0";
            }
        } else if (t.kind == Token::Comma) {
            grouping |= !point;
        } else if (t.kind != Token::Percent) {
            return std::nullopt; // text between the digits: not known
        }
    }
    for (qsizetype i = last + 1; i < parts.size() && parts[i].kind == Token::Comma; ++i)
        ++scale;
    for (qsizetype i = last + 1; i < parts.size() && parts[i].kind == Token::Point; ++i)
        point = true;

    double shown = std::fabs(value) * std::pow(100.0, percents) / std::pow(1000.0, scale);
    auto [whole, fraction] = roundedDigits(shown, places);
    while (fraction.size() > placeZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole == u"0" && wholeZeros == 0)
        whole.clear();
    while (whole.size() < wholeZeros)
        whole.prepend(u'0');
    if (grouping) {
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, u',');
    }
    QString number = whole;
    if (point)
        number += u'.' + fraction;
    const bool zero = !std::any_of(number.cbegin(), number.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });

    QString out = sign && value < 0 && !zero ? u"-"_s : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i == first)
            out += number;
        else if ((i < first || i > last) && parts[i].kind == Token::Literal)
            out += parts[i].text;
    }
    return out;
}

std::optional<QString> formatDate(double value, const QList<Token> &parts, QDate origin)
{
    if (!(value >= 0 && value < 3000000))
        return std::nullopt;
    double days = std::floor(value);
    qint64 seconds = qRound64((value - days) * 86400);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;
    }
    const QDate date = origin.addDays(qint64(days));
    const QTime time = QTime(0, 0).addSecs(int(seconds));
    bool twelve = false;
    for (const Token &t : parts)
        twelve |= t.kind == Token::Date && t.text.contains(u'/');
    const QLocale english(QLocale::English);

    QString out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Token &t = parts[i];
        if (t.kind == Token::Literal || t.kind == Token::Point || t.kind == Token::Comma) {
            out += t.kind == Token::Literal ? t.text : t.kind == Token::Point ? u"."_s : u","_s;
            continue;
        }
        if (t.kind != Token::Date)
            return std::nullopt;
        const QString &f = t.text;
        const QChar letter = f[0];
        const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        // "m" is minutes just after hours or just before seconds.
        const auto nearTime = [&] {
            for (qsizetype j = i - 1; j >= 0; --j) {
                if (parts[j].kind == Token::Date)
                    return parts[j].text[0] == u'h';
            }
            return false;
        };
        const auto beforeSeconds = [&] {
            for (qsizetype j = i + 1; j < parts.size(); ++j) {
                if (parts[j].kind == Token::Date)
                    return parts[j].text[0] == u's';
            }
            return false;
        };
        if (f.contains(u'/') || f.startsWith(u'上')) {
            const bool pm = time.hour() >= 12;
            if (f.startsWith(u'上'))
                out += pm ? u"下午"_s : u"上午"_s;
            else if (f.size() == 3)
                out += pm ? u"P"_s : u"A"_s;
            else
                out += pm ? u"PM"_s : u"AM"_s;
        } else if (letter == u'y') {
            out += f.size() <= 2 ? two(date.year() % 100) : QString::number(date.year());
        } else if (letter == u'm' && f.size() <= 2 && (nearTime() || beforeSeconds())) {
            out += f.size() == 2 ? two(time.minute()) : QString::number(time.minute());
        } else if (letter == u'm') {
            if (f.size() >= 5)
                out += english.monthName(date.month()).left(1);
            else if (f.size() >= 3)
                out += f.size() == 3 ? english.monthName(date.month(), QLocale::ShortFormat)
                                     : english.monthName(date.month());
            else
                out += f.size() == 2 ? two(date.month()) : QString::number(date.month());
        } else if (letter == u'd') {
            if (f.size() >= 3)
                out += f.size() == 3 ? english.dayName(date.dayOfWeek(), QLocale::ShortFormat)
                                     : english.dayName(date.dayOfWeek());
            else
                out += f.size() == 2 ? two(date.day()) : QString::number(date.day());
        } else if (letter == u'h') {
            int hour = time.hour();
            if (twelve)
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += f.size() >= 2 ? two(hour) : QString::number(hour);
        } else {
            out += f.size() >= 2 ? two(time.second()) : QString::number(time.second());
        }
    }
    return out;
}

} // namespace

QString shortestNumber(double value)
{
    if (value == 0)
        return u"0"_s;
    const double size = std::fabs(value);
    if (size >= 1e-7 && size < 1e21)
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString formatNumber(double value, const QString &code, QDate origin)
{
    if (!std::isfinite(value) || code.isEmpty())
        return shortestNumber(value);
    const QStringList parts = sections(code);
    QString section = parts[0];
    bool sign = true;
    if (value < 0 && parts.size() >= 2) {
        section = parts[1];
        sign = false; // the second section shows negative numbers its own way
    } else if (value == 0 && parts.size() >= 3) {
        section = parts[2];
    }
    const QList<Token> pieces = tokens(section);
    bool date = false;
    bool digits = false;
    for (const Token &t : pieces) {
        if (t.kind == Token::Unknown)
            return shortestNumber(value);
        date |= t.kind == Token::Date;
        digits |= t.kind == Token::Digit;
    }
    std::optional<QString> shown;
    if (date)
        shown = formatDate(value, pieces, origin);
    else if (digits)
        shown = formatDecimal(value, pieces, sign);
    else {
        // General, or only text ("-" for zero in accounting formats).
        QString out;
        for (const Token &t : pieces)
            out += t.kind == Token::General ? (sign ? shortestNumber(value) : shortestNumber(std::fabs(value)))
                                            : t.text;
        shown = out;
    }
    return shown.value_or(shortestNumber(value));
}

QString builtInFormat(int id)
{
    switch (id) {
    case 1:
        return u"0"_s;
    case 2:
        return u"0.00"_s;
    case 3:
        return u"#,##0"_s;
    case 4:
        return u"#,##0.00"_s;
    case 9:
        return u"0%"_s;
    case 10:
        return u"0.00%"_s;
    case 14: // the short date of a Chinese system
        return u"yyyy/m/d"_s;
    case 15:
        return u"d-mmm-yy"_s;
    case 16:
        return u"d-mmm"_s;
    case 17:
        return u"mmm-yy"_s;
    case 18:
        return u"h:mm AM/PM"_s;
    case 19:
        return u"h:mm:ss AM/PM"_s;
    case 20:
        return u"h:mm"_s;
    case 21:
        return u"h:mm:ss"_s;
    case 22:
        return u"yyyy/m/d h:mm"_s;
    case 27:
    case 36:
    case 50:
    case 52:
    case 57:
        return u"yyyy\"年\"m\"月\""_s;
    case 28:
    case 29:
    case 51:
    case 53:
    case 54:
    case 58:
        return u"m\"月\"d\"日\""_s;
    case 30:
        return u"m-d-yy"_s;
    case 31:
        return u"yyyy\"年\"m\"月\"d\"日\""_s;
    case 32:
        return u"h\"时\"mm\"分\""_s;
    case 33:
        return u"h\"时\"mm\"分\"ss\"秒\""_s;
    case 34:
    case 55:
        return u"上午/下午h\"时\"mm\"分\""_s;
    case 35:
    case 56:
        return u"上午/下午h\"时\"mm\"分\"ss\"秒\""_s;
    case 37:
        return u"#,##0 ;(#,##0)"_s;
    case 39:
        return u"#,##0.00;(#,##0.00)"_s;
    case 45:
        return u"mm:ss"_s;
    default:
        return {};
    }
}

} // namespace orv::sheets
