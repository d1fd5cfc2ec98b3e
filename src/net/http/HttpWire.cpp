#include "http/HttpWire.h"

#include "text/IntegerText.h"

#include <algorithm>

namespace http {

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters RFC 9110 allows in a header name.
bool IsTokenChar(char c) {
    return IsAlnum(c) ||
           (c != 0 && std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos);
}

void AppendEscaped(QByteArray& out, unsigned char byte) {
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

[[noreturn]] void BadAddress(const QByteArray& address, const char* why) {
    throw Error(Error::Kind::Address,
                "cannot fetch '" + address.toStdString() + "': " + std::string(why));
}

[[noreturn]] void BadReply(const std::string& why) {
    throw Error(Error::Kind::Protocol, "malformed reply: " + why);
}

// "host", "host:port", "[v6]" or "[v6]:port" into `into`; an empty port
// stands for 80.
void ParseAuthority(const QByteArray& whole, QByteArrayView authority, Endpoint& into) {
    QByteArrayView host;
    QByteArrayView rest;
    if (authority.startsWith('[')) {
        const qsizetype close = authority.indexOf(']');
        if (close < 0)
            BadAddress(whole, "unclosed '['");
        host = authority.sliced(1, close - 1);
        rest = authority.sliced(close + 1);
        for (char c : host) {
            if (text::HexDigitValue(c) < 0 && c != ':' && c != '.')
                BadAddress(whole, "bad character in the host");
        }
        if (!rest.isEmpty() && !rest.startsWith(':'))
            BadAddress(whole, "junk after the host");
    } else {
        const qsizetype colon = authority.indexOf(':');
        host = colon < 0 ? authority : authority.first(colon);
        rest = colon < 0 ? QByteArrayView() : authority.sliced(colon);
        for (char c : host) {
            if (!IsAlnum(c) && c != '-' && c != '.' && c != '_' && c != '~')
                BadAddress(whole, "bad character in the host");
        }
    }
    if (host.isEmpty())
        BadAddress(whole, "no host");
    into.host = host.toByteArray();
    into.port = 80;
    if (rest.size() > 1) {
        const QByteArrayView digits = rest.sliced(1);
        if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), IsDigit))
            BadAddress(whole, "bad port");
        const int port = digits.toInt();
        if (port < 1 || port > 65535)
            BadAddress(whole, "bad port");
        into.port = static_cast<quint16>(port);
    }
}

QByteArrayView Trimmed(QByteArrayView text) {
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

} // namespace

Endpoint ParseVendorAddress(const QByteArray& address) {
    Endpoint endpoint;
    ParseAuthority(address, address, endpoint);
    endpoint.hostHeader = address;
    return endpoint;
}

Endpoint ParseHttpUrl(const QByteArray& url) {
    const qsizetype schemeEnd = url.indexOf("://");
    if (url.isEmpty() || schemeEnd < 0)
        BadAddress(url, "not an http address");
    if (url.first(schemeEnd).toLower() != "http")
        BadAddress(url, "only http can be fetched");
    const QByteArrayView afterScheme = QByteArrayView(url).sliced(schemeEnd + 3);
    qsizetype authorityEnd = afterScheme.size();
    for (char stop : {'/', '?', '#'}) {
        const qsizetype at = afterScheme.indexOf(stop);
        if (at >= 0)
            authorityEnd = std::min(authorityEnd, at);
    }
    const QByteArrayView authority = afterScheme.first(authorityEnd);
    if (authority.contains('@'))
        BadAddress(url, "credentials in the address");
    Endpoint endpoint;
    ParseAuthority(url, authority, endpoint);

    QByteArrayView target = afterScheme.sliced(authorityEnd);
    const qsizetype fragment = target.indexOf('#');
    if (fragment >= 0)
        target = target.first(fragment);
    if (!target.startsWith('/'))
        endpoint.target = "/";
    for (char c : target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F)
            AppendEscaped(endpoint.target, byte);
        else
            endpoint.target += c;
    }

    endpoint.hostHeader = authority.startsWith('[') ? "[" + endpoint.host + "]" : endpoint.host;
    if (endpoint.port != 80)
        endpoint.hostHeader += ":" + QByteArray::number(endpoint.port);
    return endpoint;
}

