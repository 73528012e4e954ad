#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace orv::test {

// A tiny HTTP server on 127.0.0.1 for fetch tests: one connection at a time,
// on a thread of its own, stopped when destroyed. Unknown paths get 404.
class LoopbackServer {
public:
    enum class Behaviour {
        Reply,    // sends the response and closes
        Silent,   // never answers
        Endless,  // sends the response, then body bytes until the client goes
        Drip,     // sends the response, then a body byte every 100 ms
        SlowDrip, // sends the response, then a body byte every second
        Trickle,  // sends the response a byte at a time, 200 µs apart, and closes
        Late,     // sends the response after half a second, and closes
    };

    LoopbackServer();
    ~LoopbackServer();

    void route(const QByteArray &path, Behaviour behaviour, const QByteArray &response);
    QString url(const QString &path) const;
    // How many requests asked for path so far.
    int requests(const QByteArray &path);
    static QByteArray response(int status, const QByteArray &body, const QByteArray &headers = {});

private:
    bool waitReadable(int fd) const;
    void serve(int client);

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic_bool m_stopping{false};
    std::mutex m_mutex;
    std::map<QByteArray, std::pair<Behaviour, QByteArray>> m_routes;
    std::map<QByteArray, int> m_requests;
    std::thread m_thread;
};

} // namespace orv::test
