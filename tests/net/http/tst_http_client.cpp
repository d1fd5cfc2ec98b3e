#include "LoopbackServer.h"
#include "http/HttpClient.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <thread>

using http::Error;
using testing::Answer;
using testing::LoopbackServer;
using testing::Piece;

Q_DECLARE_METATYPE(Error::Kind)
Q_DECLARE_METATYPE(testing::Answer)

namespace {

const QByteArray kPostAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

// A whole reply whose body comes in `chunks` pieces of 10,000 bytes, each
// after a pause, so that progress is reported between them.
Answer SlowReply(int chunks, int pauseMs) {
    QList<Piece> pieces{Piece{
        "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(chunks * 10000) + "\r\n\r\n"}};
    for (int i = 0; i < chunks; ++i)
        pieces.append(Piece{QByteArray(10000, 'a'), pauseMs});
    return Answer{pieces};
}

Error::Kind FailureOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.kind();
    }
    throw std::logic_error("the call did not fail");
}

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private slots:
    void postsTheFormByteForByte();
    void sendsCookiesOfEarlierRepliesOnly();
    void getsWithItsFourHeaders();
    void readsEveryFraming_data();
    void readsEveryFraming();
    void failsOutside2xx_data();
    void failsOutside2xx();
    void failsWhenNobodyListens();
    void boundsEveryWait_data();
    void boundsEveryWait();
    void reportsTransferBeginAndProgress();
    void abandonsFromInsideProgress();
    void servesEventsInsideProgress();
    void worksFromAWorkerThread();
};

void TestHttpClient::postsTheFormByteForByte() {
    LoopbackServer server({Answer::Ok("false")});
    http::Client client;
    client.SetUserAgent(kPostAgent);
    QCOMPARE(client.PostForm(server.Address(), "/requests/getsmartinstallerinfo.php", "smartname",
                             "Quorrin Pro+1"),
             QByteArray("false"));
    QCOMPARE(server.Requests().size(), 1);
    QCOMPARE(server.Requests().front(),
             "POST /requests/getsmartinstallerinfo.php HTTP/1.0\r\n"
             "Connection: keep-alive\r\n"
             "Content-Type: application/x-www-form-urlencoded\r\n"
             "Content-Length: 25\r\n"
             "Host: " +
                 server.Address() +
                 "\r\n"
                 "Accept: text/html, */*\r\n"
                 "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"
                 "\r\n"
                 "smartname=Quorrin+Pro%2B1");
}

void TestHttpClient::sendsCookiesOfEarlierRepliesOnly() {
    LoopbackServer server({Answer::Ok("x", "Set-Cookie: sid=abc; Path=/; HttpOnly\r\n"
                                           "Set-Cookie: lang=en\r\n"),
                           Answer::Ok("y", "Set-Cookie: lang=fr\r\n"
                                           "Set-Cookie: sid=gone; Max-Age=0\r\n"),
                           Answer::Ok("z")});
    http::Client client;
    client.PostForm(server.Address(), "/a", "product_id", "11");
    client.PostForm(server.Address(), "/b", "product_id", "11");
    client.PostForm(server.Address(), "/c", "product_id", "11");
    http::Client other;
    other.PostForm(server.Address(), "/d", "product_id", "11");

    const QList<QByteArray> requests = server.Requests();
    QCOMPARE(requests.size(), 4);
    QVERIFY(!requests[0].contains("Cookie"));
    // The cookie closes the head, after the user agent.
    QVERIFY(requests[1].contains("User-Agent: \r\nCookie: sid=abc; lang=en\r\n\r\nproduct_id=11"));
    QVERIFY(requests[2].contains("\r\nCookie: lang=fr\r\n\r\n"));
    QVERIFY(!requests[3].contains("Cookie"));
}

