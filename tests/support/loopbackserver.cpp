#include "loopbackserver.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace orv::test {

LoopbackServer::LoopbackServer()
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto *any = reinterpret_cast<sockaddr *>(&address);
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listener < 0 || ::bind(m_listener, any, length) != 0 || ::listen(m_listener, 8) != 0
        || ::getsockname(m_listener, any, &length) != 0 || ::pipe(m_wake) != 0)
        throw std::runtime_error("loopback server cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] {
        while (waitReadable(m_listener)) {
            if (const int client = ::accept(m_listener, nullptr, nullptr); client >= 0) {
                serve(client);
                ::close(client);
            }
        }
    });
}

LoopbackServer::~LoopbackServer()
{
    m_stopping = true;
    [[maybe_unused]] const auto written = ::write(m_wake[1], "x", 1);
    m_thread.join();
    for (const int fd : {m_listener, m_wake[0], m_wake[1]})
        ::close(fd);
}

void LoopbackServer::route(const QByteArray &path, Behaviour behaviour, const QByteArray &response)
{
    const std::lock_guard lock(m_mutex);
    m_routes[path] = {behaviour, response};
}

int LoopbackServer::requests(const QByteArray &path)
{
    const std::lock_guard lock(m_mutex);
    return m_requests[path];
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QByteArray LoopbackServer::response(int status, const QByteArray &body, const QByteArray &headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

// True when fd can be read (or was closed), false when the server stops.
bool LoopbackServer::waitReadable(int fd) const
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {}
    return !(fds[1].revents & POLLIN);
}

void LoopbackServer::serve(int client)
{
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n")) {
        const ssize_t got = waitReadable(client) ? ::recv(client, buffer, sizeof buffer, 0) : 0;
        if (got <= 0)
            return;
        request.append(buffer, got);
    }
    std::pair<Behaviour, QByteArray> route{Behaviour::Reply, response(404, "not found")};
    {
        const std::lock_guard lock(m_mutex);
        ++m_requests[request.split(' ').value(1)];
        if (const auto it = m_routes.find(request.split(' ').value(1)); it != m_routes.end())
            route = it->second;
    }
    const auto send = [client](const QByteArray &bytes) {
        return ::send(client, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    };
    const bool drip = route.first == Behaviour::Drip || route.first == Behaviour::SlowDrip;
    const QByteArray chunk(drip ? 1 : 64 * 1024, 'x');
    if (route.first == Behaviour::Trickle) {
        const int one = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        for (qsizetype i = 0; i < route.second.size() && !m_stopping && send(route.second.mid(i, 1)); ++i)
            ::usleep(200);
    } else if (route.first == Behaviour::Late) {
        for (int i = 0; i < 5 && !m_stopping; ++i)
            ::usleep(100'000);
        send(route.second);
    } else if (route.first == Behaviour::Silent) {
        while (waitReadable(client) && ::recv(client, buffer, sizeof buffer, 0) > 0) {}
    } else if (send(route.second) && route.first != Behaviour::Reply) {
        while (!m_stopping && send(chunk)) {
            // Pauses in slices of 100 ms, so that stopping never waits long.
            const int slices = route.first == Behaviour::SlowDrip ? 10 : drip ? 1 : 0;
            for (int i = 0; i < slices && !m_stopping; ++i)
                ::usleep(100'000);
        }
    }
}

} // namespace orv::test
