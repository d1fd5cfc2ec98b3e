// A scripted HTTP peer on 127.0.0.1 for tests. It runs on a thread of its
// own, so that a blocking client on the test's thread can talk to it. Each
// connection gets the next scripted answer (the last one repeats); every
// request is recorded byte for byte.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace testing {

struct Piece {
    QByteArray bytes;
    int delayMs = 0; // pause before these bytes go out
};

struct Answer {
    QList<Piece> pieces;
    bool hangUp = true; // close after the last piece; otherwise stay silent until the client leaves

    static Answer Of(const QByteArray& bytes) { return Answer{{Piece{bytes}}}; }
    static Answer Silent() { return Answer{{}, false}; }
    // A 200 reply with Content-Length.
    static Answer Ok(const QByteArray& body, const QByteArray& extraHeaders = {}) {
        return Of("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" +
                  extraHeaders + "\r\n" + body);
    }
};

class LoopbackServer {
public:
    explicit LoopbackServer(QList<Answer> answers) : answers_(std::move(answers)) {
        std::promise<quint16> bound;
        auto port = bound.get_future();
        thread_ = std::thread([this, &bound] { Run(bound); });
        port_ = port.get();
    }
    ~LoopbackServer() {
        stop_ = true;
        thread_.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    quint16 Port() const { return port_; }
    QByteArray Address() const { return "127.0.0.1:" + QByteArray::number(port_); }
    QList<QByteArray> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int Connections() const { return connections_; }

private:
    static bool Complete(const QByteArray& request) {
        const qsizetype end = request.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        qint64 length = 0;
        for (const QByteArray& line : request.first(end).split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.sliced(15).trimmed().toLongLong();
        }
        return request.size() >= end + 4 + length;
    }

    void Run(std::promise<quint16>& bound) {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        bound.set_value(server.serverPort());
        while (!stop_) {
            if (!server.waitForNewConnection(20))
                continue;
            std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
            const Answer answer = answers_[std::min<qsizetype>(connections_, answers_.size() - 1)];
            ++connections_;
            QByteArray request;
            while (!stop_ && !Complete(request) &&
                   socket->state() == QAbstractSocket::ConnectedState) {
                if (socket->waitForReadyRead(20) || socket->bytesAvailable() > 0)
                    request += socket->readAll();
            }
            {
                std::lock_guard lock(mutex_);
                requests_.append(request);
            }
            for (const Piece& piece : answer.pieces) {
                for (int waited = 0; waited < piece.delayMs && !stop_; waited += 5)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                if (socket->state() != QAbstractSocket::ConnectedState)
                    break;
                socket->write(piece.bytes);
                while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(20)) {
                }
            }
            if (answer.hangUp) {
                socket->disconnectFromHost();
                if (socket->state() != QAbstractSocket::UnconnectedState)
                    socket->waitForDisconnected(1000);
            } else {
                while (!stop_ && socket->state() == QAbstractSocket::ConnectedState) {
                    socket->waitForReadyRead(20);
                    socket->readAll();
                }
            }
        }
    }

    QList<Answer> answers_;
    std::thread thread_;
    quint16 port_ = 0;
    std::atomic<bool> stop_ = false;
    std::atomic<int> connections_ = 0;
    mutable std::mutex mutex_;
    QList<QByteArray> requests_;
};

} // namespace testing