void TestHttpClient::getsWithItsFourHeaders() {
    LoopbackServer server({Answer::Ok("MZ")});
    http::Client client;
    client.SetUserAgent("Mozilla/3.0 (compatible; Indy Library)");
    QCOMPARE(client.Get("http://" + server.Address() + "/installers/q.exe?x=1"), QByteArray("MZ"));
    QCOMPARE(server.Requests().front(), "GET /installers/q.exe?x=1 HTTP/1.1\r\n"
                                        "Content-Type: text/html\r\n"
                                        "Host: " +
                                            server.Address() +
                                            "\r\n"
                                            "Accept: text/html, */*\r\n"
                                            "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                            "\r\n");
}

void TestHttpClient::readsEveryFraming_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("body");
    const QByteArray big(200000, 'b');
    QTest::newRow("length") << Answer::Ok(big) << big;
    QTest::newRow("length, keeping the connection open")
        << Answer{{Piece{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n1.40"}}, false}
        << QByteArray("1.40");
    QTest::newRow("chunks in pieces")
        << Answer{{Piece{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nab"},
                   Piece{"c\r\n", 30}, Piece{"2\r\nde\r\n0\r\n\r\n", 30}},
                  false}
        << QByteArray("abcde");
    QTest::newRow("to the end of the connection")
        << Answer{{Piece{"HTTP/1.0 200 OK\r\n\r\n"}, Piece{big, 30}}} << big;
    QTest::newRow("empty to the end") << Answer::Of("HTTP/1.0 200 OK\r\n\r\n") << QByteArray();
}

void TestHttpClient::readsEveryFraming() {
    QFETCH(Answer, answer);
    QFETCH(QByteArray, body);
    LoopbackServer server({answer});
    http::Client client;
    QCOMPARE(client.Get("http://" + server.Address() + "/f"), body);
}

void TestHttpClient::failsOutside2xx_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<Error::Kind>("kind");
    const auto status = Error::Kind::Status;
    QTest::newRow("moved") << Answer::Of("HTTP/1.1 301 Moved\r\nLocation: http://x/\r\n"
                                         "Content-Length: 0\r\n\r\n")
                           << status;
    QTest::newRow("found") << Answer::Of("HTTP/1.1 302 Found\r\nLocation: /y\r\n\r\n") << status;
    QTest::newRow("not modified") << Answer::Of("HTTP/1.1 304 Not Modified\r\n\r\n") << status;
    QTest::newRow("not found") << Answer::Of("HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\n"
                                             "false")
                               << status;
    QTest::newRow("server error") << Answer::Of("HTTP/1.0 500 Oops\r\n\r\n") << status;
    QTest::newRow("continue only") << Answer::Of("HTTP/1.1 100 Continue\r\n\r\n") << status;
    QTest::newRow("truncated") << Answer::Of("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nfal")
                               << Error::Kind::Transport;
    QTest::newRow("hung up at once") << Answer::Of({}) << Error::Kind::Transport;
    QTest::newRow("garbage") << Answer::Of("<html>hello</html>\r\n\r\n") << Error::Kind::Protocol;
}

void TestHttpClient::failsOutside2xx() {
    QFETCH(Answer, answer);
    QFETCH(Error::Kind, kind);
    LoopbackServer server({answer});
    http::Client client;
    bool begun = false;
    client.OnTransferBegin([&](qint64) { begun = true; });
    QCOMPARE(FailureOf([&] { client.PostForm(server.Address(), "/p", "a", "b"); }), kind);
    QCOMPARE(FailureOf([&] { client.Get("http://" + server.Address() + "/g"); }), kind);
    // A refused reply never reaches the transfer events.
    if (kind == Error::Kind::Status)
        QVERIFY(!begun);
}

void TestHttpClient::failsWhenNobodyListens() {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    http::Client client;
    QCOMPARE(
        FailureOf([&] { client.PostForm("127.0.0.1:" + QByteArray::number(port), "/", "a", "b"); }),
        Error::Kind::Transport);
    QCOMPARE(FailureOf([&] { client.Get("https://127.0.0.1/"); }), Error::Kind::Address);
}

void TestHttpClient::boundsEveryWait_data() {
    QTest::addColumn<Answer>("answer");
    QTest::newRow("silent after accepting") << Answer::Silent();
    QTest::newRow("stops inside the head") << Answer{{Piece{"HTTP/1.1 200 OK\r\nContent-"}}, false};
    QTest::newRow("stops inside the body")
        << Answer{{Piece{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc"}}, false};
}

void TestHttpClient::boundsEveryWait() {
    QFETCH(Answer, answer);
    LoopbackServer server({answer});
    http::Client client;
    client.SetWaitBound(std::chrono::milliseconds(300));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(FailureOf([&] { client.Get("http://" + server.Address() + "/"); }),
             Error::Kind::Timeout);
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(http::Client::kDefaultWaitBound, std::chrono::milliseconds(30000));
}

void TestHttpClient::reportsTransferBeginAndProgress() {
    const QByteArray body(50000, 'p');
    struct Case {
        Answer answer;
        qint64 announced;
    };
    const QList<Case> cases = {
        {Answer{{Piece{"HTTP/1.1 200 OK\r\nContent-Length: 50000\r\n\r\n"},
                 Piece{body.first(20000), 20}, Piece{body.sliced(20000), 20}}},
         50000},
        {Answer{{Piece{"HTTP/1.0 200 OK\r\n\r\n"}, Piece{body.first(20000), 20},
                 Piece{body.sliced(20000), 20}}},
         0},
        {Answer{{Piece{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"},
                 Piece{"4E20\r\n" + body.first(20000) + "\r\n", 20},
                 Piece{"7530\r\n" + body.sliced(20000) + "\r\n0\r\n\r\n", 20}}},
         0},
    };
    for (const Case& c : cases) {
        LoopbackServer server({c.answer});
        http::Client client;
        QList<qint64> begins;
        QList<qint64> progress;
        client.OnTransferBegin([&](qint64 announced) { begins.append(announced); });
        client.OnProgress([&](qint64 received) { progress.append(received); });
        QCOMPARE(client.Get("http://" + server.Address() + "/"), body);
        QCOMPARE(begins, QList<qint64>{c.announced});
        QVERIFY(progress.size() >= 2);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(progress.back(), qint64(body.size()));
    }
}

void TestHttpClient::abandonsFromInsideProgress() {
    LoopbackServer server({SlowReply(10, 20)});
    http::Client client;
    qint64 last = 0;
    client.OnProgress([&](qint64 received) {
        last = received;
        client.Abandon();
    });
    QCOMPARE(FailureOf([&] { client.Get("http://" + server.Address() + "/"); }),
             Error::Kind::Abandoned);
    QVERIFY(last > 0 && last < 100000);

    // The next transfer of the same client starts afresh.
    client.OnProgress({});
    LoopbackServer again({Answer::Ok("ok")});
    QCOMPARE(client.Get("http://" + again.Address() + "/"), QByteArray("ok"));
}

void TestHttpClient::servesEventsInsideProgress() {
    LoopbackServer server({SlowReply(4, 100)});
    http::Client client;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    client.OnProgress([](qint64) { QCoreApplication::processEvents(); });
    QCOMPARE(client.Get("http://" + server.Address() + "/").size(), 40000);
    QVERIFY(ticks > 0);
}

void TestHttpClient::worksFromAWorkerThread() {
    LoopbackServer server({Answer::Ok("1.4")});
    QByteArray body;
    std::thread worker([&] {
        http::Client client;
        body =
            client.PostForm(server.Address(), "/requests/checkversionid.php", "product_id", "11");
    });
    worker.join();
    QCOMPARE(body, QByteArray("1.4"));
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_http_client.moc"
