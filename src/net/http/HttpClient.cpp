#include "http/HttpClient.h"

#include <QTcpSocket>
#include <algorithm>

namespace http {

namespace {

int Millis(std::chrono::milliseconds bound) {
    return static_cast<int>(std::min<std::chrono::milliseconds::rep>(bound.count(), 0x7FFFFFFF));
}

[[noreturn]] void SocketFailure(const QTcpSocket& socket, const char* during) {
    const std::string what = std::string(during) + ": " + socket.errorString().toStdString();
    if (socket.error() == QAbstractSocket::SocketTimeoutError)
        throw Error(Error::Kind::Timeout, what);
    throw Error(Error::Kind::Transport, what);
}

} // namespace

QByteArray Client::PostForm(const QByteArray& vendorAddress, const QByteArray& path,
                            const QByteArray& name, const QByteArray& value) {
    const Endpoint endpoint = ParseVendorAddress(vendorAddress);
    const QByteArray body = name + "=" + EncodeFormValue(value);
    return Exchange(endpoint,
                    FormPostRequest(path, endpoint.hostHeader, body, userAgent_, CookieHeader()));
}

QByteArray Client::Get(const QByteArray& url) {
    const Endpoint endpoint = ParseHttpUrl(url);
    return Exchange(endpoint, GetRequest(endpoint, userAgent_));
}

QByteArray Client::CookieHeader() const {
    QByteArray header;
    for (const auto& [name, value] : cookies_) {
        if (!header.isEmpty())
            header += "; ";
        header += name + "=" + value;
    }
    return header;
}

void Client::CheckAbandoned() const {
    if (abandoned_)
        throw Error(Error::Kind::Abandoned, "the transfer was abandoned");
}

QByteArray Client::Exchange(const Endpoint& endpoint, const QByteArray& request) {
    abandoned_ = false;
    const int bound = Millis(waitBound_);
    QTcpSocket socket;
    socket.connectToHost(QString::fromLatin1(endpoint.host), endpoint.port);
    if (!socket.waitForConnected(bound))
        SocketFailure(socket, "connecting");

    socket.write(request);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(bound))
            SocketFailure(socket, "sending");
    }

    ReplyReader reply;
    bool begun = false;
    qint64 reported = 0;
    while (!reply.Done()) {
        CheckAbandoned();
        // Events handled inside a progress event may have read ahead for us,
        // so look at what is buffered before waiting for more.
        if (socket.bytesAvailable() == 0) {
            if (socket.state() != QAbstractSocket::ConnectedState) {
                reply.Closed();
                break;
            }
            if (!socket.waitForReadyRead(bound) && socket.bytesAvailable() == 0) {
                if (socket.error() == QAbstractSocket::RemoteHostClosedError ||
                    socket.state() != QAbstractSocket::ConnectedState) {
                    reply.Closed();
                    break;
                }
                SocketFailure(socket, "waiting for the reply");
            }
            continue;
        }
        const bool hadHead = reply.HeadDone();
        reply.Feed(socket.readAll());
        if (!reply.HeadDone())
            continue;
        if (!hadHead) {
            KeepCookies(reply);
            if (reply.Status() < 200 || reply.Status() > 299) {
                std::string what = "the server answered " + reply.StatusLine().toStdString();
                const QList<QByteArray> location = reply.Values("Location");
                if (reply.Status() >= 300 && reply.Status() <= 399 && !location.isEmpty())
                    what += " (a redirect to " + location.front().toStdString() + ", not followed)";
                throw Error(Error::Kind::Status, what);
            }
        }
        if (!begun) {
            begun = true;
            if (onBegin_)
                onBegin_(std::max<qint64>(reply.ContentLength(), 0));
            CheckAbandoned();
        }
        if (reply.Body().size() > reported) {
            reported = reply.Body().size();
            if (onProgress_)
                onProgress_(reported);
        }
    }
    CheckAbandoned();
    socket.abort();
    return reply.Body();
}

void Client::KeepCookies(const ReplyReader& reply) {
    for (const QByteArray& line : reply.Values("Set-Cookie")) {
        const QList<QByteArray> parts = line.split(';');
        const QByteArray pair = parts.front();
        const qsizetype equals = pair.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray name = pair.first(equals).trimmed();
        const QByteArray value = pair.sliced(equals + 1).trimmed();
        if (name.isEmpty())
            continue;
        bool expired = false;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QByteArray attribute = parts[i].trimmed().toLower();
            if (attribute.startsWith("max-age=")) {
                bool ok = false;
                const qint64 age = attribute.sliced(8).toLongLong(&ok);
                expired = ok && age <= 0;
            }
        }
        qsizetype known = -1;
        for (qsizetype i = 0; i < cookies_.size(); ++i) {
            if (cookies_[i].first == name)
                known = i;
        }
        if (expired) {
            if (known >= 0)
                cookies_.removeAt(known);
        } else if (known >= 0) {
            cookies_[known].second = value;
        } else {
            cookies_.append({name, value});
        }
    }
}

} // namespace http
