#include "app/HandOver.h"

#include "platform/InstanceGuard.h"
#include "toolkit/ErrorReport.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace app {

namespace {

// A path is one line of UTF-8; anything longer than this is no path.
constexpr qint64 kLongestMessage = 64 * 1024;
// The running copy may still be starting up when the later one calls.
constexpr int kConnectForMs = 3000;
// A later start sends its line as soon as it is connected; a caller that
// does not is let go, so that callers that never close cannot use up the
// window's descriptors.
constexpr int kCallerDeadlineMs = 2000;
// More callers at once than anyone starts by hand; past them the oldest
// goes, so that the newest always gets through.
constexpr qsizetype kMostCallers = 16;

const QByteArray kTaken = "ok\n";
const QByteArray kNotTaken = "no\n";

} // namespace

HandOverServer::HandOverServer(const QString& address, Taker take, QObject* parent)
    : QObject(parent), address_(address), server_(new QLocalServer(this)), take_(std::move(take)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] { Accept(); });
    Listen();
}

bool HandOverServer::Listening() const {
    return server_->isListening();
}

// Qt closes the server when taking a connection fails; listening starts
// again, whatever a caller did.
void HandOverServer::Listen() {
    if (address_.isEmpty() || server_->isListening())
        return;
    QLocalServer::removeServer(address_);
    server_->listen(address_);
}

void HandOverServer::Accept() {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
        // Another user's process never gets a document into this window,
        // whatever the socket's permissions let through.
        if (!platform::PeerIsThisUser(peer->socketDescriptor())) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        if (peers_.size() >= kMostCallers)
            Drop(peers_.constFirst());
        peers_.append(peer);
        connect(peer, &QLocalSocket::disconnected, this, [this, peer] { Drop(peer); });
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Read(peer); });
        QTimer::singleShot(kCallerDeadlineMs, peer, [this, peer] { Drop(peer); });
        Read(peer);
    }
    Listen();
}

void HandOverServer::Read(QLocalSocket* peer) {
    if (!peer->canReadLine()) {
        if (peer->bytesAvailable() > kLongestMessage)
            Drop(peer);
        return;
    }
    const QString path = QString::fromUtf8(peer->readLine(kLongestMessage)).chopped(1);
    // One document a call: whatever follows the line is not read.
    disconnect(peer, &QLocalSocket::readyRead, this, nullptr);
    bool taken = false;
    if (!path.isEmpty())
        toolkit::Guarded(nullptr, [&] { taken = take_(path); });
    peer->write(taken ? kTaken : kNotTaken);
    peer->disconnectFromServer();
}

// The descriptor goes at once; the object once its signals are done.
void HandOverServer::Drop(QLocalSocket* peer) {
    if (!peers_.removeOne(peer))
        return; // gone already
    peer->abort();
    peer->deleteLater();
    Listen();
}

HandOverServer::Sent HandOverServer::Send(const QString& address, const QString& path) {
    if (address.isEmpty())
        return Sent::NoAnswer;
    QLocalSocket socket;
    const QDeadlineTimer deadline(kConnectForMs);
    for (;;) {
        socket.connectToServer(address);
        if (socket.waitForConnected(500))
            break;
        if (deadline.hasExpired())
            return Sent::NoAnswer;
        QThread::msleep(100);
    }
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kConnectForMs))
        return Sent::NoAnswer;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kConnectForMs))
            return Sent::NoAnswer;
    const QByteArray answer = socket.readLine();
    return answer == kTaken ? Sent::Taken : answer == kNotTaken ? Sent::NotTaken : Sent::NoAnswer;
}

} // namespace app