QByteArray EncodeFormValue(const QByteArray& value) {
    QByteArray out;
    out.reserve(value.size());
    for (char c : value) {
        if (IsAlnum(c))
            out += c;
        else if (c == ' ')
            out += '+';
        else
            AppendEscaped(out, static_cast<unsigned char>(c));
    }
    return out;
}

QByteArray FormPostRequest(const QByteArray& path, const QByteArray& hostHeader,
                           const QByteArray& body, const QByteArray& userAgent,
                           const QByteArray& cookies) {
    QByteArray head = "POST " + path + " HTTP/1.0\r\n";
    head += "Connection: keep-alive\r\n";
    head += "Content-Type: application/x-www-form-urlencoded\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "Host: " + hostHeader + "\r\n";
    head += "Accept: text/html, */*\r\n";
    head += "User-Agent: " + userAgent + "\r\n";
    if (!cookies.isEmpty())
        head += "Cookie: " + cookies + "\r\n";
    return head + "\r\n" + body;
}

QByteArray GetRequest(const Endpoint& endpoint, const QByteArray& userAgent) {
    QByteArray head = "GET " + endpoint.target + " HTTP/1.1\r\n";
    head += "Content-Type: text/html\r\n";
    head += "Host: " + endpoint.hostHeader + "\r\n";
    head += "Accept: text/html, */*\r\n";
    head += "User-Agent: " + userAgent + "\r\n";
    return head + "\r\n";
}

// --- reply -----------------------------------------------------------------

QList<QByteArray> ReplyReader::Values(QByteArrayView name) const {
    QList<QByteArray> values;
    for (const Header& header : headers_) {
        if (header.name.compare(name, Qt::CaseInsensitive) == 0)
            values.append(header.value);
    }
    return values;
}

void ReplyReader::Feed(QByteArrayView data) {
    if (done_)
        return; // anything after a complete reply is not ours to read
    pending_.append(data);
    if (!headDone_)
        ParseHead();
    if (headDone_ && !done_)
        FeedBody();
}

void ReplyReader::Closed() {
    if (done_)
        return;
    if (headDone_ && framing_ == Framing::ToClose) {
        done_ = true;
        return;
    }
    throw Error(Error::Kind::Transport, headDone_ ? "the connection closed inside the reply body"
                                                  : "the connection closed before a reply");
}

void ReplyReader::ParseHead() {
    const qsizetype end = pending_.indexOf("\r\n\r\n");
    if (end < 0) {
        if (pending_.size() > kMaxHead)
            BadReply("head too long");
        return;
    }
    if (end > kMaxHead)
        BadReply("head too long");
    const QByteArrayView head = QByteArrayView(pending_).first(end + 2);
    QList<QByteArrayView> lines;
    qsizetype from = 0;
    while (from < head.size()) {
        const qsizetype eol = head.indexOf("\r\n", from);
        lines.append(head.sliced(from, eol - from));
        from = eol + 2;
    }
    ParseStatusLine(lines.front());
    for (qsizetype i = 1; i < lines.size(); ++i)
        ParseHeaderLine(lines[i], headers_);
    pending_.remove(0, end + 4);
    headDone_ = true;
    ChooseFraming();
}

void ReplyReader::ParseStatusLine(QByteArrayView line) {
    // HTTP/1.x, a space, three digits, and a reason phrase after a space
    if (line.size() < 12 || !line.startsWith("HTTP/1.") || !IsDigit(line[7]) || line[8] != ' ')
        BadReply("bad status line");
    const QByteArrayView code = line.sliced(9, 3);
    if (!std::all_of(code.begin(), code.end(), IsDigit) || code[0] < '1')
        BadReply("bad status code");
    if (line.size() > 12 && line[12] != ' ')
        BadReply("bad status line");
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            BadReply("control character in the status line");
    }
    status_ = code.toInt();
    statusLine_ = line.toByteArray();
}

void ReplyReader::ParseHeaderLine(QByteArrayView line, QList<Header>& into) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        BadReply("header line without a name");
    const QByteArrayView name = line.first(colon);
    if (!std::all_of(name.begin(), name.end(), IsTokenChar))
        BadReply("bad header name");
    const QByteArrayView value = Trimmed(line.sliced(colon + 1));
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            BadReply("control character in a header");
    }
    into.append({name.toByteArray(), value.toByteArray()});
}

