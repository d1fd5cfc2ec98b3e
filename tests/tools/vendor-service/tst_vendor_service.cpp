#include "VendorService.h"
#include "VendorServiceProcess.h"
#include "http/HttpClient.h"

#include <QFile>
#include <QTest>

using testing::VendorServiceProcess;

namespace {

const QByteArray kAnswers = "[product 11]\n"
                            "video = tutorial-7\n"
                            "version = 1.4\n"
                            "[product 12]\n"
                            "[product 13]\n"
                            "version = \" 1.5\\r\\n\"\n"
                            "[installer Quorrin]\n"
                            "name = Quorrin Professional 2+\n"
                            "file = quorrin setup.sh\n"
                            "[installer Gone]\n"
                            "name = Gone\n"
                            "file = missing.sh\n";

QByteArray Post(const QByteArray& address, const QByteArray& path, const QByteArray& name,
                const QByteArray& value) {
    http::Client client;
    return client.PostForm(address, path, name, value);
}

} // namespace

class TestVendorService : public QObject {
    Q_OBJECT

private slots:
    void answersTheVersionAndVideoQuestions_data();
    void answersTheVersionAndVideoQuestions();
    void looksInstallersUp();
    void servesInstallersInEveryFraming_data();
    void servesInstallersInEveryFraming();
    void servesOnlyFilesOfItsFolder_data();
    void servesOnlyFilesOfItsFolder();
    void setsACookieThatComesBack();
    void refusesABadConfiguration_data();
    void refusesABadConfiguration();
};

void TestVendorService::answersTheVersionAndVideoQuestions_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("product");
    QTest::addColumn<QByteArray>("reply");
    const QByteArray video = "/requests/getytvideoid.php";
    const QByteArray version = "/requests/checkversionid.php";
    QTest::newRow("video") << video << QByteArray("11") << QByteArray("tutorial-7");
    QTest::newRow("version") << version << QByteArray("11") << QByteArray("1.4");
    QTest::newRow("no video") << video << QByteArray("12") << QByteArray("false");
    QTest::newRow("no version") << version << QByteArray("12") << QByteArray("false");
    QTest::newRow("odd version as written")
        << version << QByteArray("13") << QByteArray(" 1.5\r\n");
    QTest::newRow("unknown product") << version << QByteArray("99") << QByteArray("false");
}

void TestVendorService::answersTheVersionAndVideoQuestions() {
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, product);
    QFETCH(QByteArray, reply);
    VendorServiceProcess service(kAnswers);
    QCOMPARE(Post(service.Address(), path, "product_id", product), reply);
}

void TestVendorService::looksInstallersUp() {
    VendorServiceProcess service(kAnswers);
    const QByteArray reply =
        Post(service.Address(), "/requests/getsmartinstallerinfo.php", "smartname", "Quorrin");
    // A seven-letter key, then a nine-letter one; nothing in it may be blank.
    QCOMPARE(reply, "appname=Quorrin+Professional+2%2B&installer=http%3A%2F%2F" +
                        http::EncodeFormValue(service.Address()) +
                        "%2Finstallers%2Fquorrin%2520setup%2Esh");
    QCOMPARE(vendor::DecodeFormValue(reply.sliced(reply.indexOf("&") + 11)),
             "http://" + service.Address() + "/installers/quorrin%20setup.sh");
    for (const QByteArray name : {"quorrin", "Nobody", ""})
        QCOMPARE(Post(service.Address(), "/requests/getsmartinstallerinfo.php", "smartname", name),
                 QByteArray("false"));
}

void TestVendorService::servesInstallersInEveryFraming_data() {
    QTest::addColumn<QByteArray>("transfer");
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint64>("announced");
    QTest::newRow("length") << QByteArray("length") << 0 << qint64(30000);
    QTest::newRow("chunked") << QByteArray("chunked") << 0 << qint64(0);
    QTest::newRow("to the end") << QByteArray("close") << 0 << qint64(0);
    QTest::newRow("length, paced") << QByteArray("length") << 100000 << qint64(30000);
    QTest::newRow("chunked, paced") << QByteArray("chunked") << 100000 << qint64(0);
}

