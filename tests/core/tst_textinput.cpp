#include "core/failure.h"
#include "core/textinput.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A stream as a pipe or a process gives it: a few bytes per read, and now and
// then nothing yet until waitForReadyRead(); or a read that fails.
class Trickle : public QIODevice {
public:
    explicit Trickle(QByteArray bytes, bool fails = false)
        : m_bytes(std::move(bytes))
        , m_fails(fails)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    bool waitForReadyRead(int) override
    {
        m_ready = m_at < m_bytes.size();
        return m_ready;
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_fails)
            return -1;
        if (!std::exchange(m_ready, false))
            return 0;
        const qint64 size = std::min<qint64>({maxSize, 1000, m_bytes.size() - m_at});
        std::copy_n(m_bytes.constData() + m_at, size, data);
        m_at += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qsizetype m_at = 0;
    bool m_ready = true;
    bool m_fails = false;
};

} // namespace

class TestTextInput : public QObject {
    Q_OBJECT

private slots:
    // Everything up to the limit, and one byte more when there is more; from
    // a file-like device and from a stream alike.
    void readAtMost_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << 0 << 100 << 0;
        QTest::newRow("under the limit, many reads") << 5500 << 70000 << 5500;
        QTest::newRow("at the limit") << 70000 << 70000 << 70000;
        QTest::newRow("over the limit") << 70002 << 70000 << 70001;
        QTest::newRow("limit 0") << 3 << 0 << 1;
    }
    void readAtMost()
    {
        QFETCH(int, size);
        QFETCH(int, limit);
        QFETCH(int, expected);
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 26);
        Trickle stream(bytes);
        QCOMPARE(orv::readAtMost(stream, limit).value_or("<failed>"), bytes.first(expected));
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(orv::readAtMost(file, limit).value_or("<failed>"), bytes.first(expected));
    }

    void readFailure()
    {
        Trickle failing("abc", true);
        QVERIFY(!orv::readAtMost(failing, 10));
    }

    // UTF-8 only, a leading byte-order mark dropped; anything else refused
    // with the place of the first bad byte.
    void strictUtf8_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("result"); // the text, or the failure's message
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("Chinese") << u"商品详情"_s.toUtf8() << u"商品详情"_s;
        QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFok") << u"ok"_s;
        QTest::newRow("only the first mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFok") << u"\uFEFFok"_s;
        QTest::newRow("encoded U+FFFD is text") << QByteArray("a\xEF\xBF\xBD") << u"a\uFFFD"_s;
        QTest::newRow("GBK") << QByteArray("<p>\xC9\xCC\xC6\xB7") << u"IN is not valid UTF-8 at byte 4"_s;
        QTest::newRow("cut at the end") << QByteArray("caf\xC3") << u"IN is not valid UTF-8 at byte 4"_s;
        QTest::newRow("surrogate") << QByteArray("ab\xED\xA0\x80") << u"IN is not valid UTF-8 at byte 3"_s;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << u"IN is not valid UTF-8 at byte 1"_s;
        QTest::newRow("after U+FFFD and a mark")
            << QByteArray("\xEF\xBB\xBF\xEF\xBF\xBD\xFF") << u"IN is not valid UTF-8 at byte 7"_s;
        QTest::newRow("with the line") << QByteArray("a\r\n商\n\xE5\x95")
                                       << u"IN is not valid UTF-8 at byte 8 (line 3)"_s;
    }
    void strictUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, result);
        try {
            QCOMPARE(orv::strictUtf8(bytes, u"IN"_s), result);
        } catch (const orv::Failure &failure) {
            QCOMPARE(failure.message(), result);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextInput)
#include "tst_textinput.moc"
