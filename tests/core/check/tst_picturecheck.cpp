#include "core/check/picturecheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orv::check;

Q_DECLARE_METATYPE(orv::check::PictureFacts)

namespace {

// Answers from a table by URL; records each batch.
class TableMeasurer : public orv::PictureMeasurer {
public:
    QHash<QString, orv::MeasuredPicture> table;
    QList<QStringList> batches;

    QList<orv::MeasuredPicture> measureAll(const QStringList &urls, const Progress &progress,
                                           const std::atomic_bool *) override
    {
        batches.append(urls);
        QList<orv::MeasuredPicture> outcomes;
        for (const QString &url : urls) {
            outcomes.append(table.value(url));
            if (progress)
                progress(int(outcomes.size()), int(urls.size()));
        }
        return outcomes;
    }
};

} // namespace

class TstPictureCheck : public QObject {
    Q_OBJECT

private slots:
    // Pictures are the <img> sources, background attributes and the url()s of
    // background styles; data: and script addresses are the page check's.
    void listsPictures()
    {
        const QString first = u"<img src=\" https://img.alicdn.com/a.jpg \"><a href=\"https://item.taobao.com/\">"
                              "<img src=\"//gd1.alicdn.com/b.jpg\"></a>\r\n"_s;
        const QString second = u"<table background=\"http://x.cn/c.jpg\"><tr><td "
                               "style=\"background-image:url('https://img.alicdn.com/a.jpg');behavior:url(x.htc)\">"
                               "<img src=\"data:image/gif;base64,R0lG\"><img src=\"javascript:x\"><img src=\"\">"
                               "</td></tr></table>"_s;
        const QString html = first + second;
        const QList<CheckSegment> segments{{0, first.size(), 1, u"产品展示"_s, 790},
                                           {first.size(), html.size(), 2, u"产品尺码"_s, 750}};
        const QList<PictureUse> uses = listPictures(html, 790, segments);
        struct Expected {
            QString url;
            QString at; // the text where the address starts
            int pageWidth;
            int entry;
        };
        const QList<Expected> expected{
            {u"https://img.alicdn.com/a.jpg"_s, u"https://img.alicdn.com/a.jpg \""_s, 790, 1},
            {u"https://gd1.alicdn.com/b.jpg"_s, u"//gd1"_s, 790, 1},
            {u"http://x.cn/c.jpg"_s, u"http://x.cn"_s, 750, 2},
            {u"https://img.alicdn.com/a.jpg"_s, u"https://img.alicdn.com/a.jpg'"_s, 750, 2},
            {QString(), u"\"></td>"_s, 750, 2},
        };
        QCOMPARE(uses.size(), expected.size());
        for (qsizetype i = 0; i < uses.size(); ++i) {
            QCOMPARE(uses[i].url, expected[i].url);
            QCOMPARE(uses[i].offset, html.indexOf(expected[i].at));
            QCOMPARE(uses[i].pageWidth, expected[i].pageWidth);
            QCOMPARE(uses[i].entry, expected[i].entry);
        }
        QCOMPARE(uses[2].line, 2);
        QCOMPARE(uses[2].column, 20);
        QCOMPARE(uses[1].address, u"//gd1.alicdn.com/b.jpg"_s);
        QCOMPARE(uses[2].entryName, u"产品尺码"_s);
        QCOMPARE(pictureUrls(uses), (QStringList{u"https://img.alicdn.com/a.jpg"_s, u"https://gd1.alicdn.com/b.jpg"_s,
                                                 u"http://x.cn/c.jpg"_s, QString()}));
    }