void ReplyReader::ChooseFraming() {
    const QList<QByteArray> encodings = Values("Transfer-Encoding");
    const QList<QByteArray> lengths = Values("Content-Length");
    if (status_ < 200 || status_ == 204 || status_ == 304) {
        framing_ = Framing::None;
    } else if (!encodings.isEmpty()) {
        if (!lengths.isEmpty())
            BadReply("both a length and a transfer coding");
        if (encodings.size() != 1 || encodings.front().toLower() != "chunked")
            BadReply("unsupported transfer coding");
        framing_ = Framing::Chunked;
    } else if (!lengths.isEmpty()) {
        for (const QByteArray& length : lengths) {
            if (length != lengths.front())
                BadReply("conflicting lengths");
        }
        const QByteArray& length = lengths.front();
        if (length.isEmpty() || length.size() > 12 ||
            !std::all_of(length.begin(), length.end(), IsDigit))
            BadReply("bad Content-Length");
        contentLength_ = length.toLongLong();
        if (contentLength_ > kMaxBody)
            BadReply("body too large");
        framing_ = Framing::Length;
    } else {
        framing_ = Framing::ToClose;
    }
    if (framing_ == Framing::None || (framing_ == Framing::Length && contentLength_ == 0))
        done_ = true;
}

void ReplyReader::Append(QByteArrayView part) {
    if (body_.size() + part.size() > kMaxBody)
        BadReply("body too large");
    body_.append(part);
}

void ReplyReader::FeedBody() {
    if (framing_ == Framing::ToClose) {
        Append(pending_);
        pending_.clear();
        return;
    }
    if (framing_ == Framing::Length) {
        const qsizetype take = std::min<qint64>(pending_.size(), contentLength_ - body_.size());
        Append(QByteArrayView(pending_).first(take));
        pending_.clear();
        done_ = body_.size() == contentLength_;
        return;
    }
    // chunked
    qsizetype at = 0;
    while (!done_) {
        if (chunkStep_ == ChunkStep::Size || chunkStep_ == ChunkStep::Trailer) {
            const qsizetype eol = pending_.indexOf("\r\n", at);
            if (eol < 0) {
                if (pending_.size() - at > 4096)
                    BadReply("chunk line too long");
                break;
            }
            const QByteArrayView line = QByteArrayView(pending_).sliced(at, eol - at);
            at = eol + 2;
            if (chunkStep_ == ChunkStep::Trailer) {
                if (line.isEmpty()) {
                    done_ = true;
                    break;
                }
                trailerBytes_ += line.size();
                if (trailerBytes_ > kMaxHead)
                    BadReply("trailer too long");
                QList<Header> ignored;
                ParseHeaderLine(line, ignored);
                continue;
            }
            qsizetype semicolon = line.indexOf(';');
            const QByteArrayView size = Trimmed(semicolon < 0 ? line : line.first(semicolon));
            if (size.isEmpty() || size.size() > 8)
                BadReply("bad chunk size");
            qint64 value = 0;
            for (char c : size) {
                const int digit = text::HexDigitValue(c);
                if (digit < 0)
                    BadReply("bad chunk size");
                value = value * 16 + digit;
            }
            if (body_.size() + value > kMaxBody)
                BadReply("body too large");
            chunkLeft_ = value;
            chunkStep_ = value == 0 ? ChunkStep::Trailer : ChunkStep::Data;
        } else if (chunkStep_ == ChunkStep::Data) {
            const qsizetype take = std::min<qint64>(pending_.size() - at, chunkLeft_);
            if (take == 0)
                break;
            Append(QByteArrayView(pending_).sliced(at, take));
            at += take;
            chunkLeft_ -= take;
            if (chunkLeft_ == 0)
                chunkStep_ = ChunkStep::DataEnd;
        } else { // DataEnd
            if (pending_.size() - at < 2)
                break;
            if (pending_[at] != '\r' || pending_[at + 1] != '\n')
                BadReply("chunk not followed by a line end");
            at += 2;
            chunkStep_ = ChunkStep::Size;
        }
    }
    pending_.remove(0, at);
}

} // namespace http
