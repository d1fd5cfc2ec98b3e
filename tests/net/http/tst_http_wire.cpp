#include "http/HttpWire.h"

#include <QTest>

using http::Error;

Q_DECLARE_METATYPE(Error::Kind)

class TestHttpWire : public QObject {
    Q_OBJECT

private slots:
    void encodesFormValues_data();
    void encodesFormValues();
    void parsesAddresses_data();
    void parsesAddresses();
    void refusesAddresses_data();
    void refusesAddresses();
    void writesFormPostByteForByte();
    void writesGetByteForByte();
    void readsReplies_data();
    void readsReplies();
    void refusesReplies_data();
    void refusesReplies();
};

void TestHttpWire::encodesFormValues_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("letters and digits") << QByteArray("Quorrin11") << QByteArray("Quorrin11");
    QTest::newRow("space") << QByteArray("a b") << QByteArray("a+b");
    QTest::newRow("punctuation") << QByteArray("a_b-c.d~e") << QByteArray("a%5Fb%2Dc%2Ed%7Ee");
    QTest::newRow("reserved") << QByteArray("+&=%") << QByteArray("%2B%26%3D%25");
    QTest::newRow("control and high")
        << QByteArray("\r\n\x01\xe9\xff") << QByteArray("%0D%0A%01%E9%FF");
    QTest::newRow("nul") << QByteArray("a\0b", 3) << QByteArray("a%00b");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestHttpWire::encodesFormValues() {
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, encoded);
    QCOMPARE(http::EncodeFormValue(value), encoded);
}

void TestHttpWire::parsesAddresses_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("hostHeader");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("plain") << QByteArray("http://tessaly.example/dl/Setup.exe")
                           << QByteArray("tessaly.example") << 80 << QByteArray("tessaly.example")
                           << QByteArray("/dl/Setup.exe");
    QTest::newRow("port 80 is not named")
        << QByteArray("http://tessaly.example:80/a") << QByteArray("tessaly.example") << 80
        << QByteArray("tessaly.example") << QByteArray("/a");
    QTest::newRow("other port is named")
        << QByteArray("http://127.0.0.1:8080/a?b=c") << QByteArray("127.0.0.1") << 8080
        << QByteArray("127.0.0.1:8080") << QByteArray("/a?b=c");
    QTest::newRow("scheme in capitals, no path") << QByteArray("HTTP://host") << QByteArray("host")
                                                 << 80 << QByteArray("host") << QByteArray("/");
    QTest::newRow("query only") << QByteArray("http://host?x=1") << QByteArray("host") << 80
                                << QByteArray("host") << QByteArray("/?x=1");
    QTest::newRow("fragment dropped") << QByteArray("http://host/a#top") << QByteArray("host") << 80
                                      << QByteArray("host") << QByteArray("/a");
    QTest::newRow("ipv6") << QByteArray("http://[::1]:81/a") << QByteArray("::1") << 81
                          << QByteArray("[::1]:81") << QByteArray("/a");
    QTest::newRow("blanks and line ends escaped")
        << QByteArray("http://host/my setup.exe\r\nX-Evil: 1") << QByteArray("host") << 80
        << QByteArray("host") << QByteArray("/my%20setup.exe%0D%0AX-Evil:%201");
    QTest::newRow("high bytes escaped") << QByteArray("http://host/caf\xe9") << QByteArray("host")
                                        << 80 << QByteArray("host") << QByteArray("/caf%E9");
}

void TestHttpWire::parsesAddresses() {
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, host);
    QFETCH(int, port);
    QFETCH(QByteArray, hostHeader);
    QFETCH(QByteArray, target);
    const http::Endpoint endpoint = http::ParseHttpUrl(url);
    QCOMPARE(endpoint.host, host);
    QCOMPARE(int(endpoint.port), port);
    QCOMPARE(endpoint.hostHeader, hostHeader);
    QCOMPARE(endpoint.target, target);
}

