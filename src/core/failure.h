#pragma once

#include <QString>

#include <exception>

namespace orv {

// A failure that ends the running action at once. Its message is shown in the
// standard error box; whatever the action changed before it stays changed.
class Failure : public std::exception {
public:
    explicit Failure(QString message);

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static Failure listIndexOutOfBounds(qsizetype index);
    static Failure notAnInteger(const QString &text);
    static Failure cannotCreateFile(const QString &path, const QString &reason);
    static Failure cannotOpenFile(const QString &path, const QString &reason);

private:
    QString m_message;
    QByteArray m_utf8;
};

// The text of the standard error box: the message, with a full stop added when
// its last character sorts after "." (letters, digits, CJK), not after ")" or
// "!", nor after a Chinese sentence's own stop ("。", "！", "？").
QString errorBoxText(const QString &message);

// A decimal whole number as typed into a count field; surrounding blanks are
// allowed. Anything else fails with "'%s' is not a valid integer value".
int toInteger(const QString &text);

} // namespace orv
