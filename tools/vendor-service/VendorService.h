// A stand-in for the vendor's web service: the three form posts of the
// program and the installer downloads, from one listening socket.
#pragma once

#include "ServiceConfig.h"

#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace vendor {

// What the service answers to one complete request; pure, so it can be
// tried without sockets.
struct Request {
    QByteArray method;
    QByteArray target;
    QByteArray host;
    QByteArray body;
};

struct Response {
    int status = 200;
    QByteArray contentType = "text/html";
    QByteArray body;
    bool formReply = false; // carries the cookie
};

Response Answer(const Config& config, const Request& request);

// Decodes a form field value: "+" is a space, "%" and two hex digits a byte.
QByteArray DecodeFormValue(QByteArrayView value);

class Service : public QObject {
    Q_OBJECT
public:
    explicit Service(Config config, QObject* parent = nullptr);
    // Starts listening; false with `error` filled when the port is taken.
    bool Start(QString& error);
    quint16 Port() const { return server_.serverPort(); }

signals:
    void Served(const QByteArray& summary); // one line per request, for the log

private:
    void Accept();

    Config config_;
    QTcpServer server_;
};

} // namespace vendor
