#include "../http/LoopbackServer.h"
#include "../vendor-service/VendorServiceProcess.h"
#include "OnlineTestSupport.h"
#include "online/ProLauncher.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using testing::Answer;
using testing::BoxAnswerer;
using testing::LoopbackServer;
using testing::ShellRecorder;
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

private:
    void Record(const QByteArray& lines);

    std::unique_ptr<QTemporaryDir> temp_;
    std::unique_ptr<testing::FakeMainWindow> main_;
    std::unique_ptr<ShellRecorder> shell_;
};

void TestProLauncher::init() {
    temp_ = std::make_unique<QTemporaryDir>();
    qputenv("TEMP", temp_->path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", temp_->filePath("etc").toLocal8Bit());
    QDir(temp_->path()).mkpath("etc/Tessaly");
    main_ = std::make_unique<testing::FakeMainWindow>();
    main_->show();
    shell_ = std::make_unique<ShellRecorder>();
}

void TestProLauncher::cleanup() {
    shell_.reset();
    main_.reset();
    temp_.reset();
}

void TestProLauncher::Record(const QByteArray& lines) {
    if (!lines.isNull())
        VendorServiceProcess::Write(temp_->filePath("etc/Tessaly/Quorrin.conf"), lines);
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
    VendorServiceProcess::Write(temp_->filePath("quorrin.bin"), "ELF");
    VendorServiceProcess::Write(temp_->filePath("notes.txt"), "notes");
    Record(record.isNull() ? record : record.replace('@', temp_->path().toLocal8Bit()));
    LoopbackServer server({Answer::Ok("false")});
    BoxAnswerer boxes({"OK"});

    online::StartProVersion(main_.get(), server.Address().toStdString(), 300ms);

    QCOMPARE(server.Connections(), lookedUp ? 1 : 0);
    if (lookedUp) {
        QVERIFY(server.Requests().front().endsWith("smartname=Quorrin"));
        QCOMPARE(boxes.seen, QStringList{"Error: Installer download error!"});
    } else {
        QCOMPARE(boxes.seen, QStringList());
    }
    QCOMPARE(shell_->opened.size(), std::size_t(started ? 1 : 0));
    if (started) {
        const QString path =
            QString::fromLatin1(record.sliced(record.indexOf('=') + 1).trimmed()).remove('"');
        QCOMPARE(QString::fromStdString(shell_->opened.front()), path);
    }
    QVERIFY(!main_->isMinimized());
}

void TestProLauncher::minimizesAfterStartingTheInstaller() {
    VendorServiceProcess service("[installer Quorrin]\nname = Quorrin\nfile = q.exe\n",
                                 {{"q.exe", "MZ pro"}});
    BoxAnswerer boxes;
    online::StartProVersion(main_.get(), service.Address().toStdString(), 300ms);
    QCOMPARE(shell_->opened, std::vector<std::string>{temp_->filePath("Setup.exe").toStdString()});
    QCOMPARE(boxes.seen, QStringList());
    QTRY_VERIFY(main_->isMinimized()); // minimized, not ended
}

void TestProLauncher::staysSilentWhenTheLookupFails() {
    LoopbackServer server({Answer::Of("HTTP/1.1 404 Not Found\r\n\r\n")});
    BoxAnswerer boxes;
    online::StartProVersion(main_.get(), server.Address().toStdString(), 300ms);
    QCOMPARE(server.Connections(), 1);
    QCOMPARE(boxes.seen, QStringList());
    QVERIFY(shell_->opened.empty());
    QVERIFY(!main_->isMinimized());
}

QTEST_MAIN(TestProLauncher)
#include "TestProLauncher.moc"
