// Overlay-style generation of the product details with N pictures served from
// a loopback server that waits before every answer, all fetched at once and
// read only up to the JPEG header; and the page check's pictures of a page
// showing N pictures (each twice), through the same measurer. Reports wall
// time, the time in units of one picture's measurement and the bytes read per
// picture.
//
//   bench_fetch [--delay_ms=100] [--picture_bytes=2000000] [benchmark options]

#include "core/check/picturecheck.h"
#include "core/page.h"
#include "fetch/curlmeasurer.h"
#include "modules/product/details/details.h"
#include "support/testjpeg.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

int delayMs = 100;
qsizetype pictureBytes = 2'000'000;

// An HTTP/1.1 server on 127.0.0.1 that answers every connection on a thread
// of its own, keeps connections open between requests and waits delayMs
// before each answer. Every path is the same picture.
class DelayServer {
public:
    explicit DelayServer(QByteArray body)
        : m_body(std::move(body))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto *any = reinterpret_cast<sockaddr *>(&address);
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_listener < 0 || ::bind(m_listener, any, length) != 0 || ::listen(m_listener, 64) != 0
            || ::getsockname(m_listener, any, &length) != 0)
            throw std::runtime_error("cannot listen on loopback");
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { acceptLoop(); });
    }

    ~DelayServer()
    {
        m_stopping = true;
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        m_acceptor.join();
        const std::lock_guard lock(m_mutex);
        for (const int fd : m_clients)
            ::shutdown(fd, SHUT_RDWR);
        for (std::thread &thread : m_threads)
            thread.join();
    }

    QString url(int index) const { return u"http://127.0.0.1:%1/p%2.jpg"_s.arg(m_port).arg(index); }

private:
    void acceptLoop()
    {
        while (!m_stopping) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                break;
            const std::lock_guard lock(m_mutex);
            m_clients.push_back(client);
            m_threads.emplace_back([this, client] { serve(client); });
        }
    }

    void serve(int client)
    {
        const int one = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: "
                                + QByteArray::number(m_body.size()) + "\r\n\r\n";
        QByteArray request;
        char buffer[4096];
        while (!m_stopping) {
            while (!request.contains("\r\n\r\n")) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0)
                    return finish(client);
                request.append(buffer, got);
            }
            request.remove(0, request.indexOf("\r\n\r\n") + 4);
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            if (!sendAll(client, head) || !sendAll(client, m_body))
                return finish(client);
        }
        finish(client);
    }

    static bool sendAll(int client, const QByteArray &bytes)
    {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(client, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }

    void finish(int client)
    {
        const std::lock_guard lock(m_mutex);
        m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
        ::close(client);
    }

    QByteArray m_body;
    int m_listener = -1;
    int m_port = 0;
    std::atomic_bool m_stopping{false};
    std::mutex m_mutex;
    std::vector<int> m_clients;
    std::list<std::thread> m_threads;
    std::thread m_acceptor;
};

// A 750 x 1000 picture with a 64 KiB EXIF block before its frame header,
// padded to the chosen size.
QByteArray picture()
{
    return orv::test::withExif(orv::test::makeJpeg(750, 1000), 65533).leftJustified(pictureBytes, '\0');
}

DelayServer &server()
{
    static DelayServer instance(picture());
    return instance;
}

// The time of one picture measured alone, the best of a few.
double singleFetchSeconds()
{
    static const double seconds = [] {
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            orv::CurlMeasurer measurer;
            QElapsedTimer clock;
            clock.start();
            const QList<orv::MeasuredPicture> measured = measurer.measureAll({server().url(1000 + i)});
            if (!measured.first().measured())
                throw std::runtime_error(measured.first().failure.toStdString());
            best = std::min(best, double(clock.nsecsElapsed()) / 1e9);
        }
        return best;
    }();
    return seconds;
}

orv::PageState overlayPage(int count)
{
    orv::PageState state = orv::details::pageSpec().defaultState();
    QStringList titles, captions, addresses;
    for (int i = 0; i < count; ++i) {
        titles << u"标题%1"_s.arg(i);
        captions << u"说明%1"_s.arg(i);
        addresses << server().url(i);
    }
    state.setField(u"style"_s, u"1"_s);
    state.setField(u"count"_s, QString::number(count));
    state.setField(u"titles"_s, titles.join(u'|'));
    state.setField(u"captions"_s, captions.join(u'|'));
    state.setField(u"pictures"_s, addresses.join(u'|'));
    return state;
}

void generate(benchmark::State &bench, const orv::Services &services, int count)
{
    orv::PageState state = overlayPage(count);
    const orv::Generated generated = orv::details::generate(state, services);
    if (!generated.fragment.contains(u"height:990px;"_s))
        bench.SkipWithError("wrong fragment");
}

void report(benchmark::State &bench, int count, double bytesPerRun, const QElapsedTimer &clock)
{
    const double secondsPerRun = double(clock.nsecsElapsed()) / 1e9 / double(bench.iterations());
    bench.counters["in_single_fetches"] = secondsPerRun / singleFetchSeconds();
    bench.counters["pictures"] = count;
    bench.counters["KiB_per_picture"] = bytesPerRun / count / 1024;
    bench.counters["single_fetch_ms"] = singleFetchSeconds() * 1000;
}

// All pictures at once, each read up to its header.
void Batch(benchmark::State &bench)
{
    const auto count = int(bench.range(0));
    singleFetchSeconds();
    orv::CurlMeasurer measurer;
    orv::Services services;
    services.measurer = &measurer;
    double bytes = 0;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : bench) {
        generate(bench, services, count);
        bytes = double(measurer.lastStatistics().bytesRead);
    }
    report(bench, count, bytes, clock);
}

BENCHMARK(Batch)->Arg(1)->Arg(5)->Arg(12)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The page check's pictures: a page of N distinct pictures, each shown twice,
// every address fetched once.
void PictureCheck(benchmark::State &bench)
{
    const auto count = int(bench.range(0));
    singleFetchSeconds();
    QString page;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < count; ++i)
            page += u"<p><img src=\"%1\"></p>\r\n"_s.arg(server().url(2000 + i));
    }
    const QList<orv::check::PictureUse> uses = orv::check::listPictures(page, 750);
    orv::CurlMeasurer measurer;
    double bytes = 0;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : bench) {
        const QList<orv::check::Finding> findings = orv::check::measureAndCheckPictures(uses, measurer);
        // Every picture is 1000 pixels high and 750 wide: it fits.
        if (!findings.isEmpty())
            bench.SkipWithError(findings.first().message.toStdString().c_str());
        bytes = double(measurer.lastStatistics().bytesRead);
    }
    report(bench, count, bytes, clock);
}

BENCHMARK(PictureCheck)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("no_proxy", "127.0.0.1");
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--delay_ms=", 11) == 0)
            delayMs = std::atoi(argv[i] + 11);
        else if (std::strncmp(argv[i], "--picture_bytes=", 16) == 0)
            pictureBytes = std::atoll(argv[i] + 16);
        else
            rest.push_back(argv[i]);
    }
    int restCount = int(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::AddCustomContext("delay_ms", std::to_string(delayMs));
    benchmark::AddCustomContext("picture_bytes", std::to_string(pictureBytes));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
