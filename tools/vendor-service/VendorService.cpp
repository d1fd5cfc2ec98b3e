#include "VendorService.h"

#include "http/HttpWire.h"
#include "text/IntegerText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace vendor {

namespace {

constexpr qsizetype kMaxHead = 64 * 1024;
constexpr qsizetype kMaxBody = 64 * 1024;
constexpr int kIdleMs = 30000;

QByteArray PercentDecode(QByteArrayView text, bool plusIsSpace) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+' && plusIsSpace) {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && text::HexDigitValue(text[i + 1]) >= 0 &&
                   text::HexDigitValue(text[i + 2]) >= 0) {
            out += char(text::HexDigitValue(text[i + 1]) * 16 + text::HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

QMap<QByteArray, QByteArray> FormFields(const QByteArray& body) {
    QMap<QByteArray, QByteArray> fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0)
            fields[DecodeFormValue(pair.first(equals))] = DecodeFormValue(pair.sliced(equals + 1));
    }
    return fields;
}

Response Text(int status, const QByteArray& body) {
    Response response;
    response.status = status;
    response.body = body;
    return response;
}

Response FormReply(const QByteArray& body) {
    Response response = Text(200, body);
    response.formReply = true;
    return response;
}

QByteArray Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    default:
        return "Error";
    }
}

// The address of an installer: the service's own host and the file name,
// escaped for a path.
QByteArray InstallerAddress(const Config& config, const Request& request, const QString& file) {
    QByteArray host = config.publicAddress;
    if (host.isEmpty())
        host = request.host;
    if (host.isEmpty())
        host = config.listen.toLatin1() + ":" + QByteArray::number(config.port);
    return "http://" + host + "/installers/" + QUrl::toPercentEncoding(file);
}

Response Download(const Config& config, const QByteArray& target) {
    const QByteArray prefix = "/installers/";
    if (!target.startsWith(prefix))
        return Text(404, "not here");
    const QString name = QString::fromUtf8(PercentDecode(target.sliced(prefix.size()), false));
    // Only plain files right inside the folder: no sub-folders, no hidden
    // files, nothing a link leads out to.
    if (name.isEmpty() || name.startsWith('.') || name.contains('/') || name.contains('\\'))
        return Text(404, "not here");
    const QFileInfo info(QDir(config.folder).filePath(name));
    if (!info.isFile() || info.isSymLink())
        return Text(404, "not here");
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return Text(404, "not here");
    Response response = Text(200, file.readAll());
    response.contentType = "application/octet-stream";
    return response;
}

} // namespace

QByteArray DecodeFormValue(QByteArrayView value) {
    return PercentDecode(value, true);
}

Response Answer(const Config& config, const Request& request) {
    if (request.method == "GET")
        return Download(config, request.target);
    if (request.method != "POST")
        return Text(405, "GET or POST");
    const QMap<QByteArray, QByteArray> fields = FormFields(request.body);
    if (request.target == "/requests/getytvideoid.php" ||
        request.target == "/requests/checkversionid.php") {
        const auto product = config.products.find(fields.value("product_id"));
        if (product == config.products.end())
            return FormReply("false");
        const QByteArray& answer =
            request.target.contains("video") ? product->video : product->version;
        return FormReply(answer.isEmpty() ? "false" : answer);
    }
    if (request.target == "/requests/getsmartinstallerinfo.php") {
        const auto installer = config.installers.find(fields.value("smartname"));
        if (installer == config.installers.end() || installer->file.isEmpty())
            return FormReply("false");
        return FormReply("appname=" + http::EncodeFormValue(installer->name) + "&installer=" +
                         http::EncodeFormValue(InstallerAddress(config, request, installer->file)));
    }
    return Text(404, "not here");
}

// --- connections ------------------------------------------------------------