    void findings_data()
    {
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<PictureFacts>("facts");
        QTest::addColumn<QStringList>("findings"); // rule: message

        const auto measured = [](orv::PictureFormat format, int width, int height, qint64 bytes = -1) {
            return PictureFacts{{}, {format, width, height, {}}, bytes};
        };
        QTest::newRow("fits") << 750 << measured(orv::PictureFormat::Jpeg, 750, 1000, 200'000) << QStringList();
        QTest::newRow("fits narrow") << 750 << measured(orv::PictureFormat::WebP, 480, 2500, 3 * 1024 * 1024)
                                     << QStringList();
        QTest::newRow("dead")
            << 750 << PictureFacts{u"Cannot download \"https://img.alicdn.com/a.jpg\". HTTP status 404"_s, {}, -1}
            << QStringList{
                   u"picture-dead: 图片无法下载：Cannot download \"https://img.alicdn.com/a.jpg\". HTTP status 404"_s};
        QTest::newRow("not a picture")
            << 750 << PictureFacts{{}, {orv::PictureFormat::Unsupported, 0, 0, u"not a JPEG"_s}, 512}
            << QStringList{
                   u"picture-format: 图片不是可用的格式：https://img.alicdn.com/a.jpg（不是 JPEG、PNG、GIF、BMP 或 WebP）"_s};
        QTest::newRow("damaged")
            << 750 << PictureFacts{{}, {orv::PictureFormat::Png, 0, 0, u"PNG header damaged"_s}, -1}
            << QStringList{
                   u"picture-format: 图片不是可用的格式：https://img.alicdn.com/a.jpg（PNG 文件头无法读取：PNG header damaged）"_s};
        QTest::newRow("wide")
            << 750 << measured(orv::PictureFormat::Png, 790, 600)
            << QStringList{
                   u"picture-wide: 图片宽 790 像素，超过页面宽度 750 像素，会被缩小：https://img.alicdn.com/a.jpg"_s};
        QTest::newRow("not wide in a Tmall shop")
            << 790 << measured(orv::PictureFormat::Png, 790, 600) << QStringList();
        QTest::newRow("mobile: narrow")
            << 750 << measured(orv::PictureFormat::Gif, 479, 100)
            << QStringList{
                   u"mobile-fit: 手机详情导入图片时不接受这张图片（宽 479 像素）：https://img.alicdn.com/a.jpg"_s};
        QTest::newRow("mobile: all")
            << 2000 << measured(orv::PictureFormat::Bmp, 1501, 2501, 3 * 1024 * 1024 + 1)
            << QStringList{
                   u"mobile-fit: 手机详情导入图片时不接受这张图片（宽 1501 像素，高 2501 像素，3.0 MB）：https://img.alicdn.com/a.jpg"_s};
    }
    void findings()
    {
        QFETCH(int, pageWidth);
        QFETCH(PictureFacts, facts);
        QFETCH(QStringList, findings);
        const QString html
            = u"<p>x</p>\n<img src=\"https://img.alicdn.com/a.jpg\"><img src=\"https://img.alicdn.com/a.jpg\">"_s;
        const QList<PictureUse> uses = listPictures(html, pageWidth);
        QCOMPARE(uses.size(), 2);
        const QList<Finding> found = checkPictures(uses, {{uses[0].url, facts}});
        // One fetch, a finding at each use.
        QCOMPARE(found.size(), findings.size() * 2);
        for (qsizetype i = 0; i < found.size(); ++i) {
            QCOMPARE(found[i].rule + u": "_s + found[i].message, findings[i / 2]);
            QCOMPARE(found[i].offset, uses[i % 2].offset);
            QCOMPARE(found[i].line, 2);
        }
        // Without facts (not fetched) there is nothing to say.
        QVERIFY(checkPictures(uses, {}).isEmpty());
    }

    // Through a measurer: one batch of the distinct URLs; a fetch that failed
    // is a dead picture, a picture the JPEG reading rejects is not.
    void measuresEachUrlOnce()
    {
        const QString html = u"<img src=\"https://img.alicdn.com/a.png\"><img src=\"//img.alicdn.com/gone.jpg\">"
                             "<img src=\"https://img.alicdn.com/a.png\"><img src=\"https://img.alicdn.com/b.jpg\">"_s;
        TableMeasurer measurer;
        const QString gone = u"Cannot download \"https://img.alicdn.com/gone.jpg\". HTTP status 404"_s;
        measurer.table.insert(u"https://img.alicdn.com/a.png"_s,
                              {0, u"JPEG error #53"_s, true, {orv::PictureFormat::Png, 750, 400, {}}, 5000});
        measurer.table.insert(u"https://img.alicdn.com/gone.jpg"_s, {0, gone});
        // b.jpg: an outcome without a fetch and without a reason.
        QList<std::pair<int, int>> progress;
        const QList<Finding> found
            = measureAndCheckPictures(listPictures(html, 750), measurer, [&](int done, int total) {
                  progress.append({done, total});
              });
        QCOMPARE(measurer.batches,
                 (QList<QStringList>{{u"https://img.alicdn.com/a.png"_s, u"https://img.alicdn.com/gone.jpg"_s,
                                      u"https://img.alicdn.com/b.jpg"_s}}));
        QCOMPARE(progress.last(), std::pair(3, 3));
        QStringList seen;
        for (const Finding &f : found)
            seen.append(f.rule + u": "_s + f.message);
        QCOMPARE(seen, (QStringList{
                           u"picture-dead: 图片无法下载："_s + gone,
                           u"picture-dead: 图片无法下载：Cannot download \"https://img.alicdn.com/b.jpg\". "
                           "The picture was not fetched"_s,
                       }));
        // Nothing to fetch: no batch at all.
        QVERIFY(measureAndCheckPictures(listPictures(u"<p>x</p>"_s, 750), measurer).isEmpty());
        QCOMPARE(measurer.batches.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstPictureCheck)
#include "tst_picturecheck.moc"
