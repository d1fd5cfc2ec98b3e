// Leaving the program while the version check is stuck with the vendor:
// the real program, left as a user leaves it, must end at once and cleanly.
#include "net/http/LoopbackServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

namespace {

enum class Stage { Lookup, Connect, Reply };

// A loopback port whose one-place queue a first caller fills: every later
// connection waits for its handshake.
class FullListener {
public:
    FullListener() {
        server_.setListenBacklogSize(0);
        server_.listen(QHostAddress::LocalHost, 0);
        server_.pauseAccepting();
        filler_.connectToHost(QHostAddress::LocalHost, server_.serverPort());
        filler_.waitForConnected(1000);
    }
    QByteArray Address() const { return "127.0.0.1:" + QByteArray::number(server_.serverPort()); }

private:
    QTcpServer server_;
    QTcpSocket filler_;
};

// The vendor as the program meets it, held at one stage.
struct StalledVendor {
    explicit StalledVendor(Stage stage) {
        switch (stage) {
        case Stage::Lookup:
            environment.insert("LD_PRELOAD", STALLED_LOOKUP_LIBRARY);
            environment.insert("ARVENZO_VENDOR", "vendor.tessaly.example");
            break;
        case Stage::Connect:
            listener = std::make_unique<FullListener>();
            environment.insert("ARVENZO_VENDOR", listener->Address());
            break;
        case Stage::Reply:
            server = std::make_unique<testing::LoopbackServer>(
                QList<testing::Answer>{testing::Answer::Silent()});
            environment.insert("ARVENZO_VENDOR", server->Address());
            break;
        }
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<FullListener> listener;
    std::unique_ptr<testing::LoopbackServer> server;
};

} // namespace

Q_DECLARE_METATYPE(Stage)

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void endsAtOnceWhileTheCheckIsStuck_data() {
        QTest::addColumn<QByteArray>("way");
        QTest::addColumn<Stage>("stage");
        const std::pair<const char*, QByteArray> ways[] = {
            {"no install record", "enter"}, {"File > Exit", "exit"}, {"close box", "close"}};
        const std::pair<const char*, Stage> stages[] = {
            {"name lookup", Stage::Lookup}, {"connect", Stage::Connect}, {"reply", Stage::Reply}};
        for (const auto& [wayName, way] : ways) {
            for (const auto& [stageName, stage] : stages)
                QTest::addRow("%s, %s", wayName, stageName) << way << stage;
        }
    }
    void endsAtOnceWhileTheCheckIsStuck() {
        QFETCH(QByteArray, way);
        QFETCH(Stage, stage);
        testing::TestEnvironment env;
        if (way != "enter")
            env.WriteArvenzoRecord();
        const QString work = env.Temp() + "/Arvenzo/";
        QVERIFY(QDir().mkpath(work));
        // Private, as the program makes it: otherwise it is not used.
        QVERIFY(
            QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile(work + "tmp-000.ppm").open(QIODevice::WriteOnly));
        StalledVendor vendor(stage);
        vendor.environment.insert("ARVENZO_TEST_LEAVE", way);
        vendor.environment.insert("ARVENZO_TEST_LEAVE_AFTER", "300");

        QProcess program;
        program.setProcessEnvironment(vendor.environment);
        program.setReadChannel(QProcess::StandardError);
        program.start(ARVENZO_LEAVING_PROGRAM);
        QByteArray said;
        while (!said.contains("leaving\n") && program.waitForReadyRead(10000))
            said += program.readAllStandardError();
        QVERIFY2(said.contains("leaving\n"), said.constData());
        QElapsedTimer leaving;
        leaving.start();
        const bool ended = program.waitForFinished(5000);
        const qint64 took = leaving.elapsed();
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        said += program.readAllStandardError();
        QVERIFY2(ended, "still running 5 s after the way out");
        QVERIFY2(took < 2000, qPrintable(QString("took %1 ms").arg(took)));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(!said.contains("QMutex") && !said.contains("invalid nullptr"), said.constData());
        QCOMPARE(QDir(work).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(ShutdownTest)
#include "tst_shutdown.moc"
