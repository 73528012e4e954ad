#include "curlfetcher.h"

#include "curltransfer.h"

#include <QElapsedTimer>
#include <QSaveFile>

#include <curl/curl.h>

#include <memory>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

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

} // namespace

CurlFetcher::CurlFetcher()
    : CurlFetcher(Options{})
{
}

CurlFetcher::CurlFetcher(const Options &options)
    : m_options(options)
{
    curl::initialise();
}

bool CurlFetcher::DownloadUrlToFile(const QString &url, const QString &filePath, QString *reason)
{
    const auto fail = [&](QString text) {
        if (reason)
            *reason = std::move(text);
        return false;
    };

    if (QString problem = curl::addressProblem(url); !problem.isEmpty())
        return fail(problem);

    const std::unique_ptr<CURL, EasyCleanup> handle(curl_easy_init());
    if (!handle)
        return fail(u"The transfer could not be set up"_s);

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(u"Cannot create file \"%1\". %2"_s.arg(filePath, file.errorString()));
    Sink sink{.file = &file, .limit = m_options.maxBytes};

    char errorText[CURL_ERROR_SIZE] = {};
    CURL *h = handle.get();
    curl::applyLimits(h, curl::encodedAddress(url), m_options, errorText);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);

    QElapsedTimer clock;
    clock.start();
    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);

    if (code != CURLE_OK && sink.writeFailed)
        return fail(u"Cannot write file \"%1\". %2"_s.arg(filePath, file.errorString()));
    QString failure = curl::failureReason(code, status, errorText, clock.elapsed(), sink.tooLarge, m_options);
    if (!failure.isEmpty())
        return fail(std::move(failure));
    if (!file.commit())
        return fail(u"Cannot create file \"%1\". %2"_s.arg(filePath, file.errorString()));
    return true;
}

} // namespace orv
