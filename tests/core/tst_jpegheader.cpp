#include "core/failure.h"
#include "core/jpegheader.h"
#include "support/testjpeg.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::test::makeJpeg;

class TstJpegHeader : public QObject {
    Q_OBJECT

private:
    static QString failureOf(const QByteArray &bytes)
    {
        try {
            orv::jpegSize(bytes);
        } catch (const orv::Failure &failure) {
            return failure.message();
        }
        return {};
    }

private slots:
    void naturalSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("750 x 1000") << 750 << 1000;
        QTest::newRow("1500 x 2000") << 1500 << 2000;
        QTest::newRow("40 high") << 300 << 40;
        QTest::newRow("1 x 1") << 1 << 1;
    }
    void naturalSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QCOMPARE(orv::jpegSize(makeJpeg(width, height)), QSize(width, height));
    }

    // Only the header is read: a picture whose image data was cut off still
    // measures.
    void imageDataIsNotDecoded()
    {
        const QByteArray jpeg = makeJpeg(64, 480);
        const qsizetype scan = jpeg.indexOf("\xFF\xDA");
        QVERIFY(scan > 0);
        QCOMPARE(orv::jpegSize(jpeg.left(scan + 40)), QSize(64, 480));
    }

    void emptyDataIsZeroByZero() { QCOMPARE(orv::jpegSize({}), QSize(0, 0)); }

    void notJpeg_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 33);
        QTest::newRow("GIF") << QByteArray("GIF89a\x10\0\x10\0\x80\0\0");
        QTest::newRow("HTML") << QByteArray("<!DOCTYPE html>\n<html><body>404 Not Found</body></html>\n");
    }
    void notJpeg()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(failureOf(bytes), u"JPEG error #53"_s);
    }

    // A header cut short is a decoder error, never a height.
    void truncatedHeader_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {3, 20, 100, 200})
            QTest::addRow("%d bytes", length) << length;
    }
    void truncatedHeader()
    {
        QFETCH(int, length);
        const QByteArray jpeg = makeJpeg(750, 1000);
        QVERIFY(jpeg.indexOf("\xFF\xDA") > length);
        const QString message = failureOf(jpeg.left(length));
        QVERIFY2(QRegularExpression(u"^JPEG error #\\d+$"_s).match(message).hasMatch(), qPrintable(message));
        QVERIFY(message != u"JPEG error #53"_s);
    }

    void file()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"1.jpg"_s);
        try {
            orv::jpegFileSize(path);
            QFAIL("a missing file measured");
        } catch (const orv::Failure &failure) {
            QCOMPARE(failure.message(), u"Cannot open file \"%1\". No such file or directory"_s.arg(path));
        }
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(makeJpeg(750, 1000));
        out.close();
        QCOMPARE(orv::jpegFileSize(path), QSize(750, 1000));
    }
};

QTEST_GUILESS_MAIN(TstJpegHeader)
#include "tst_jpegheader.moc"
