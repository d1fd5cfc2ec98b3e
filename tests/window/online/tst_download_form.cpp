#include "OnlineTestSupport.h"
#include "net/http/LoopbackServer.h"
#include "online/DownloadManager.h"
#include "tools/vendor-service/VendorServiceProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;
using testing::Answer;
using testing::BoxAnswerer;
using testing::LoopbackServer;
using testing::Piece;
using testing::VendorServiceProcess;

Q_DECLARE_METATYPE(testing::Answer)
Q_DECLARE_METATYPE(online::DownloadResult)

namespace {

const QByteArray kInstallers = "[installer Quorrin]\n"
                               "name = Quorrin Professional\n"
                               "file = quorrin.exe\n"
                               "[installer Gone]\n"
                               "name = Gone\n"
                               "file = missing.exe\n";

QByteArray Installer(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 13 + 1);
    return bytes;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Everything one run of the window shows and leaves behind.
struct Run {
    online::DownloadResult result = online::DownloadResult::Failed;
    QString caption;
    QString status;
    int gaugeMaximum = -1;
    QStringList boxes;
};

} // namespace

class TestDownloadForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsTheLookupReply_data();
    void readsTheLookupReply();
    void raisesWhenTheLookupFailsOutright_data();
    void raisesWhenTheLookupFailsOutright();
    void downloadsSavesAndStarts_data();
    void downloadsSavesAndStarts();
    void reportsAFailedDownload_data();
    void reportsAFailedDownload();
    void cancelsOnlyAfterYes();
    void givesUpOnASilentServer();
    void keepsTheWindowOpenAgainstEscapeAndClose();
    void savesAsANewFileNeverThroughALink();

private:
    Run Download(const QByteArray& vendor, const std::string& name, QStringList answers = {},
                 std::function<void(online::TDownloadForm&)> during = {});

    QDir Temp() const { return QDir(scene_->env.Temp()); }
    QString SetupFile() const { return Temp().filePath("Setup.exe"); }

    std::unique_ptr<testing::OnlineScene> scene_;
};

void TestDownloadForm::init() {
    scene_ = std::make_unique<testing::OnlineScene>();
}

void TestDownloadForm::cleanup() {
    scene_.reset();
}

Run TestDownloadForm::Download(const QByteArray& vendor, const std::string& name,
                               QStringList answers,
                               std::function<void(online::TDownloadForm&)> during) {
    BoxAnswerer boxes(std::move(answers));
    Run run;
    online::TDownloadForm form(&scene_->main, vendor.toStdString());
    form.SetWaitBound(500ms);
    form.StartDownload(name);
    form.CentreOverOwner();
    QTimer watch;
    if (during) {
        QObject::connect(&watch, &QTimer::timeout, [&] { during(form); });
        watch.start(5);
    }
    run.result = form.ShowModal();
    run.caption = form.windowTitle();
    run.status = form.findChild<QLabel*>("sStickyLabelStatus")->text();
    run.gaugeMaximum = form.findChild<QProgressBar*>("sGaugeProgress")->maximum();
    run.boxes = boxes.seen;
    return run;
}

void TestDownloadForm::readsTheLookupReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<online::DownloadResult>("state");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("address");
    const online::DownloadResult good = online::DownloadResult::Started;
    const online::DownloadResult bad = online::DownloadResult::Failed;
    QTest::newRow("good") << QByteArray("appname=Quorrin+Pro&installer=http%3A%2F%2Fh%2Fq.exe")
                          << good << "Quorrin Pro Setup" << QByteArray("http://h/q.exe");
    QTest::newRow("false") << QByteArray("false") << bad << "Download Manager" << QByteArray();
    QTest::newRow("empty") << QByteArray() << bad << "Download Manager" << QByteArray();
    QTest::newRow("False is a reply like any other")
        << QByteArray("False") << bad << " Setup" << QByteArray();
    QTest::newRow("one field") << QByteArray("appname=Quorrin") << bad << "Quorrin Setup"
                               << QByteArray();
    QTest::newRow("longer key") << QByteArray("appnames=Q&installer=http://h/q") << good
                                << "=Q Setup" << QByteArray("http://h/q");
    QTest::newRow("plus and escaped plus") << QByteArray("appname=A+B%2BC&installer=http://h/q")
                                           << good << "A B C Setup" << QByteArray("http://h/q");
    QTest::newRow("line break at the end") << QByteArray("appname=Q&installer=http://h/q\r\n")
                                           << good << "Q Setup" << QByteArray("http://h/q");
}