void TestHttpWire::refusesAddresses_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("vendorForm"); // host[:port] rather than a full address
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("https") << QByteArray("https://host/a") << false;
    QTest::newRow("ftp") << QByteArray("ftp://host/a") << false;
    QTest::newRow("no scheme") << QByteArray("host/a") << false;
    QTest::newRow("no host") << QByteArray("http:///a") << false;
    QTest::newRow("credentials") << QByteArray("http://u:p@host/a") << false;
    QTest::newRow("port zero") << QByteArray("http://host:0/") << false;
    QTest::newRow("port too big") << QByteArray("http://host:65536/") << false;
    QTest::newRow("port not a number") << QByteArray("http://host:8o/") << false;
    QTest::newRow("blank in host") << QByteArray("http://ho st/") << false;
    QTest::newRow("line end in host") << QByteArray("http://host\r\nX: y/") << false;
    QTest::newRow("vendor empty") << QByteArray() << true;
    QTest::newRow("vendor with path") << QByteArray("host/x") << true;
    QTest::newRow("vendor bad port") << QByteArray("host:99999") << true;
}

void TestHttpWire::refusesAddresses() {
    QFETCH(QByteArray, url);
    QFETCH(bool, vendorForm);
    try {
        if (vendorForm)
            http::ParseVendorAddress(url);
        else
            http::ParseHttpUrl(url);
        QFAIL("accepted");
    } catch (const Error& error) {
        QCOMPARE(error.kind(), Error::Kind::Address);
    }
}

void TestHttpWire::writesFormPostByteForByte() {
    const QByteArray agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
    QCOMPARE(http::FormPostRequest("/requests/checkversionid.php", "tessaly.example",
                                   "product_id=11", agent, {}),
             QByteArray("POST /requests/checkversionid.php HTTP/1.0\r\n"
                        "Connection: keep-alive\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\n"
                        "Content-Length: 13\r\n"
                        "Host: tessaly.example\r\n"
                        "Accept: text/html, */*\r\n"
                        "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"
                        "\r\n"
                        "product_id=11"));
    QCOMPARE(http::FormPostRequest("/p", "h", "a=b", "UA", "s=1; t=2"),
             QByteArray("POST /p HTTP/1.0\r\n"
                        "Connection: keep-alive\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\n"
                        "Content-Length: 3\r\n"
                        "Host: h\r\n"
                        "Accept: text/html, */*\r\n"
                        "User-Agent: UA\r\n"
                        "Cookie: s=1; t=2\r\n"
                        "\r\n"
                        "a=b"));
}

void TestHttpWire::writesGetByteForByte() {
    const QByteArray agent = "Mozilla/3.0 (compatible; Indy Library)";
    QCOMPARE(http::GetRequest(http::ParseHttpUrl("http://dl.example:8080/x/Setup.exe?v=2"), agent),
             QByteArray("GET /x/Setup.exe?v=2 HTTP/1.1\r\n"
                        "Content-Type: text/html\r\n"
                        "Host: dl.example:8080\r\n"
                        "Accept: text/html, */*\r\n"
                        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                        "\r\n"));
}

namespace {

// Feeds `bytes` in pieces of `step` bytes (0: all at once) and closes the
// connection at the end when the reader still wants more.
http::ReplyReader Read(const QByteArray& bytes, qsizetype step) {
    http::ReplyReader reader;
    if (step == 0) {
        reader.Feed(bytes);
    } else {
        for (qsizetype at = 0; at < bytes.size(); at += step)
            reader.Feed(QByteArrayView(bytes).sliced(at, std::min(step, bytes.size() - at)));
    }
    if (!reader.Done())
        reader.Closed();
    return reader;
}

} // namespace

