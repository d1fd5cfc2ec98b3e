#include "OnlineTestSupport.h"
#include "net/http/LoopbackServer.h"
#include "online/CheckForNewVersion.h"
#include "online/DownloadManager.h"
#include "online/ProLauncher.h"
#include "tools/vendor-service/VendorServiceProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;
using testing::Answer;
using testing::BoxAnswerer;
using testing::LoopbackServer;
using testing::VendorServiceProcess;

Q_DECLARE_METATYPE(testing::Answer)

namespace {

const QString kQuestion = "Confirm: A newer Arvenzo is available!\r\nVersion number: %1\r\n\r\n"
                          "Would you like to upgrade now?";

} // namespace

class TestVersionCheck : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void asksOnlyForAHigherVersion_data();
    void asksOnlyForAHigherVersion();
    void sendsBothPostsOnOneClient();
    void upgradesAndEndsTheProgram();
    void staysWhenTheUpgradeDoesNotStart_data();
    void staysWhenTheUpgradeDoesNotStart();
    void endsAgainstASilentService();
    void asksNothingOfAClosedWindow();
    void waitsForAnOpenDownloadWindow();
    void movesTheVideoControlsIntoPlace();
    void readsTheLocalVendorAddress();

private:
    // Runs one check to its end.
    void Check(const QByteArray& vendor, const std::string& installed);

    QDir Temp() const { return QDir(scene_->env.Temp()); }

    std::unique_ptr<testing::OnlineScene> scene_;
    int ended_ = 0;
};

void TestVersionCheck::init() {
    scene_ = std::make_unique<testing::OnlineScene>();
    ended_ = 0;
}

void TestVersionCheck::cleanup() {
    scene_.reset();
}

void TestVersionCheck::Check(const QByteArray& vendor, const std::string& installed) {
    online::VersionCheckSetup setup;
    setup.appVersion = installed;
    setup.vendorAddress = vendor.toStdString();
    setup.mainWindow = &scene_->main;
    setup.endProgram = [this] { ++ended_; };
    setup.waitBound = 300ms;
    QPointer<online::TCheckForNewVersionProcess> worker =
        online::TCheckForNewVersionProcess::Start(std::move(setup));
    // The worker frees itself once done.
    QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 15000);
}

void TestVersionCheck::asksOnlyForAHigherVersion_data() {
    QTest::addColumn<Answer>("video");
    QTest::addColumn<QByteArray>("newest");
    QTest::addColumn<QByteArray>("installed");
    QTest::addColumn<bool>("videoShown");
    QTest::addColumn<QString>("shown"); // the version in the question; empty: no question
    const Answer video = Answer::Ok("tutorial");
    const Answer noVideo = Answer::Ok("false");
    QTest::newRow("higher") << video << QByteArray("1.4") << QByteArray("1.3") << true << "1.40";
    QTest::newRow("same") << noVideo << QByteArray("1.3") << QByteArray("1.3") << false << "";
    QTest::newRow("same, longer") << noVideo << QByteArray("1.30") << QByteArray("1.3") << false
                                  << "";
    QTest::newRow("comma") << noVideo << QByteArray("1,4") << QByteArray("1.3") << false << "";
    QTest::newRow("line end") << noVideo << QByteArray("1.4\r\n") << QByteArray("1.3") << false
                              << "";
    QTest::newRow("spaces around")
        << noVideo << QByteArray(" 1.4 ") << QByteArray("1.3") << false << "1.40";
    QTest::newRow("whole number") << noVideo << QByteArray("2") << QByteArray("1.3") << false
                                  << "2.00";
    QTest::newRow("below one") << noVideo << QByteArray("0.5") << QByteArray("0.4") << false
                               << ".50";
    QTest::newRow("no version") << video << QByteArray("false") << QByteArray("1.3") << true << "";
    QTest::newRow("installed unreadable")
        << noVideo << QByteArray("1.4") << QByteArray("1.3b") << false << "";
    QTest::newRow("video False") << Answer::Ok("False") << QByteArray("1.3") << QByteArray("1.3")
                                 << true << "";
    QTest::newRow("video false with line end")
        << Answer::Ok("false\r\n") << QByteArray("1.3") << QByteArray("1.3") << true << "";
    QTest::newRow("video empty") << Answer::Ok("") << QByteArray("1.3") << QByteArray("1.3") << true
                                 << "";
    QTest::newRow("video request failed")
        << Answer::Of("HTTP/1.1 500 Oops\r\n\r\n") << QByteArray("1.4") << QByteArray("1.3")
        << false << "1.40";
    QTest::newRow("video redirected") << Answer::Of("HTTP/1.1 302 Found\r\nLocation: /v\r\n\r\n")
                                      << QByteArray("false") << QByteArray("1.3") << false << "";
}