void TestDownloadForm::readsTheLookupReply() {
    QFETCH(QByteArray, reply);
    QFETCH(online::DownloadResult, state);
    QFETCH(QString, caption);
    QFETCH(QByteArray, address);
    VendorServiceProcess::Write(SetupFile(), "old installer");
    LoopbackServer server({Answer::Ok(reply)});
    online::TDownloadForm form(&scene_->main, server.Address().toStdString());
    form.StartDownload("Quorrin");

    QCOMPARE(form.Result(), state);
    QCOMPARE(form.windowTitle(), caption);
    QVERIFY(form.findChild<QTimer*>("TimerHTTP")->isActive());
    QVERIFY(!form.findChild<QPushButton*>("sBitBtnCancel")->isEnabled());
    QVERIFY(server.Requests().front().endsWith("\r\n\r\nsmartname=Quorrin"));
    if (state == online::DownloadResult::Started) {
        QCOMPARE(QByteArray::fromStdString(form.InstallerUrl()), address);
        QCOMPARE(QString::fromStdString(form.SetupPath()), SetupFile());
        QVERIFY(!QFileInfo::exists(SetupFile())); // the old one goes at once
    } else {
        QCOMPARE(form.InstallerUrl(), std::string());
        QCOMPARE(ReadFile(SetupFile()), QByteArray("old installer"));
    }
}

void TestDownloadForm::raisesWhenTheLookupFailsOutright_data() {
    QTest::addColumn<Answer>("answer");
    QTest::newRow("not found") << Answer::Of("HTTP/1.1 404 Not Found\r\n\r\n");
    QTest::newRow("redirect") << Answer::Of("HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n");
    QTest::newRow("hung up") << Answer::Of({});
    QTest::newRow("silent") << Answer::Silent();
}

void TestDownloadForm::raisesWhenTheLookupFailsOutright() {
    QFETCH(Answer, answer);
    LoopbackServer server({answer});
    online::TDownloadForm form(&scene_->main, server.Address().toStdString());
    form.SetWaitBound(300ms);
    QVERIFY_THROWS_EXCEPTION(http::Error, form.StartDownload("Quorrin"));
    QVERIFY(!form.findChild<QTimer*>("TimerHTTP")->isActive());
}

void TestDownloadForm::downloadsSavesAndStarts_data() {
    QTest::addColumn<QByteArray>("transfer");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("gauge");
    QTest::newRow("length announced") << QByteArray("length") << 40000 << 40000;
    QTest::newRow("no length announced") << QByteArray("close") << 40000 << 0;
    QTest::newRow("chunks") << QByteArray("chunked") << 40000 << 0;
    QTest::newRow("empty installer") << QByteArray("length") << 0 << 0;
}

void TestDownloadForm::downloadsSavesAndStarts() {
    QFETCH(QByteArray, transfer);
    QFETCH(int, size);
    QFETCH(int, gauge);
    VendorServiceProcess service("[service]\ntransfer = " + transfer + "\nrate = 100000\n" +
                                     kInstallers,
                                 {{"quorrin.exe", Installer(size)}});
    VendorServiceProcess::Write(SetupFile(), "old");
    const Run run = Download(service.Address(), "Quorrin");

    QCOMPARE(run.result, online::DownloadResult::Started);
    QCOMPARE(run.caption, QString("Quorrin Professional Setup"));
    QCOMPARE(run.status, QString("Downloading installer"));
    QCOMPARE(run.gaugeMaximum, gauge);
    QCOMPARE(run.boxes, QStringList());
    QCOMPARE(ReadFile(SetupFile()), Installer(size));
    QCOMPARE(scene_->shell.Targets(), std::vector<std::string>{SetupFile().toStdString()});
    QVERIFY(service.Log().contains("GET /installers/quorrin.exe -> 200"));
}

void TestDownloadForm::reportsAFailedDownload_data() {
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("caption");
    const Answer lookup = Answer::Ok("appname=Q&installer=http%3A%2F%2F127.0.0.1%3A1%2Fq");
    QTest::newRow("lookup said false") << QList<Answer>{Answer::Ok("false")} << "Download Manager";
    QTest::newRow("lookup had one field")
        << QList<Answer>{Answer::Ok("appname=Quorrin")} << "Quorrin Setup";
    QTest::newRow("nobody at the address") << QList<Answer>{lookup} << "Q Setup";
    QTest::newRow("https address")
        << QList<Answer>{Answer::Ok("appname=Q&installer=https%3A%2F%2Fh%2Fq")} << "Q Setup";
    QTest::newRow("empty address")
        << QList<Answer>{Answer::Ok("appname=Q&installer=")} << "Q Setup";
}

