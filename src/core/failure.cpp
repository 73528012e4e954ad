#include "failure.h"

namespace orv {

Failure::Failure(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

Failure Failure::listIndexOutOfBounds(qsizetype index)
{
    return Failure(QStringLiteral("List index out of bounds (%1)").arg(index));
}

Failure Failure::notAnInteger(const QString &text)
{
    return Failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

Failure Failure::cannotCreateFile(const QString &path, const QString &reason)
{
    return Failure(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

Failure Failure::cannotOpenFile(const QString &path, const QString &reason)
{
    return Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

QString errorBoxText(const QString &message)
{
    // A Chinese sentence's own stops end it too: "。." would be no sentence.
    static const QString sentenceStops = QStringLiteral("。！？");
    if (!message.isEmpty() && message.back() > QLatin1Char('.') && !sentenceStops.contains(message.back()))
        return message + QLatin1Char('.');
    return message;
}

int toInteger(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw Failure::notAnInteger(text);
    return value;
}

} // namespace orv
