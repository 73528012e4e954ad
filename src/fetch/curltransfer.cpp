#include "curltransfer.h"

#include "core/picturemeasurer.h"

#include <QUrl>

namespace orv::curl {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 mebibyte = qint64(1024) * 1024;
// Connections at once, whatever the number of pictures; the rest wait. Enough
// for the pictures of a whole description (the page check fetches them all)
// from a server that takes one picture per connection; a server that
// multiplexes needs only one.
constexpr long mostConnections = 64;
// Enough for a JPEG decoder to reject what is no JPEG (it reads two bytes).
constexpr qsizetype firstBytesKept = 16;

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

// Counts the body against the largest size while it arrives, so that a body
// without (or with a false) length cannot run on; stops the transfer as soon
// as the header is read.
size_t receive(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const auto length = static_cast<qint64>(size * count);
    if (length > transfer->limit - transfer->received) {
        transfer->tooLarge = true;
        return 0;
    }
    transfer->received += length;
    if (const qsizetype kept = firstBytesKept - transfer->firstBytes.size(); kept > 0)
        transfer->firstBytes.append(data, qMin(kept, qsizetype(length)));
    if (transfer->header.append(QByteArrayView(data, length))) {
        transfer->headerRead = true;
        return 0;
    }
    return size * count;
}

} // namespace

void initialise()
{
    static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(code);
}

QString addressProblem(const QString &url)
{
    if (url.isEmpty())
        return u"The address is empty"_s;
    // Far above any server's limit; the library itself fails on a request
    // of a mebibyte with nothing but "Out of memory".
    if (constexpr qsizetype maxAddressLength = 65536; url.size() > maxAddressLength)
        return u"The address is longer than %1 characters"_s.arg(maxAddressLength);
    const QString scheme = QUrl(url).scheme().toLower();
    if (scheme != "http"_L1 && scheme != "https"_L1)
        return u"Only http and https addresses are fetched"_s;
    return {};
}

QByteArray encodedAddress(const QString &url)
{
    const QUrl parsed(url);
    return parsed.isValid() ? parsed.toEncoded() : url.toUtf8();
}

void applyLimits(CURL *h, const QByteArray &address, const Options &options, char *errorText)
{
    const auto stallSeconds = static_cast<long>(options.stallTimeout.count());
    curl_easy_setopt(h, CURLOPT_URL, address.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, stallSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
    curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Orvanta/" ORVANTA_VERSION);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
}

QString failureReason(CURLcode code, long status, const char *errorText, qint64 elapsedMs, bool tooLarge,
                      const Options &options)
{
    if (code == CURLE_OK && status >= 400)
        return u"HTTP status %1"_s.arg(status);
    switch (code) {
    case CURLE_OK:
        return {};
    case CURLE_HTTP_RETURNED_ERROR:
        return u"HTTP status %1"_s.arg(status);
    case CURLE_UNSUPPORTED_PROTOCOL:
        return u"Only http and https addresses are fetched"_s;
    case CURLE_TOO_MANY_REDIRECTS:
        return u"More than %1 redirects"_s.arg(options.maxRedirects);
    case CURLE_OUT_OF_MEMORY:
        // What the library reports when the server's header outgrows its
        // bound (100 KiB): the request is short and the body is bounded.
        return u"The server's header is too large"_s;
    case CURLE_FILESIZE_EXCEEDED:
        return u"Larger than %1"_s.arg(sizeText(options.maxBytes));
    case CURLE_OPERATION_TIMEDOUT:
        // The library's timers may fire a little early; its own message tells
        // a stall from the end of the time in all.
        if (!QByteArrayView(errorText).startsWith("Operation too slow")
            && elapsedMs + 100 >= options.totalTimeout.count())
            return u"Not complete within %1"_s.arg(secondsText(options.totalTimeout));
        return u"No answer for %1"_s.arg(secondsText(options.stallTimeout));
    default:
        break;
    }
    if (tooLarge)
        return u"Larger than %1"_s.arg(sizeText(options.maxBytes));
    return errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curl_easy_strerror(code));
}

Transfer::Transfer(QString address)
    : url(std::move(address))
{
}

Transfer::~Transfer()
{
    if (handle) {
        curl_multi_remove_handle(multi, handle);
        curl_easy_cleanup(handle);
    }
}

Batch::Batch(const Options &options)
    : m_options(options)
{
    initialise();
    m_multi = curl_multi_init();
    if (m_multi) {
        curl_multi_setopt(m_multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, mostConnections);
        curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, long(CURLPIPE_MULTIPLEX));
    }
}

Batch::~Batch()
{
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void Batch::run(const std::vector<std::unique_ptr<Transfer>> &transfers, const std::function<void(size_t)> &finished,
                const std::atomic_bool *cancel)
{
    int running = 0;
    for (size_t i = 0; i < transfers.size(); ++i) {
        Transfer &t = *transfers[i];
        QString problem = addressProblem(t.url);
        CURL *h = problem.isEmpty() && m_multi ? curl_easy_init() : nullptr;
        if (!h) {
            t.done = true;
            t.reason = problem.isEmpty() ? u"The transfer could not be set up"_s : problem;
            if (finished)
                finished(i);
            continue;
        }
        t.limit = m_options.maxBytes;
        t.handle = h;
        t.multi = m_multi;
        applyLimits(h, encodedAddress(t.url), m_options, t.errorText);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &receive);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(h, CURLOPT_PRIVATE, static_cast<void *>(&t));
        // Over https, wait for the first connection to a host: when the
        // server multiplexes, every picture of that host shares it.
        if (QUrl(t.url).scheme().compare("https"_L1, Qt::CaseInsensitive) == 0)
            curl_easy_setopt(h, CURLOPT_PIPEWAIT, 1L);
        t.clock.start();
        if (curl_multi_add_handle(m_multi, h) != CURLM_OK) {
            curl_easy_cleanup(h);
            t.handle = nullptr;
            t.done = true;
            t.reason = u"The transfer could not be set up"_s;
            if (finished)
                finished(i);
            continue;
        }
        ++running;
    }

    const auto indexOf = [&](const Transfer *t) {
        for (size_t i = 0; i < transfers.size(); ++i)
            if (transfers[i].get() == t)
                return i;
        return transfers.size();
    };

    while (running > 0) {
        if (cancel && cancel->load())
            throw Cancelled();
        int active = 0;
        curl_multi_perform(m_multi, &active);
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            CURL *h = message->easy_handle;
            const CURLcode code = message->data.result;
            void *user = nullptr;
            curl_easy_getinfo(h, CURLINFO_PRIVATE, &user);
            auto *t = static_cast<Transfer *>(user);
            long status = 0;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
            curl_off_t announced = -1;
            if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK)
                t->announced = announced;
            // A transfer stopped because its header was read has succeeded.
            if (!(t->headerRead && code == CURLE_WRITE_ERROR))
                t->reason = failureReason(code, status, t->errorText, t->clock.elapsed(), t->tooLarge, m_options);
            t->done = true;
            curl_multi_remove_handle(m_multi, h);
            curl_easy_cleanup(h);
            t->handle = nullptr;
            --running;
            if (finished)
                finished(indexOf(t));
        }
        if (running > 0)
            curl_multi_poll(m_multi, nullptr, 0, 50, nullptr);
    }
}

} // namespace orv::curl