void TestDownloadForm::reportsAFailedDownload() {
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, caption);
    LoopbackServer server(answers);
    const Run run = Download(server.Address(), "Quorrin", {"OK"});
    QCOMPARE(run.result, online::DownloadResult::Failed);
    QCOMPARE(run.caption, caption);
    QCOMPARE(run.boxes, QStringList{"Error: Installer download error!"});
    QVERIFY(!QFileInfo::exists(SetupFile()));
    QVERIFY(scene_->shell.Targets().empty());
}

void TestDownloadForm::cancelsOnlyAfterYes() {
    struct Case {
        QString answer;
        online::DownloadResult result;
        bool saved;
    };
    for (const Case& c : {Case{"No", online::DownloadResult::Started, true},
                          Case{"Yes", online::DownloadResult::Cancelled, false}}) {
        scene_->shell.Clear();
        VendorServiceProcess service("[service]\nrate = 40000\n" + kInstallers,
                                     {{"quorrin.exe", Installer(60000)}});
        bool pressed = false;
        const Run run =
            Download(service.Address(), "Quorrin", {c.answer}, [&](online::TDownloadForm& form) {
                auto* cancel = form.findChild<QPushButton*>("sBitBtnCancel");
                if (!pressed && cancel->isEnabled()) {
                    pressed = true;
                    cancel->click();
                }
            });
        QVERIFY(pressed);
        QCOMPARE(run.result, c.result);
        QCOMPARE(run.boxes, QStringList{"Confirm: Are you sure to cancel this download?"});
        QCOMPARE(QFileInfo::exists(SetupFile()), c.saved);
        QCOMPARE(scene_->shell.Targets().size(), std::size_t(c.saved ? 1 : 0));
    }
}

void TestDownloadForm::givesUpOnASilentServer() {
    // The body stops coming after three bytes; the wait for the rest is
    // bounded, so the window ends with its error instead of hanging.
    LoopbackServer stalled(
        {Answer{{Piece{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc"}}, false}});
    LoopbackServer vendor({Answer::Ok("appname=Q&installer=http%3A%2F%2F" +
                                      http::EncodeFormValue(stalled.Address()) + "%2Fq")});
    QElapsedTimer clock;
    clock.start();
    const Run run = Download(vendor.Address(), "Quorrin", {"OK"});
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(run.result, online::DownloadResult::Failed);
    QCOMPARE(run.status, QString("Downloading installer"));
    QCOMPARE(run.boxes, QStringList{"Error: Installer download error!"});
    QVERIFY(!QFileInfo::exists(SetupFile()));
}

void TestDownloadForm::keepsTheWindowOpenAgainstEscapeAndClose() {
    VendorServiceProcess service("[service]\nrate = 40000\n" + kInstallers,
                                 {{"quorrin.exe", Installer(40000)}});
    int tries = 0;
    const Run run = Download(service.Address(), "Quorrin", {}, [&](online::TDownloadForm& form) {
        if (form.isVisible() && tries < 3) {
            ++tries;
            QTest::keyClick(&form, Qt::Key_Escape);
            form.close();
        }
    });
    QCOMPARE(tries, 3);
    QCOMPARE(run.result, online::DownloadResult::Started);
}

void TestDownloadForm::savesAsANewFileNeverThroughALink() {
    const QString victim = Temp().filePath("victim.txt");
    VendorServiceProcess::Write(victim, "keep me");
    QVERIFY(QFile::link(victim, SetupFile()));
    online::SaveInstaller(SetupFile().toStdString(), "MZ new");
    QCOMPARE(ReadFile(victim), QByteArray("keep me"));
    QVERIFY(!QFileInfo(SetupFile()).isSymLink());
    QCOMPARE(ReadFile(SetupFile()), QByteArray("MZ new"));
    QCOMPARE(QFileInfo(SetupFile()).permissions() & (QFile::ReadGroup | QFile::ReadOther),
             QFile::Permissions());

    // A dangling link and an old file are replaced the same way; no scratch
    // file is left beside them.
    QFile::remove(SetupFile());
    QVERIFY(QFile::link(Temp().filePath("nowhere"), SetupFile()));
    online::SaveInstaller(SetupFile().toStdString(), "second");
    online::SaveInstaller(SetupFile().toStdString(), "third");
    QCOMPARE(ReadFile(SetupFile()), QByteArray("third"));
    QVERIFY(!QFileInfo::exists(Temp().filePath("nowhere")));
    QCOMPARE(QDir(Temp().path()).entryList(QDir::Files | QDir::System).size(), 2);

    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error,
        online::SaveInstaller(Temp().filePath("no/such/Setup.exe").toStdString(), "x"));
}

QTEST_MAIN(TestDownloadForm)
#include "tst_download_form.moc"
