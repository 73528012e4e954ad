// "orvanta-cli check" through orv::cli::run: where the HTML comes from, how it
// is read, the findings as lines and as JSON, the exit codes and the pictures.
#include "cli/cli.h"
#include "core/failure.h"
#include "core/picturemeasurer.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using orv::cli::Result;

namespace {

// A page with an error (a 790-pixel block at 750) and two warnings.
const QByteArray wideAndPlaceholder
    = "<div style=\"width:790px\">x</div>\r\n<p><a href=\"#\">buy</a><img src=\"http://pic.example.cn/a.jpg\"></p>";

// Pictures from a table by address; records what was asked.
class TableMeasurer : public orv::PictureMeasurer {
public:
    QHash<QString, orv::MeasuredPicture> table;
    QList<QStringList> batches;

    QList<orv::MeasuredPicture> measureAll(const QStringList &urls, const Progress &, const std::atomic_bool *) override
    {
        batches.append(urls);
        QList<orv::MeasuredPicture> outcomes;
        for (const QString &url : urls)
            outcomes.append(table.value(url, {0, orv::cannotDownload(url, u"HTTP status 404"_s).message()}));
        return outcomes;
    }
};

orv::MeasuredPicture picture(orv::PictureFormat format, int width, int height)
{
    return {height, {}, true, {format, width, height, {}}, 100'000};
}

// Standard input; says whether the run read it.
class StandardInput : public QBuffer {
public:
    explicit StandardInput(const QByteArray &bytes)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }
    bool read = false;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        read = true;
        return QBuffer::readData(data, maxSize);
    }
};

} // namespace

class TstCheckCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_stdin;
    int m_stdinReads = 0;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    Result check(const QStringList &arguments, orv::PictureMeasurer *measurer = nullptr)
    {
        StandardInput in(m_stdin);
        orv::cli::Context context;
        context.measurer = measurer;
        context.standardInput = &in;
        const Result result = orv::cli::run(QStringList{u"check"_s} + arguments, context);
        m_stdinReads += in.read;
        return result;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { m_stdinReads = 0; }

    // Lines LINE:COLUMN SEVERITY RULE MESSAGE; exit 1 with an error, 0 without.
    void findingLines_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        const QString warnings = u"2:13 warning placeholder-link 链接是占位地址：#\n"
                                 "2:33 warning http 使用 http 地址：http://pic.example.cn/a.jpg\n"
                                 "2:33 warning image-host 图片不在平台的图片空间：http://pic.example.cn/a.jpg\n"_s;
        QTest::newRow("taobao") << wideAndPlaceholder << QStringList{} << 1
                                << u"1:1 error overflow 宽 790 像素，超出页面宽度 750 像素\n"_s + warnings;
        QTest::newRow("tmall") << wideAndPlaceholder << QStringList{u"--shop"_s, u"tmall"_s} << 0 << warnings;
        QTest::newRow("tmall as one argument") << wideAndPlaceholder << QStringList{u"--shop=tmall"_s} << 0 << warnings;
        QTest::newRow("nothing found") << QByteArray("<p>好的描述</p>") << QStringList{} << 0 << QString();
        // Columns count UTF-16 units after the mark: 😀 is two.
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBF<p>😀<a href=\"#\">x</a></p>") << QStringList{} << 0
            << u"1:15 warning placeholder-link 链接是占位地址：#\n"_s;
        QTest::newRow("empty") << QByteArray() << QStringList{} << 1
                               << u"1:1 error length 代码只有 0 个字符（UTF-8 编码 0 字节），内容过短\n"_s;
    }
    void findingLines()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        // From a file, from "-" and with no file at all: the same.
        const QString path = writeFile(u"page.html"_s, input);
        m_stdin = input;
        for (const QStringList &source : {QStringList{path}, QStringList{u"-"_s}, QStringList{}}) {
            const Result result = check(source + options);
            QCOMPARE(QString::fromUtf8(result.out), out);
            QCOMPARE(result.exitCode, exitCode);
            QCOMPARE(result.err, QByteArray());
        }
        QCOMPARE(m_stdinReads, 2);
    }

    void json()
    {
        m_stdin = wideAndPlaceholder;
        const Result result = check({u"--json"_s});
        QCOMPARE(result.exitCode, 1);
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(result.out, &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(array.size(), 4);
        const QJsonObject first = array.at(0).toObject();
        QCOMPARE(first.value(u"line"_s).toInt(), 1);
        QCOMPARE(first.value(u"column"_s).toInt(), 1);
        QCOMPARE(first.value(u"offset"_s).toInt(), 0);
        QCOMPARE(first.value(u"severity"_s).toString(), u"error"_s);
        QCOMPARE(first.value(u"severityName"_s).toString(), u"错误"_s);
        QCOMPARE(first.value(u"rule"_s).toString(), u"overflow"_s);
        QCOMPARE(first.value(u"message"_s).toString(), u"宽 790 像素，超出页面宽度 750 像素"_s);
        QVERIFY(first.value(u"hint"_s).toString().contains(u"750"_s));
        QCOMPARE(array.at(1).toObject().value(u"offset"_s).toInt(), wideAndPlaceholder.indexOf('#'));

        m_stdin = "<p>好的描述</p>";
        QCOMPARE(check({u"--json"_s}).out.trimmed(), QByteArray("[\n]"));
    }

    // --pictures: every distinct address fetched once, its findings in place.
    void pictures()
    {
        TableMeasurer measurer;
        measurer.table.insert(u"https://img.alicdn.com/wide.png"_s, picture(orv::PictureFormat::Png, 790, 400));
        measurer.table.insert(u"https://img.alicdn.com/ok.jpg"_s, picture(orv::PictureFormat::Jpeg, 750, 900));
        m_stdin = "<p><img src=\"https://img.alicdn.com/ok.jpg\"><img src=\"https://img.alicdn.com/wide.png\">\n"
                  "<img src=\"https://img.alicdn.com/gone.jpg\"><img src=\"https://img.alicdn.com/ok.jpg\"></p>";
        const Result result = check({u"--pictures"_s}, &measurer);
        QCOMPARE(
            QString::fromUtf8(result.out),
            u"1:55 warning picture-wide 图片宽 790 像素，超过页面宽度 750 "
            u"像素，会被缩小：https://img.alicdn.com/wide.png\n"
            "2:11 error picture-dead 图片无法下载：Cannot download \"https://img.alicdn.com/gone.jpg\". HTTP status 404\n"_s);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(measurer.batches.size(), 1);
        QCOMPARE(measurer.batches.first().size(), 3);

        // In a Tmall shop the picture fits; without --pictures nothing is fetched.
        m_stdin = "<img src=\"https://img.alicdn.com/wide.png\">";
        QCOMPARE(check({u"--pictures"_s, u"--shop"_s, u"tmall"_s}, &measurer).out, QByteArray());
        QCOMPARE(check({}, &measurer).exitCode, 0);
        QCOMPARE(measurer.batches.size(), 2);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("stdinBytes");
        QTest::addColumn<QString>("mentions");
        const QByteArray page = "<p>x</p>";
        QTest::newRow("unknown option") << QStringList{u"--fix"_s} << page << u"--shop, --pictures and --json"_s;
        QTest::newRow("json with a value")
            << QStringList{u"--json=yes"_s} << page << u"--shop, --pictures and --json"_s;
        QTest::newRow("two files") << QStringList{u"-"_s, u"b.html"_s} << page << u"one FILE"_s;
        QTest::newRow("bad shop") << QStringList{u"--shop"_s, u"jd"_s} << page << u"taobao or tmall"_s;
        QTest::newRow("shop without value") << QStringList{u"--shop"_s} << page << u"--shop needs a value"_s;
        QTest::newRow("missing file") << QStringList{u"/nonexistent/a.html"_s} << page
                                      << u"cannot read '/nonexistent/a.html'"_s;
        QTest::newRow("folder") << QStringList{u"/"_s} << page << u"cannot read '/': it is a folder"_s;
        QTest::newRow("empty file name") << QStringList{QString()} << page << u"not an empty argument"_s;
        QTest::newRow("not UTF-8") << QStringList{} << QByteArray("<p>\xC9\xCC\xC6\xB7</p>")
                                   << u"standard input is not valid UTF-8"_s;
        QTest::newRow("too large") << QStringList{} << QByteArray(orv::cli::maxInputBytes + 1, ' ')
                                   << u"standard input is larger than 16 MiB"_s;
        QTest::newRow("pictures without a fetcher") << QStringList{u"--pictures"_s} << page << u"--pictures"_s;
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, stdinBytes);
        QFETCH(QString, mentions);
        m_stdin = stdinBytes;
        const Result result = check(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QByteArray());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"orvanta-cli: "_s) && err.endsWith(u'\n'), qPrintable(err));
        QVERIFY2(err.contains(mentions), qPrintable(err));
    }

    // A file of the largest size is read; one byte more is refused.
    void largestFile()
    {
        QByteArray bytes(orv::cli::maxInputBytes, ' ');
        bytes.replace(0, 8, "<p>x</p>");
        const QString path = writeFile(u"large.html"_s, bytes);
        QCOMPARE(check({path}).exitCode, 1); // far over the length limit
        bytes.append(' ');
        writeFile(u"large.html"_s, bytes);
        const Result result = check({path});
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains("is larger than 16 MiB"), result.err.constData());
    }
};

QTEST_GUILESS_MAIN(TstCheckCommand)
#include "tst_checkcommand.moc"
