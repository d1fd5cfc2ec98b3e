// What goes over the wire: request heads byte for byte, and a reader that
// takes a reply apart strictly. No sockets here, so every rule can be tried
// on plain bytes.
#pragma once

#include <QByteArray>
#include <QList>
#include <stdexcept>
#include <string>

namespace http {

class Error : public std::runtime_error {
public:
    enum class Kind {
        Address,   // the address cannot be fetched (bad form, not "http")
        Transport, // connecting, sending or receiving failed, or the peer hung up early
        Timeout,   // a wait for the peer ran past its bound
        Protocol,  // the reply is not well-formed HTTP
        Status,    // a well-formed reply outside 2xx (redirects included)
        Abandoned, // the caller gave the transfer up
    };
    Error(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Where a request goes, and how it names the host in its head.
struct Endpoint {
    QByteArray host; // for connecting: a name or an address, without brackets
    quint16 port = 80;
    QByteArray hostHeader; // the Host value
    QByteArray target;     // path with query, for a GET
};

// The vendor's address as the program knows it: a host, optionally ":" and a
// port. The Host header carries it as given.
Endpoint ParseVendorAddress(const QByteArray& address);

// An "http://" address; any other scheme fails with Error::Kind::Address.
// The Host header names the port only when it is not 80. Bytes that cannot
// stand in a request line (blanks, controls, non-ASCII) are escaped, so a
// decoded address can never add lines to the request.
Endpoint ParseHttpUrl(const QByteArray& url);

// A form value: a space becomes "+", ASCII letters and digits stay, every
// other byte becomes "%" and two upper-case hexadecimal digits.
QByteArray EncodeFormValue(const QByteArray& value);

// The HTTP/1.0 form post. `cookies` is the Cookie value, left out when empty.
QByteArray FormPostRequest(const QByteArray& path, const QByteArray& hostHeader,
                           const QByteArray& body, const QByteArray& userAgent,
                           const QByteArray& cookies);

// The HTTP/1.1 download request.
QByteArray GetRequest(const Endpoint& endpoint, const QByteArray& userAgent);

struct Header {
    QByteArray name; // as received
    QByteArray value;
};

// Reads one reply as it arrives. Feed() takes whatever came in; once the head
// is complete, Status() and Headers() are known, and once Done() the body is
// complete. Malformed input raises Error::Kind::Protocol.
class ReplyReader {
public:
    enum class Framing { Unknown, None, Length, Chunked, ToClose };

    static constexpr qsizetype kMaxHead = 64 * 1024;
    static constexpr qint64 kMaxBody = qint64(1) << 30;

    void Feed(QByteArrayView data);
    // The peer closed the connection; a reply that is not complete by then
    // is truncated and raises Error::Kind::Transport.
    void Closed();

    bool HeadDone() const { return headDone_; }
    bool Done() const { return done_; }
    int Status() const { return status_; }
    const QByteArray& StatusLine() const { return statusLine_; }
    const QList<Header>& Headers() const { return headers_; }
    QList<QByteArray> Values(QByteArrayView name) const;    // every header of that name
    qint64 ContentLength() const { return contentLength_; } // -1 when not announced
    const QByteArray& Body() const { return body_; }

private:
    void ParseHead();
    void ParseStatusLine(QByteArrayView line);
    void ParseHeaderLine(QByteArrayView line, QList<Header>& into);
    void ChooseFraming();
    void FeedBody();
    void Append(QByteArrayView part);

    enum class ChunkStep { Size, Data, DataEnd, Trailer };

    QByteArray pending_; // received, not yet consumed
    bool headDone_ = false;
    bool done_ = false;
    int status_ = 0;
    QByteArray statusLine_;
    QList<Header> headers_;
    Framing framing_ = Framing::Unknown;
    qint64 contentLength_ = -1;
    QByteArray body_;
    ChunkStep chunkStep_ = ChunkStep::Size;
    qint64 chunkLeft_ = 0;
    qsizetype trailerBytes_ = 0;
};

} // namespace http
