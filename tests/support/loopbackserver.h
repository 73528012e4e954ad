#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace orv::test {

// A tiny HTTP server on 127.0.0.1 for fetch tests, one connection at a time on
// a thread of its own; it stops when destroyed.
class LoopbackServer {
public:
    enum class Behaviour {
        Reply,   // sends the response bytes and closes
        Silent,  // reads the request and never answers
        Endless, // sends the response bytes, then body bytes until the client goes
        Drip,    // sends the response bytes, then one body byte every 100 ms
    };

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    // Unknown paths get 404.
    void route(const QByteArray &path, Behaviour behaviour, const QByteArray &response);
    QString url(const QString &path) const;

    static QByteArray response(int status, const QByteArray &body, const QByteArray &headers = {});
    static QByteArray redirect(const QByteArray &location);

private:
    void run();
    void serve(int client);
    bool waitReadable(int fd);

    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    quint16 m_port = 0;
    std::atomic_bool m_stopping{false};
    std::mutex m_mutex;
    std::map<QByteArray, std::pair<Behaviour, QByteArray>> m_routes;
    std::thread m_thread;
};

} // namespace orv::test
