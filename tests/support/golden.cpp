#include "golden.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orv::test {

using namespace Qt::StringLiterals;

namespace {

// Some characters either side of where two texts part, line breaks shown.
QString excerpt(const QByteArray &bytes, qsizetype at)
{
    const qsizetype from = qMax<qsizetype>(0, at - 40);
    QString text = QString::fromUtf8(bytes.mid(from, 80));
    text.replace(u"\r"_s, u"\\r"_s).replace(u"\n"_s, u"\\n"_s);
    return text;
}

} // namespace

QString dataPath(const QString &relative)
{
    return QStringLiteral(ORVANTA_TEST_DATA_DIR) + u'/' + relative;
}

QByteArray readData(const QString &relative)
{
    QFile file(dataPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read test data %s: %s", qPrintable(relative), qPrintable(file.errorString()));
    return file.readAll();
}

bool matchesGolden(const QString &text, const QString &path, QString *why)
{
    const QByteArray actual = text.toUtf8();
    const QString file = dataPath(path);
    if (qEnvironmentVariableIntValue("ORVANTA_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(file).path());
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(actual) != actual.size() || !out.commit()) {
            *why = u"cannot write %1: %2"_s.arg(file, out.errorString());
            return false;
        }
        return true;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *why = u"no golden file %1 (ORVANTA_UPDATE_GOLDEN=1 writes it)"_s.arg(path);
        return false;
    }
    const QByteArray expected = in.readAll();
    if (actual == expected)
        return true;
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual.at(at) == expected.at(at))
        ++at;
    *why = u"%1 differs at byte %2 (sizes %3, expected %4)\n   actual: %5\n expected: %6"_s.arg(path)
               .arg(at)
               .arg(actual.size())
               .arg(expected.size())
               .arg(excerpt(actual, at), excerpt(expected, at));
    return false;
}

} // namespace orv::test
