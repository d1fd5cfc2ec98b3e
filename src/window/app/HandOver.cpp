#include "app/HandOver.h"

#include "platform/InstanceGuard.h"
#include "toolkit/ErrorReport.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace app {

namespace {

// A path is one line of UTF-8; anything longer than this is no path.
constexpr qint64 kLongestMessage = 64 * 1024;
// The running copy may still be starting up when the later one calls.
constexpr int kConnectForMs = 3000;

} // namespace

HandOverServer::HandOverServer(const QString& address, Taker take, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), take_(std::move(take)) {
    if (address.isEmpty())
        return;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(address);
    server_->listen(address);
    connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
}

bool HandOverServer::Listening() const {
    return server_->isListening();
}

void HandOverServer::Accept() {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        // Another user's process never gets a document into this window,
        // whatever the socket's permissions let through.
        if (!platform::PeerIsThisUser(peer->socketDescriptor())) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Read(peer); });
        Read(peer);
    }
}

void HandOverServer::Read(QLocalSocket* peer) {
    if (!peer->canReadLine()) {
        if (peer->bytesAvailable() > kLongestMessage)
            peer->abort();
        return;
    }
    const QString path = QString::fromUtf8(peer->readLine(kLongestMessage)).chopped(1);
    peer->write("ok\n");
    peer->disconnectFromServer();
    // Taken once this call is over: taking may ask questions in boxes.
    if (!path.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, path] { toolkit::Guarded(nullptr, [&] { take_(path); }); },
            Qt::QueuedConnection);
}

bool HandOverServer::Send(const QString& address, const QString& path) {
    if (address.isEmpty())
        return false;
    QLocalSocket socket;
    const QDeadlineTimer deadline(kConnectForMs);
    for (;;) {
        socket.connectToServer(address);
        if (socket.waitForConnected(500))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kConnectForMs))
        return false;
    // The answer says the line arrived whole.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kConnectForMs))
            return false;
    return socket.readLine() == "ok\n";
}

} // namespace app