void TestVersionCheck::asksOnlyForAHigherVersion() {
    QFETCH(Answer, video);
    QFETCH(QByteArray, newest);
    QFETCH(QByteArray, installed);
    QFETCH(bool, videoShown);
    QFETCH(QString, shown);
    LoopbackServer server({video, Answer::Ok(newest)});
    BoxAnswerer boxes({"No"});
    Check(server.Address(), installed.toStdString());

    QCOMPARE(scene_->main.video->isVisible(), videoShown);
    QCOMPARE(scene_->main.play->isVisibleTo(&scene_->main), videoShown);
    QCOMPARE(boxes.seen, shown.isEmpty() ? QStringList() : QStringList{kQuestion.arg(shown)});
    // No leaves everything as it was: nothing downloaded, nothing started.
    QCOMPARE(server.Connections(), 2);
    QCOMPARE(ended_, 0);
    QVERIFY(scene_->shell.Targets().empty());
}

void TestVersionCheck::sendsBothPostsOnOneClient() {
    LoopbackServer server({Answer::Ok("false", "Set-Cookie: visit=7\r\n"), Answer::Ok("false")});
    BoxAnswerer boxes;
    Check(server.Address(), "1.3");
    const QList<QByteArray> requests = server.Requests();
    QCOMPARE(requests.size(), 2);
    const QByteArray head = "Connection: keep-alive\r\n"
                            "Content-Type: application/x-www-form-urlencoded\r\n"
                            "Content-Length: 13\r\n"
                            "Host: " +
                            server.Address() +
                            "\r\n"
                            "Accept: text/html, */*\r\n"
                            "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n";
    QCOMPARE(requests[0],
             "POST /requests/getytvideoid.php HTTP/1.0\r\n" + head + "\r\nproduct_id=11");
    QCOMPARE(requests[1], "POST /requests/checkversionid.php HTTP/1.0\r\n" + head +
                              "Cookie: visit=7\r\n\r\nproduct_id=11");
}

void TestVersionCheck::upgradesAndEndsTheProgram() {
    VendorServiceProcess service("[product 11]\nversion = 1.4\n"
                                 "[installer Arvenzo]\nname = Arvenzo 1.4\nfile = a.exe\n",
                                 {{"a.exe", "MZ upgrade"}});
    BoxAnswerer boxes({"Yes"});
    Check(service.Address(), "1.3");
    QCOMPARE(boxes.seen, QStringList{kQuestion.arg("1.40")});
    QCOMPARE(ended_, 1);
    const std::string setup = Temp().filePath("Setup.exe").toStdString();
    QCOMPARE(scene_->shell.Targets(), std::vector<std::string>{setup});
    QVERIFY(!scene_->main.video->isVisible());
    QVERIFY(service.Log().contains("smartname=Arvenzo"));
}

void TestVersionCheck::staysWhenTheUpgradeDoesNotStart_data() {
    QTest::addColumn<bool>("refuseLookup");
    QTest::addColumn<QByteArray>("installers");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("lookup fails outright")
        << true << QByteArray() << QStringList{kQuestion.arg("1.40")};
    QTest::newRow("installer unknown")
        << false << QByteArray()
        << QStringList{kQuestion.arg("1.40"), "Error: Installer download error!"};
    QTest::newRow("installer missing")
        << false << QByteArray("[installer Arvenzo]\nname = A\nfile = gone.exe\n")
        << QStringList{kQuestion.arg("1.40"), "Error: Installer download error!"};
}

