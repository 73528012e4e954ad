#pragma once

#include <QString>
#include <QTest>

namespace orv::test {

// The path of a file under tests/data/.
QString dataPath(const QString &relative);
QByteArray readData(const QString &relative);

// Whether text is, byte for byte as UTF-8, the golden file tests/data/<path>;
// when not, why says where they part. With ORVANTA_UPDATE_GOLDEN=1 in the
// environment the file is written from text instead and this returns true:
// the way to take an intended change, reviewed in the diff.
bool matchesGolden(const QString &text, const QString &path, QString *why);

// The golden file of the running data row: <folder>/<data tag>.html.
inline QString goldenCase(const QString &folder)
{
    return folder + u'/' + QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".html");
}

} // namespace orv::test

#define ORV_COMPARE_GOLDEN(text, path)                                                                                 \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        QVERIFY2(orv::test::matchesGolden((text), (path), &why_), qPrintable(why_));                                   \
    } while (false)
