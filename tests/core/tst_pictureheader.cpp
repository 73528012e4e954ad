#include "core/failure.h"
#include "core/jpegheader.h"
#include "core/pictureheader.h"
#include "support/testjpeg.h"
#include "support/testpictures.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::PictureFormat;
using orv::PictureHeader;
using namespace orv::test;

namespace {

// The header of bytes handed over one by one, and in pieces of random size.
PictureHeader piecewise(const QByteArray &bytes, bool single)
{
    orv::PictureHeaderReader reader;
    QRandomGenerator random(uint(bytes.size()));
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = single ? 1 : 1 + random.bounded(7);
        reader.append(QByteArrayView(bytes).sliced(i, std::min(length, bytes.size() - i)));
        i += length;
    }
    return reader.header();
}

} // namespace

Q_DECLARE_METATYPE(orv::PictureHeader)

class TstPictureHeader : public QObject {
    Q_OBJECT

private slots:
    void header_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PictureHeader>("header");
        const auto ok = [](PictureFormat format, int width, int height) {
            return PictureHeader{format, width, height, {}};
        };
        const auto failed = [](PictureFormat format, const QString &failure) {
            return PictureHeader{format, 0, 0, failure};
        };
        QTest::newRow("JPEG") << orv::test::makeJpeg(750, 1000) << ok(PictureFormat::Jpeg, 750, 1000);
        QTest::newRow("PNG") << png(790, 2600) << ok(PictureFormat::Png, 790, 2600);
        QTest::newRow("PNG 1 x 1") << png(1, 1) << ok(PictureFormat::Png, 1, 1);
        QTest::newRow("GIF") << gif(480, 300) << ok(PictureFormat::Gif, 480, 300);
        QTest::newRow("GIF87a") << "GIF87a" + gif(640, 65535).mid(6) << ok(PictureFormat::Gif, 640, 65535);
        QTest::newRow("BMP") << bmp(1500, 200) << ok(PictureFormat::Bmp, 1500, 200);
        QTest::newRow("BMP top-down") << bmp(750, -400) << ok(PictureFormat::Bmp, 750, 400);
        QTest::newRow("BMP OS/2") << bmp(300, 20, 12) << ok(PictureFormat::Bmp, 300, 20);
        QTest::newRow("WebP lossy") << vp8(750 | 0x4000, 500) << ok(PictureFormat::WebP, 750, 500);
        QTest::newRow("WebP lossless") << vp8l(16384, 1) << ok(PictureFormat::WebP, 16384, 1);
        QTest::newRow("WebP extended") << vp8x(20000, 3) << ok(PictureFormat::WebP, 20000, 3);

        QTest::newRow("PNG without IHDR") << png(10, 10, "CgBI") << failed(PictureFormat::Png, u"PNG header damaged"_s);
        QTest::newRow("PNG 0 wide") << png(0, 10) << failed(PictureFormat::Png, u"PNG header damaged"_s);
        QTest::newRow("PNG too wide") << png(0x80000000u, 10) << failed(PictureFormat::Png, u"PNG header damaged"_s);
        QTest::newRow("BMP with a bad header size")
            << bmp(10, 10, 7) << failed(PictureFormat::Bmp, u"BMP header damaged"_s);
        QTest::newRow("BMP 0 wide") << bmp(0, 10) << failed(PictureFormat::Bmp, u"BMP header damaged"_s);
        QTest::newRow("WebP with an unknown chunk")
            << webp("VP8Y", QByteArray(20, 'x')) << failed(PictureFormat::WebP, u"WebP header damaged"_s);
        QTest::newRow("WebP lossy without start code")
            << vp8(10, 10, "\x9D\x01\x2B") << failed(PictureFormat::WebP, u"WebP header damaged"_s);
        QTest::newRow("WebP lossless without signature")
            << vp8l(10, 10, 0x2E) << failed(PictureFormat::WebP, u"WebP header damaged"_s);

        QTest::newRow("PNG cut") << png(10, 10).left(23) << failed(PictureFormat::Png, u"PNG header cut short"_s);
        QTest::newRow("GIF cut") << gif(10, 10).left(9) << failed(PictureFormat::Gif, u"GIF header cut short"_s);
        QTest::newRow("WebP cut") << vp8x(10, 10).left(29) << failed(PictureFormat::WebP, u"WebP header cut short"_s);
        QTest::newRow("JPEG cut") << orv::test::makeJpeg(750, 1000).left(100)
                                  << failed(PictureFormat::Jpeg, u"JPEG error #?"_s);

        const QString notPicture = u"not a JPEG, PNG, GIF, BMP or WebP picture"_s;
        QTest::newRow("HTML") << QByteArray("<!DOCTYPE html><html>Not Found</html>")
                              << failed(PictureFormat::Unsupported, notPicture);
        QTest::newRow("AVI") << webp("avih", QByteArray(20, 'x')).replace(8, 4, "AVI ")
                             << failed(PictureFormat::Unsupported, notPicture);
        QTest::newRow("TIFF") << QByteArray("II*\0\x08\0\0\0", 8) << failed(PictureFormat::Unsupported, notPicture);
        QTest::newRow("empty") << QByteArray() << failed(PictureFormat::Unknown, u"no data"_s);
        QTest::newRow("one byte of PNG") << QByteArray("\x89")
                                         << failed(PictureFormat::Unknown, u"too short to tell the format"_s);
        QTest::newRow("RIFF cut") << QByteArray("RIFF\0\0\0\0WEB", 11)
                                  << failed(PictureFormat::Unknown, u"too short to tell the format"_s);
    }
    void header()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PictureHeader, header);
        const PictureHeader whole = orv::pictureHeader(bytes);
        if (header.failure.endsWith(u'?')) { // a JPEG failure: as jpegSize() gives it
            try {
                orv::jpegSize(bytes);
                QFAIL("jpegSize() measured it");
            } catch (const orv::Failure &failure) {
                header.failure = failure.message();
            }
        }
        QCOMPARE(whole, header);
        QCOMPARE(piecewise(bytes, true), header);
        QCOMPARE(piecewise(bytes, false), header);
    }

    // A fetch may stop once the header is read: later bytes change nothing.
    void decidesEarly()
    {
        orv::PictureHeaderReader reader;
        const QByteArray picture = png(800, 600) + QByteArray(1000, 'x');
        QVERIFY(!reader.append(QByteArrayView(picture).first(23)));
        QVERIFY(!reader.decided());
        QVERIFY(reader.append(QByteArrayView(picture).sliced(23, 1)));
        QVERIFY(reader.append(QByteArrayView(picture).sliced(24)));
        QCOMPARE(reader.bytesReceived(), 24);
        QCOMPARE(reader.header(), (PictureHeader{PictureFormat::Png, 800, 600, {}}));

        orv::PictureHeaderReader html;
        QVERIFY(html.append("<"));
        QCOMPARE(html.header().format, PictureFormat::Unsupported);

        // JPEG: decided where JpegHeaderReader is, which reads no image data.
        const QByteArray jpeg = orv::test::makeJpeg(64, 480);
        orv::PictureHeaderReader reader2;
        qsizetype at = 0;
        while (at < jpeg.size() && !reader2.append(QByteArrayView(jpeg).sliced(at, 1)))
            ++at;
        QVERIFY(at < jpeg.indexOf("\xFF\xDA") + 20);
        QCOMPARE(reader2.header(), (PictureHeader{PictureFormat::Jpeg, 64, 480, {}}));
    }
};

QTEST_GUILESS_MAIN(TstPictureHeader)
#include "tst_pictureheader.moc"
