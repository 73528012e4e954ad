#include "curlfetcher.h"

#include <QElapsedTimer>
#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 mebibyte = qint64(1024) * 1024;

void initialiseCurlOnce()
{
    static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(code);
}

struct EasyCleanup {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};

// Where the body goes: counted against the largest size while it arrives, so
// that a body without (or with a false) length cannot fill the disk.
struct Sink {
    QSaveFile *file = nullptr;
    qint64 limit = 0;
    qint64 written = 0;
    bool tooLarge = false;
    bool writeFailed = false;
};

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const auto length = static_cast<qint64>(size * count);
    if (length > sink->limit - sink->written) {
        sink->tooLarge = true;
        return 0;
    }
    if (sink->file->write(data, length) != length) {
        sink->writeFailed = true;
        return 0;
    }
    sink->written += length;
    return size * count;
}

QString secondsText(std::chrono::milliseconds duration)
{
    if (duration.count() == 1000)
        return u"1 second"_s;
    if (duration.count() % 1000 == 0)
        return u"%1 seconds"_s.arg(duration.count() / 1000);
    return u"%1 milliseconds"_s.arg(duration.count());
}

QString sizeText(qint64 bytes)
{
    if (bytes % mebibyte == 0)
        return u"%1 MiB"_s.arg(bytes / mebibyte);
    return u"%1 bytes"_s.arg(bytes);
}

bool fetchedScheme(const QString &url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == "http"_L1 || scheme == "https"_L1;
}

} // namespace

CurlFetcher::CurlFetcher()
    : CurlFetcher(Options{})
{
}

CurlFetcher::CurlFetcher(const Options &options)
    : m_options(options)
{
    initialiseCurlOnce();
}

bool CurlFetcher::DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason)
{
    const auto fail = [&](QString text) {
        if (reason)
            *reason = std::move(text);
        return false;
    };

    if (url.isEmpty())
        return fail(u"The address is empty"_s);
    // Far above any server's limit; the library itself fails on a request
    // of a mebibyte with nothing but "Out of memory".
    if (constexpr qsizetype maxAddressLength = 65536; url.size() > maxAddressLength)
        return fail(u"The address is longer than %1 characters"_s.arg(maxAddressLength));
    if (!fetchedScheme(url))
        return fail(u"Only http and https addresses are fetched"_s);

    const std::unique_ptr<CURL, EasyCleanup> handle(curl_easy_init());
    if (!handle)
        return fail(u"The transfer could not be set up"_s);

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(u"Cannot create file \"%1\". %2"_s.arg(filePath, file.errorString()));
    Sink sink{.file = &file, .limit = m_options.maxBytes};

    const QUrl parsed(url);
    const QByteArray address = parsed.isValid() ? parsed.toEncoded() : url.toUtf8();
    const auto stallSeconds = static_cast<long>(m_options.stallTimeout.count());
    char errorText[CURL_ERROR_SIZE] = {};
    CURL *h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, address.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, m_options.maxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, stallSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(m_options.totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBytes));
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Orvanta/" ORVANTA_VERSION);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

    QElapsedTimer clock;
    clock.start();
    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);

    if (code == CURLE_OK && status >= 400)
        return fail(u"HTTP status %1"_s.arg(status));
    switch (code) {
    case CURLE_OK:
        if (!file.commit())
            return fail(u"Cannot create file \"%1\". %2"_s.arg(filePath, file.errorString()));
        return true;
    case CURLE_HTTP_RETURNED_ERROR:
        return fail(u"HTTP status %1"_s.arg(status));
    case CURLE_UNSUPPORTED_PROTOCOL:
        return fail(u"Only http and https addresses are fetched"_s);
    case CURLE_TOO_MANY_REDIRECTS:
        return fail(u"More than %1 redirects"_s.arg(m_options.maxRedirects));
    case CURLE_OUT_OF_MEMORY:
        // What the library reports when the server's header outgrows its
        // bound (100 KiB): the request is short and the body goes to disk.
        return fail(u"The server's header is too large"_s);
    case CURLE_FILESIZE_EXCEEDED:
        return fail(u"Larger than %1"_s.arg(sizeText(m_options.maxBytes)));
    case CURLE_OPERATION_TIMEDOUT:
        // The library's timers may fire a little early; its own message tells
        // a stall from the end of the time in all.
        if (!QByteArrayView(errorText).startsWith("Operation too slow")
            && clock.elapsed() + 100 >= m_options.totalTimeout.count())
            return fail(u"Not complete within %1"_s.arg(secondsText(m_options.totalTimeout)));
        return fail(u"No answer for %1"_s.arg(secondsText(m_options.stallTimeout)));
    default:
        break;
    }
    if (sink.tooLarge)
        return fail(u"Larger than %1"_s.arg(sizeText(m_options.maxBytes)));
    if (sink.writeFailed)
        return fail(u"Cannot write file \"%1\". %2"_s.arg(filePath, file.errorString()));
    return fail(errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curl_easy_strerror(code)));
}

} // namespace orv