void TestVersionCheck::staysWhenTheUpgradeDoesNotStart() {
    QFETCH(bool, refuseLookup);
    QFETCH(QByteArray, installers);
    QFETCH(QStringList, boxes);
    VendorServiceProcess service("[product 11]\nversion = 1.4\n" + installers);
    QByteArray vendor = service.Address();
    std::unique_ptr<LoopbackServer> refusing;
    if (refuseLookup) {
        // The vendor answers both questions, then refuses the lookup.
        refusing = std::make_unique<LoopbackServer>(QList<Answer>{
            Answer::Ok("false"), Answer::Ok("1.4"), Answer::Of("HTTP/1.1 503 Busy\r\n\r\n")});
        vendor = refusing->Address();
    }
    BoxAnswerer answers({"Yes", "OK"});
    Check(vendor, "1.3");
    QCOMPARE(answers.seen, boxes);
    QCOMPARE(ended_, 0);
    QVERIFY(scene_->shell.Targets().empty());
}

void TestVersionCheck::endsAgainstASilentService() {
    // A service that accepts and never answers: each wait gives up after
    // its bound, and the worker ends with nothing shown.
    LoopbackServer server({Answer::Silent()});
    BoxAnswerer boxes;
    QElapsedTimer clock;
    clock.start();
    Check(server.Address(), "1.3");
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(server.Connections(), 2);
    QVERIFY(!scene_->main.video->isVisible());
    QCOMPARE(boxes.seen, QStringList());
}

void TestVersionCheck::asksNothingOfAClosedWindow() {
    LoopbackServer server({Answer::Ok("false"), Answer::Ok("1.4")});
    BoxAnswerer boxes({"Yes"});
    scene_->main.close();
    Check(server.Address(), "1.3");
    QCOMPARE(server.Connections(), 2);
    QCOMPARE(boxes.seen, QStringList());
    QCOMPARE(ended_, 0);
}

void TestVersionCheck::waitsForAnOpenDownloadWindow() {
    // The pro edition's download is under way when the newer version is
    // reported; a second download window inside the first one's progress
    // events would share its state, so the question waits for it to close.
    LoopbackServer vendor(
        {Answer::Ok("false"), Answer{{testing::Piece{"HTTP/1.1 200 OK\r\nContent-Length: "
                                                     "3\r\n\r\n1.4",
                                                     300}}}});
    VendorServiceProcess pro("[service]\nrate = 40000\n"
                             "[installer Quorrin]\nname = Quorrin\nfile = q.exe\n",
                             {{"q.exe", QByteArray(40000, 'q')}});
    BoxAnswerer boxes({"No"});
    bool windowOpenAtQuestion = true;
    boxes.onBox = [&] { windowOpenAtQuestion = online::DownloadWindowOpen(); };

    online::VersionCheckSetup setup{"1.3", vendor.Address().toStdString(), &scene_->main,
                                    [this] { ++ended_; }, 3s};
    QPointer<online::TCheckForNewVersionProcess> worker =
        online::TCheckForNewVersionProcess::Start(std::move(setup));
    online::StartProVersion(&scene_->main, pro.Address().toStdString(), 300ms);
    QVERIFY(pro.Log().contains("GET /installers/q.exe -> 200"));
    QTRY_VERIFY_WITH_TIMEOUT(worker.isNull(), 15000);

    QCOMPARE(boxes.seen, QStringList{kQuestion.arg("1.40")});
    QVERIFY(!windowOpenAtQuestion);
}

void TestVersionCheck::movesTheVideoControlsIntoPlace() {
    online::ShowVideoTutorial(&scene_->main);
    QVERIFY(scene_->main.video->isVisible());
    QVERIFY(scene_->main.play->isVisible());
    QCOMPARE(scene_->main.input->geometry(), QRect(6, 4, 400, 102));
    QCOMPARE(scene_->main.example->pos(), QPoint(200, 70));
    QCOMPARE(scene_->main.output->pos(), QPoint(6, 108));
    QCOMPARE(scene_->main.play->geometry(), QRect(6, 70, 140, 25));
}

void TestVersionCheck::readsTheLocalVendorAddress() {
    qunsetenv("ARVENZO_VENDOR");
    QCOMPARE(online::VendorAddress("tessaly.example"), std::string("tessaly.example"));
    qputenv("ARVENZO_VENDOR", "127.0.0.1:8080");
    QCOMPARE(online::VendorAddress("tessaly.example"), std::string("127.0.0.1:8080"));
    qunsetenv("ARVENZO_VENDOR");
}

QTEST_MAIN(TestVersionCheck)
#include "tst_version_check.moc"
