#include "OnlineTestSupport.h"
#include "net/http/LoopbackServer.h"
#include "online/ProLauncher.h"
#include "tools/vendor-service/VendorServiceProcess.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>
#include <atomic>
#include <thread>

using namespace std::chrono_literals;
using testing::Answer;
using testing::BoxAnswerer;
using testing::LoopbackServer;
using testing::VendorServiceProcess;

class TestProLauncher : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsTheInstalledEditionOrDownloads_data();
    void startsTheInstalledEditionOrDownloads();
    void minimizesAfterStartingTheInstaller();
    void staysSilentWhenTheLookupFails();
    void showsBusyWhileTheLookupWaits_data();
    void showsBusyWhileTheLookupWaits();

private:
    void Record(const QByteArray& lines);

    QDir Temp() const { return QDir(scene_->env.Temp()); }

    std::unique_ptr<testing::OnlineScene> scene_;
};

void TestProLauncher::init() {
    scene_ = std::make_unique<testing::OnlineScene>();
}

void TestProLauncher::cleanup() {
    scene_.reset();
}

void TestProLauncher::Record(const QByteArray& lines) {
    if (!lines.isNull())
        scene_->env.WriteRecord("Quorrin", {QString::fromLocal8Bit(lines.trimmed())});
}

void TestProLauncher::startsTheInstalledEditionOrDownloads_data() {
    QTest::addColumn<QByteArray>("record"); // null: no record at all
    QTest::addColumn<bool>("started");      // the edition itself went to the shell
    QTest::addColumn<bool>("lookedUp");     // the download window asked the vendor
    QTest::newRow("installed") << QByteArray("InstallPath=@/quorrin.bin\n") << true << false;
    QTest::newRow("any existing file")
        << QByteArray("InstallPath=\"@/notes.txt\"\n") << true << false;
    QTest::newRow("a folder") << QByteArray("InstallPath=@\n") << false << true;
    QTest::newRow("file missing") << QByteArray("InstallPath=@/gone.bin\n") << false << true;
    QTest::newRow("path empty") << QByteArray("InstallPath=\n") << false << true;
    QTest::newRow("no value") << QByteArray("Other=1\n") << false << true;
    QTest::newRow("no key") << QByteArray() << false << true;
    QTest::newRow("another type") << QByteArray("InstallPath=dword:00000001\n") << false << false;
}

void TestProLauncher::startsTheInstalledEditionOrDownloads() {
    QFETCH(QByteArray, record);
    QFETCH(bool, started);
    QFETCH(bool, lookedUp);
    VendorServiceProcess::Write(Temp().filePath("quorrin.bin"), "ELF");
    VendorServiceProcess::Write(Temp().filePath("notes.txt"), "notes");
    Record(record.isNull() ? record : record.replace('@', Temp().path().toLocal8Bit()));
    LoopbackServer server({Answer::Ok("false")});
    BoxAnswerer boxes({"OK"});

    online::StartProVersion(&scene_->main, server.Address().toStdString(), 300ms);

    QCOMPARE(server.Connections(), lookedUp ? 1 : 0);
    if (lookedUp) {
        QVERIFY(server.Requests().front().endsWith("smartname=Quorrin"));
        QCOMPARE(boxes.seen, QStringList{"Error: Installer download error!"});
    } else {
        QCOMPARE(boxes.seen, QStringList());
    }
    QCOMPARE(scene_->shell.Targets().size(), std::size_t(started ? 1 : 0));
    if (started) {
        const QString path =
            QString::fromLatin1(record.sliced(record.indexOf('=') + 1).trimmed()).remove('"');
        QCOMPARE(QString::fromStdString(scene_->shell.Targets().front()), path);
    }
    QVERIFY(!scene_->main.isMinimized());
}

void TestProLauncher::minimizesAfterStartingTheInstaller() {
    VendorServiceProcess service("[installer Quorrin]\nname = Quorrin\nfile = q.exe\n",
                                 {{"q.exe", "MZ pro"}});
    BoxAnswerer boxes;
    online::StartProVersion(&scene_->main, service.Address().toStdString(), 300ms);
    QCOMPARE(scene_->shell.Targets(),
             std::vector<std::string>{Temp().filePath("Setup.exe").toStdString()});
    QCOMPARE(boxes.seen, QStringList());
    QTRY_VERIFY(scene_->main.isMinimized()); // minimized, not ended
}

void TestProLauncher::staysSilentWhenTheLookupFails() {
    LoopbackServer server({Answer::Of("HTTP/1.1 404 Not Found\r\n\r\n")});
    BoxAnswerer boxes;
    online::StartProVersion(&scene_->main, server.Address().toStdString(), 300ms);
    QCOMPARE(server.Connections(), 1);
    QCOMPARE(boxes.seen, QStringList());
    QVERIFY(scene_->shell.Targets().empty());
    QVERIFY(!scene_->main.isMinimized());
}

void TestProLauncher::showsBusyWhileTheLookupWaits_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("boxes");
    QTest::newRow("lookup fails outright") << QByteArray("HTTP/1.1 404 Not Found\r\n\r\n") << 0;
    QTest::newRow("installer unknown") << QByteArray("HTTP/1.1 200 OK\r\n\r\nfalse") << 1;
}

void TestProLauncher::showsBusyWhileTheLookupWaits() {
    QFETCH(QByteArray, reply);
    QFETCH(int, boxes);
    LoopbackServer server({Answer{{testing::Piece{reply, 700}}}});
    // The window's thread is held by the lookup: only another one can look.
    std::atomic<int> shape{-1};
    std::thread watcher([&] {
        for (int i = 0; i < 500 && server.Connections() == 0; ++i)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(100ms);
        const QCursor* cursor = QGuiApplication::overrideCursor();
        shape = cursor ? cursor->shape() : Qt::ArrowCursor;
    });
    BoxAnswerer answerer;
    bool busyUnderBox = false;
    answerer.onBox = [&] { busyUnderBox = QGuiApplication::overrideCursor() != nullptr; };

    online::StartProVersion(&scene_->main, server.Address().toStdString(), 3000ms);
    watcher.join();

    QCOMPARE(shape.load(), int(Qt::WaitCursor));
    QCOMPARE(answerer.seen.size(), boxes);
    QVERIFY(!busyUnderBox); // the download window speaks for itself
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestProLauncher)
#include "tst_pro_launcher.moc"