namespace {

// One client connection: reads one request, answers it, hangs up.
class Connection : public QObject {
public:
    Connection(const Config& config, QTcpSocket* socket, Service* service)
        : QObject(service), config_(config), socket_(socket), service_(service) {
        socket_->setParent(this);
        connect(socket_, &QTcpSocket::readyRead, this, [this] { Read(); });
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        idle_.setSingleShot(true);
        connect(&idle_, &QTimer::timeout, this, [this] {
            socket_->abort();
            deleteLater();
        });
        idle_.start(kIdleMs);
        connect(&pace_, &QTimer::timeout, this, [this] { SendSlice(); });
    }

private:
    void Read() {
        if (answered_) {
            socket_->readAll();
            return;
        }
        idle_.start(kIdleMs);
        buffer_ += socket_->readAll();
        const qsizetype end = buffer_.indexOf("\r\n\r\n");
        if (end < 0) {
            if (buffer_.size() > kMaxHead)
                Reply(Text(400, "head too long"), {});
            return;
        }
        const QList<QByteArray> lines = buffer_.first(end).split('\n');
        const QList<QByteArray> requestLine = lines.front().trimmed().split(' ');
        if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
            Reply(Text(400, "bad request line"), {});
            return;
        }
        Request request{requestLine[0], requestLine[1], {}, {}};
        qint64 length = 0;
        QByteArray cookie;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) {
                Reply(Text(400, "bad header"), {});
                return;
            }
            const QByteArray name = line.first(colon).toLower();
            const QByteArray value = line.sliced(colon + 1).trimmed();
            if (name == "content-length") {
                bool ok = false;
                length = value.toLongLong(&ok);
                if (!ok || length < 0) {
                    Reply(Text(400, "bad length"), {});
                    return;
                }
            } else if (name == "host") {
                request.host = value;
            } else if (name == "cookie") {
                cookie = value;
            }
        }
        if (length > kMaxBody) {
            Reply(Text(413, "too large"), {});
            return;
        }
        if (buffer_.size() < end + 4 + length)
            return;
        request.body = buffer_.sliced(end + 4, length);
        QByteArray summary = request.method + " " + request.target;
        if (!request.body.isEmpty())
            summary += " " + request.body;
        if (!cookie.isEmpty())
            summary += " cookie: " + cookie;
        Response response;
        try {
            response = Answer(config_, request);
        } catch (const std::exception&) {
            response = Text(500, "internal error");
        }
        summary += " -> " + QByteArray::number(response.status);
        emit service_->Served(summary);
        Reply(response, request.method);
    }

    void Reply(const Response& response, const QByteArray& method) {
        answered_ = true;
        const bool download = method == "GET" && response.status == 200;
        QByteArray head;
        QByteArray framing = "length";
        if (download && config_.transfer == Transfer::Close)
            framing = "close";
        if (download && config_.transfer == Transfer::Chunked)
            framing = "chunked";
        head = (framing == "close" ? "HTTP/1.0 " : "HTTP/1.1 ") +
               QByteArray::number(response.status) + " " + Reason(response.status) + "\r\n";
        head += "Content-Type: " + response.contentType + "\r\n";
        if (framing == "length")
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        if (framing == "chunked")
            head += "Transfer-Encoding: chunked\r\n";
        if (response.formReply && !config_.cookie.isEmpty())
            head += "Set-Cookie: " + config_.cookie + "; Path=/\r\n";
        head += "Connection: close\r\n\r\n";

        socket_->write(head);
        chunked_ = framing == "chunked";
        rest_ = response.body;
        if (download && config_.rate > 0) {
            slice_ = std::max<qint64>(1, config_.rate / 20);
            pace_.start(50);
        } else {
            slice_ = std::max<qint64>(1, rest_.size());
            while (!rest_.isEmpty())
                SendSlice();
            Finish();
        }
    }

    void SendSlice() {
        if (rest_.isEmpty()) {
            pace_.stop();
            Finish();
            return;
        }
        idle_.start(kIdleMs);
        const QByteArray slice = rest_.first(std::min<qint64>(slice_, rest_.size()));
        rest_.remove(0, slice.size());
        if (chunked_)
            socket_->write(QByteArray::number(slice.size(), 16) + "\r\n" + slice + "\r\n");
        else
            socket_->write(slice);
    }

    void Finish() {
        if (chunked_)
            socket_->write("0\r\n\r\n");
        socket_->disconnectFromHost();
    }

    const Config& config_;
    QTcpSocket* socket_;
    Service* service_;
    QTimer idle_;
    QTimer pace_;
    QByteArray buffer_;
    QByteArray rest_;
    qint64 slice_ = 0;
    bool answered_ = false;
    bool chunked_ = false;
};

} // namespace

Service::Service(Config config, QObject* parent) : QObject(parent), config_(std::move(config)) {
    connect(&server_, &QTcpServer::newConnection, this, &Service::Accept);
}

bool Service::Start(QString& error) {
    QHostAddress address;
    if (!address.setAddress(config_.listen)) {
        error = "not an address: " + config_.listen;
        return false;
    }
    if (!server_.listen(address, config_.port)) {
        error = server_.errorString();
        return false;
    }
    config_.port = server_.serverPort();
    return true;
}

void Service::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection())
        new Connection(config_, socket, this); // owned by the service, gone when the peer is
}

} // namespace vendor