void TestHttpWire::readsReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("announced");
    QTest::newRow("length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello")
                            << 200 << QByteArray("hello") << qint64(5);
    QTest::newRow("length, extra bytes ignored")
        << QByteArray("HTTP/1.0 200 OK\r\nContent-length:  3 \r\n\r\nabcdef") << 200
        << QByteArray("abc") << qint64(3);
    QTest::newRow("body kept as bytes")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n 1.4\r\n") << 200
        << QByteArray(" 1.4\r\n") << qint64(6);
    QTest::newRow("empty by length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")
                                     << 200 << QByteArray() << qint64(0);
    QTest::newRow("chunked") << QByteArray(
                                    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "4\r\nWiki\r\nA;name=x\r\npedia in c\r\n0\r\nX-Sum: 1\r\n\r\n")
                             << 200 << QByteArray("Wikipedia in c") << qint64(-1);
    QTest::newRow("chunked, capitals") << QByteArray("HTTP/1.1 201 Created\r\nTransfer-Encoding: "
                                                     "Chunked\r\n\r\n1f\r\n" +
                                                     QByteArray(31, 'z') + "\r\n0\r\n\r\n")
                                       << 201 << QByteArray(31, 'z') << qint64(-1);
    QTest::newRow("to the end of the connection")
        << QByteArray("HTTP/1.0 200 OK\r\nServer: x\r\n\r\nall of it") << 200
        << QByteArray("all of it") << qint64(-1);
    QTest::newRow("no reason phrase") << QByteArray("HTTP/1.1 200\r\nContent-Length: 1\r\n\r\nx")
                                      << 200 << QByteArray("x") << qint64(1);
    QTest::newRow("no content") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << 204
                                << QByteArray() << qint64(-1);
    QTest::newRow("not found, read for its status")
        << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno") << 404
        << QByteArray("no") << qint64(2);
}

void TestHttpWire::readsReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(qint64, announced);
    for (qsizetype step : {0, 1, 3}) {
        const http::ReplyReader reader = Read(reply, step);
        QVERIFY(reader.Done());
        QCOMPARE(reader.Status(), status);
        QCOMPARE(reader.Body(), body);
        QCOMPARE(reader.ContentLength(), announced);
    }
}

void TestHttpWire::refusesReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Error::Kind>("kind");
    const auto protocol = Error::Kind::Protocol;
    const auto transport = Error::Kind::Transport;
    QTest::newRow("nothing") << QByteArray() << transport;
    QTest::newRow("head cut off") << QByteArray("HTTP/1.1 200 OK\r\nContent-Le") << transport;
    QTest::newRow("body short of its length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort") << transport;
    QTest::newRow("chunks cut off")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab") << transport;
    QTest::newRow("no last chunk")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n")
        << transport;
    QTest::newRow("not http") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << protocol;
    QTest::newRow("http 2") << QByteArray("HTTP/2.0 200 OK\r\n\r\n") << protocol;
    QTest::newRow("short code") << QByteArray("HTTP/1.1 20 OK\r\n\r\n") << protocol;
    QTest::newRow("letters in code") << QByteArray("HTTP/1.1 2x0 OK\r\n\r\n") << protocol;
    QTest::newRow("bare line feeds")
        << QByteArray("HTTP/1.1 200 OK\nContent-Length: 1\n\nx\r\n\r\n") << protocol;
    QTest::newRow("folded header")
        << QByteArray("HTTP/1.1 200 OK\r\nX-A: 1\r\n  2\r\nContent-Length: 0\r\n\r\n") << protocol;
    QTest::newRow("blank before colon")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length : 0\r\n\r\n") << protocol;
    QTest::newRow("no colon") << QByteArray("HTTP/1.1 200 OK\r\nJunk\r\n\r\n") << protocol;
    QTest::newRow("length not a number")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n") << protocol;
    QTest::newRow("two lengths")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")
        << protocol;
    QTest::newRow("length and chunks")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nTransfer-Encoding: "
                      "chunked\r\n\r\n1\r\na\r\n0\r\n\r\n")
        << protocol;
    QTest::newRow("unknown coding")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n") << protocol;
    QTest::newRow("bad chunk size")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") << protocol;
    QTest::newRow("chunk overruns")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nabc\r\n0\r\n\r\n")
        << protocol;
    QTest::newRow("huge chunk")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFF\r\n")
        << protocol;
    QTest::newRow("huge length") << QByteArray(
                                        "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n")
                                 << protocol;
    QTest::newRow("endless head") << QByteArray("HTTP/1.1 200 OK\r\nX: " + QByteArray(70000, 'a'))
                                  << protocol;
}

void TestHttpWire::refusesReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(Error::Kind, kind);
    for (qsizetype step : {0, 7}) {
        try {
            Read(reply, step);
            QFAIL("accepted");
        } catch (const Error& error) {
            QCOMPARE(error.kind(), kind);
        }
    }
}

QTEST_GUILESS_MAIN(TestHttpWire)
#include "tst_http_wire.moc"
