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

private slots:
    void size_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::newRow("750 x 1000") << makeJpeg(750, 1000) << QSize(750, 1000);
        QTest::newRow("1500 x 2000") << makeJpeg(1500, 2000) << QSize(1500, 2000);
        QTest::newRow("40 high") << makeJpeg(300, 40) << QSize(300, 40);
        QTest::newRow("empty") << QByteArray() << QSize(0, 0);
        // Only the header is read: cut-off image data does not matter.
        const QByteArray jpeg = makeJpeg(64, 480);
        QTest::newRow("image data cut") << jpeg.left(jpeg.indexOf("\xFF\xDA") + 40) << QSize(64, 480);
    }
    void size()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QCOMPARE(orv::jpegSize(bytes), size);
    }

    void rejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // a pattern
        static const char png[] = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0";
        QTest::newRow("PNG") << QByteArray(png, sizeof png - 1) << u"JPEG error #53"_s;
        QTest::newRow("HTML") << QByteArray("<!DOCTYPE html>\n<html><body>Not Found</body></html>\n")
                              << u"JPEG error #53"_s;
        for (int length : {2, 20, 100, 200}) // the header ends after byte 300
            QTest::addRow("header cut after %d bytes", length)
                << makeJpeg(750, 1000).left(length) << u"JPEG error #(?!53$)\\d+"_s;
    }
    void rejected()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        try {
            const QSize size = orv::jpegSize(bytes);
            QFAIL(qPrintable(u"measured %1 x %2"_s.arg(size.width()).arg(size.height())));
        } catch (const orv::Failure &failure) {
            QVERIFY2(QRegularExpression(u"^"_s + message + u"$"_s).match(failure.message()).hasMatch(),
                     qPrintable(failure.message()));
        }
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
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(makeJpeg(750, 1000)) > 0);
        out.close();
        QCOMPARE(orv::jpegFileSize(path), QSize(750, 1000));
    }
};

QTEST_GUILESS_MAIN(TstJpegHeader)
#include "tst_jpegheader.moc"