void TestVendorService::servesInstallersInEveryFraming() {
    QFETCH(QByteArray, transfer);
    QFETCH(int, rate);
    QFETCH(qint64, announced);
    QByteArray installer(30000, '\0');
    for (qsizetype i = 0; i < installer.size(); ++i)
        installer[i] = char(i * 7);
    VendorServiceProcess service("[service]\ntransfer = " + transfer +
                                     "\nrate = " + QByteArray::number(rate) + "\n" + kAnswers,
                                 {{"quorrin setup.sh", installer}});
    http::Client client;
    qint64 begun = -1;
    int steps = 0;
    client.OnTransferBegin([&](qint64 size) { begun = size; });
    client.OnProgress([&](qint64) { ++steps; });
    QCOMPARE(client.Get("http://" + service.Address() + "/installers/quorrin%20setup.sh"),
             installer);
    QCOMPARE(begun, announced);
    if (rate > 0)
        QVERIFY(steps >= 3); // paced slices arrive one by one
}

void TestVendorService::servesOnlyFilesOfItsFolder_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("missing") << QByteArray("/installers/missing.sh");
    QTest::newRow("parent") << QByteArray("/installers/../service.ini");
    QTest::newRow("escaped parent") << QByteArray("/installers/..%2Fservice.ini");
    QTest::newRow("hidden") << QByteArray("/installers/.hidden");
    QTest::newRow("sub-folder") << QByteArray("/installers/sub%2Fa.sh");
    QTest::newRow("link out") << QByteArray("/installers/link.sh");
    QTest::newRow("folder itself") << QByteArray("/installers/");
    QTest::newRow("elsewhere") << QByteArray("/service.ini");
}

void TestVendorService::servesOnlyFilesOfItsFolder() {
    QFETCH(QByteArray, target);
    VendorServiceProcess service(kAnswers, {{".hidden", "h"}});
    QDir(service.InstallerFolder()).mkdir("sub");
    VendorServiceProcess::Write(service.InstallerFolder() + "/sub/a.sh", "a");
    QFile::link(service.InstallerFolder() + "/../service.ini",
                service.InstallerFolder() + "/link.sh");
    http::Client client;
    try {
        client.Get("http://" + service.Address() + target);
        QFAIL("served");
    } catch (const http::Error& error) {
        QCOMPARE(error.kind(), http::Error::Kind::Status);
    }
}

void TestVendorService::setsACookieThatComesBack() {
    VendorServiceProcess service("[service]\ncookie = visitor=42\n" + kAnswers);
    http::Client client;
    client.PostForm(service.Address(), "/requests/getytvideoid.php", "product_id", "11");
    QCOMPARE(client.CookieHeader(), QByteArray("visitor=42"));
    client.PostForm(service.Address(), "/requests/checkversionid.php", "product_id", "11");
    QVERIFY(service.WaitForLog("POST /requests/checkversionid.php product_id=11 cookie: "
                               "visitor=42 -> 200"));
    QVERIFY(!service.Log().contains("getytvideoid.php product_id=11 cookie"));
}

void TestVendorService::refusesABadConfiguration_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("unknown section") << QByteArray("[shop]\n");
    QTest::newRow("unknown key") << QByteArray("[product 11]\ncolour = red\n");
    QTest::newRow("key outside a section") << QByteArray("port = 1\n");
    QTest::newRow("bad port") << QByteArray("[service]\nport = 70000\n");
    QTest::newRow("bad transfer") << QByteArray("[service]\ntransfer = pigeon\n");
    QTest::newRow("unclosed quote") << QByteArray("[product 11]\nversion = \"1.4\n");
    QTest::newRow("installer without a name") << QByteArray("[installer]\n");
}

void TestVendorService::refusesABadConfiguration() {
    QFETCH(QByteArray, ini);
    try {
        vendor::ParseConfig(ini, "/");
        QFAIL("accepted");
    } catch (const vendor::ConfigError& error) {
        QVERIFY(QByteArray(error.what()).startsWith("line "));
    }
}

QTEST_GUILESS_MAIN(TestVendorService)
#include "tst_vendor_service.moc"
