#include "loopbackserver.h"

#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace orv::test {

LoopbackServer::LoopbackServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || ::listen(m_listener, 8) != 0 || ::pipe(m_wake) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("loopback server cannot listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stopping = true;
    [[maybe_unused]] const auto written = ::write(m_wake[1], "x", 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void LoopbackServer::route(const QByteArray &path, Behaviour behaviour, const QByteArray &response)
{
    const std::lock_guard lock(m_mutex);
    m_routes[path] = {behaviour, response};
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QByteArray LoopbackServer::response(int status, const QByteArray &body, const QByteArray &headers)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Length: "
         + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

QByteArray LoopbackServer::redirect(const QByteArray &location)
{
    return response(302, {}, "Location: " + location + "\r\n");
}

// True when fd has data (or was closed), false when the server stops.
bool LoopbackServer::waitReadable(int fd)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
    }
    return !(fds[1].revents & POLLIN);
}

void LoopbackServer::run()
{
    while (waitReadable(m_listener)) {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client >= 0) {
            serve(client);
            ::close(client);
        }
    }
}

void LoopbackServer::serve(int client)
{
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n")) {
        if (!waitReadable(client))
            return;
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, got);
    }
    const QByteArray path = request.split(' ').value(1);
    std::pair<Behaviour, QByteArray> route{Behaviour::Reply, response(404, "not found")};
    {
        const std::lock_guard lock(m_mutex);
        if (const auto it = m_routes.find(path); it != m_routes.end())
            route = it->second;
    }
    const auto send = [client](const QByteArray &bytes) {
        return ::send(client, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    };
    switch (route.first) {
    case Behaviour::Reply:
        send(route.second);
        break;
    case Behaviour::Silent:
        while (waitReadable(client) && ::recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        break;
    case Behaviour::Endless: {
        const QByteArray chunk(64 * 1024, 'x');
        if (send(route.second))
            while (!m_stopping && send(chunk)) {
            }
        break;
    }
    case Behaviour::Drip:
        if (send(route.second))
            while (!m_stopping && send("x"))
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        break;
    }
}

} // namespace orv::test
