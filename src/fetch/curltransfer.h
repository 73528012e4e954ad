#pragma once

// The libcurl side of CurlMeasurer: the limits every transfer is held to, the
// reasons a transfer fails, and a batch that runs transfers at once.
// Internal to the fetch library.

#include "core/pictureheader.h"
#include "fetch/curlmeasurer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <curl/curl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace orv::curl {

using Options = CurlMeasurer::Options;

void initialise();

// Why an address is not fetched at all (empty, or not http or https); empty
// when it may be fetched.
QString addressProblem(const QString &url);

// The address as sent: percent-encoded when it parses, else as typed.
QByteArray encodedAddress(const QString &url);

// Sets the limits of options on a transfer, with errorText as its error buffer.
void applyLimits(CURL *handle, const QByteArray &address, const Options &options, char *errorText);

// Why a finished transfer failed, or empty when it succeeded. tooLarge tells
// that the receiver stopped it at the largest size.
QString failureReason(CURLcode code, long status, const char *errorText, qint64 elapsedMs, bool tooLarge,
                      const Options &options);

// One transfer of a batch: the body is read until the picture's header gives
// its format and size.
struct Transfer {
    explicit Transfer(QString address);
    ~Transfer();
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    QString url;
    PictureHeaderReader header;
    // The body's first bytes: what a JPEG decoder makes of a picture that is
    // no JPEG is decided by them.
    QByteArray firstBytes;
    qint64 limit = 0;
    qint64 received = 0;
    // The size the server announced (Content-Length); -1 when it did not.
    qint64 announced = -1;
    bool tooLarge = false;
    bool headerRead = false;
    bool done = false;
    QString reason; // why it failed; empty when it succeeded
    char errorText[CURL_ERROR_SIZE] = {};
    QElapsedTimer clock;
    CURL *handle = nullptr;
    CURLM *multi = nullptr;
};

// Runs transfers at once over one multi handle, whose connections are kept
// for later batches of the same owner. Each transfer keeps its own limits.
class Batch {
public:
    explicit Batch(const Options &options);
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

    const Options &options() const { return m_options; }

    // Returns when every transfer is done; calls finished with the index of
    // each as it ends. Throws Cancelled when cancel becomes true first.
    void run(const std::vector<std::unique_ptr<Transfer>> &transfers, const std::function<void(size_t)> &finished,
             const std::atomic_bool *cancel);

private:
    Options m_options;
    CURLM *m_multi = nullptr;
};

} // namespace orv::curl
