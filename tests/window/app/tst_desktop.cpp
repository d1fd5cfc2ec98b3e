// Arvenzo on a desktop: started by "Open with", handed documents by later
// starts, speaking the user's language, and saying what came of each job.
#include "ToolContract.h"
#include "WindowTests.h"
#include "app/HandOver.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "platform/InstanceGuard.h"
#include "support/TestSupport.h"
#include "support/ToolTests.h"
#include "toolkit/PathEdits.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The command the desktop runs for "Open with": the entry's Exec line with
// %f replaced by the document, and the program by `program`.
QStringList OpenWithCommand(const QString& program, const QString& document) {
    QFile entry(DESKTOP_ENTRY);
    if (!entry.open(QIODevice::ReadOnly))
        qFatal("no desktop entry");
    QStringList command;
    for (const QString& line : QString::fromUtf8(entry.readAll()).split('\n'))
        if (line.startsWith("Exec="))
            command = line.mid(5).split(' ', Qt::SkipEmptyParts);
    if (command.value(0) != "arvenzo")
        qFatal("the entry does not start arvenzo");
    command[0] = program;
    command.replaceInStrings("%f", document);
    return command;
}

// Connects to `address` as user `uid` and sends `path`; the child's exit
// code says whether the window acknowledged it (0) or not (1).
int SendAs(uid_t uid, const QString& address, const QString& path) {
    const QByteArray where = address.toLocal8Bit();
    const QByteArray line = path.toUtf8() + '\n';
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(uid) != 0 || setuid(uid) != 0)
            _exit(2);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un name{};
        name.sun_family = AF_UNIX;
        std::strncpy(name.sun_path, where.constData(), sizeof name.sun_path - 1);
        if (connect(fd, reinterpret_cast<sockaddr*>(&name), sizeof name) != 0)
            _exit(3);
        if (write(fd, line.constData(), line.size()) != line.size())
            _exit(4);
        char answer[3] = {};
        _exit(read(fd, answer, 3) == 3 && std::memcmp(answer, "ok\n", 3) == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(10); // the window answers from this thread's event loop
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
    tooltest::Fixtures fixtures_;
    std::unique_ptr<WindowUnderTest> window_;
    QTemporaryDir out_;

    template <class T> T* Find(const char* name) { return window_->form->findChild<T*>(name); }
    toolkit::TFilenameEdit* Input() { return Find<toolkit::TFilenameEdit>("sFilenameEditInput"); }
    QString Status() { return Find<QLabel>("sLabelStatus")->toolTip(); }
    QString Address() { return QString::fromStdString(platform::InstanceAddress("Arvenzo")); }

    void Choose(const QString& document, const QString& range) {
        Input()->setText(document);
        Find<toolkit::TDirectoryEdit>("sDirectoryEditOutput")->setText(out_.path());
        Find<QLineEdit>("sEditPageRange")->setText(range);
    }
    int Written() const { return int(QDir(out_.path()).entryList(QDir::Files).size()); }

private slots:
    void initTestCase() { QVERIFY(fixtures_.make(MAKE_FIXTURES_PATH, {"multipage"})); }
    void init() {
        window_ = std::make_unique<WindowUnderTest>();
        window_->context.appFolder = QString(TOOL_DIR "/").toStdString();
        window_->form->show();
    }
    void cleanup() {
        window_.reset();
        QDir(out_.path()).removeRecursively();
        QDir().mkpath(out_.path());
    }

    // The real program, started as the desktop starts it for "Open with".
    void openWith_data() {
        QTest::addColumn<QString>("name"); // made from the fixture unless "missing"
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QStringList>("said");
        const QString damaged = "box=Couldn't read PDF header info! Probably this file is damaged!";
        QTest::newRow("spaces and umlauts") << "Bericht für März 2026.pdf" << false
                                            << QStringList{"input=@", "pages=4", "output=%"};
        QTest::newRow("named from its folder")
            << "ß é.pdf" << true << QStringList{"input=@", "pages=4", "output=%"};
        QTest::newRow("missing") << "missing" << false
                                 << QStringList{damaged, "input=", "pages=", "output="};
        QTest::newRow("not a PDF")
            << "notes.txt" << false << QStringList{"input=", "pages=", "output="};
    }
    void openWith() {
        QFETCH(QString, name);
        QFETCH(bool, relative);
        QFETCH(QStringList, said);
        window_->form.reset(); // the program started here is the only window
        QTemporaryDir folder;
        // The program finds its tools beside itself.
        const QString program = folder.filePath("arvenzo");
        QVERIFY(QFile::copy(ARVENZO_ROBOT_PROGRAM, program));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        for (const char* tool : {contract::kInformationTool, contract::kExtractionTool})
            QVERIFY(QFile::link(QString(TOOL_DIR "/") + tool, folder.filePath(tool)));
        const QString docs = folder.filePath("Dokumente");
        QDir().mkpath(docs);
        QString document = docs + "/" + (name == "missing" ? "Fehlt.pdf" : name);
        if (name != "missing")
            QVERIFY(QFile::copy(fixtures_.path("multipage.pdf"), document));
        QStringList command = OpenWithCommand(program, relative ? name : document);

        QProcess run;
        run.setWorkingDirectory(docs);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ARVENZO_TEST_LEAVE", "report");
        run.setProcessEnvironment(environment);
        run.start(command.takeFirst(), command);
        QVERIFY(run.waitForFinished(20000));
        const QStringList lines =
            QString::fromUtf8(run.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        for (QString line : said) {
            line.replace("@", document).replace("%", docs);
            QVERIFY2(lines.contains(line), qPrintable(line + " not in\n" + lines.join('\n')));
        }
    }

    // A later start hands its document to the window: taken when idle, not
    // while a job runs, never from another user.
    void handOver_data() {
        QTest::addColumn<QString>("sender"); // "same user", "busy" or "other user"
        QTest::addColumn<bool>("taken");
        QTest::newRow("idle window") << "same user" << true;
        QTest::newRow("window with a job") << "busy" << false;
        QTest::newRow("another user") << "other user" << false;
    }
    void handOver() {
        QFETCH(QString, sender);
        QFETCH(bool, taken);
        const QString document = fixtures_.path("multipage.pdf");
        app::HandOverServer server(Address(),
                                   [this](const QString& p) { window_->form->TakeDocument(p); });
        QVERIFY(server.Listening());
        QTemporaryDir slow;
        testing::ModalAnswerer answerer;
        if (sender == "busy") {
            // A job whose image tool takes its time on every page.
            testing::WriteScript(slow.path(), contract::kInformationTool, testing::EchoPages(" 3"));
            testing::WriteScript(slow.path(), contract::kExtractionTool, "sleep 5");
            window_->context.appFolder = slow.path().toStdString() + "/";
            Choose(slow.filePath("busy.pdf"), "");
            Find<QPushButton>("sBitBtnStart")->click();
            QTRY_VERIFY(window_->form->WorkerExists());
            answerer.Next(testing::Click("OK"));
        }
        const QString before = Input()->text();
        if (sender == "other user") {
            // Opened up on purpose: only the check of who calls is left.
            for (const QString& path :
                 {window_->env.Root(), QFileInfo(Address()).path(), Address()})
                QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x7777)));
            QCOMPARE(SendAs(65534, Address(), document), 1);
        } else {
            auto sent = std::async(std::launch::async, [this, document] {
                return app::HandOverServer::Send(Address(), document);
            });
            QTRY_VERIFY(sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
            QVERIFY(sent.get());
        }
        if (taken) {
            QTRY_COMPARE(Input()->text(), document);
            QTRY_COMPARE(Find<QLineEdit>("sEditPageCount")->text(), QString("4"));
        } else {
            QTest::qWait(200);
            QCOMPARE(Input()->text(), before);
        }
        if (sender == "busy")
            QTRY_COMPARE(
                answerer.Seen(),
                QStringList{"Arvenzo is busy and cannot open this document now:\r\n" + document});
    }

    // The status bar's last word on a job, and a box when the folder cannot
    // be shown.
    void wordAtTheEnd_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<bool>("openerFails");
        QTest::addColumn<QString>("status"); // "%" stands for the folder, "#" for the count
        QTest::addColumn<QString>("box");    // answered with its first button
        QTest::newRow("normal end") << "" << false << false << "6 images written to %"
                                    << "";
        QTest::newRow("one image") << "4" << false << false << "1 image written to %"
                                   << "";
        QTest::newRow("nothing found") << "2" << false << false << "No images written"
                                       << "No images found in selected PDF!";
        QTest::newRow("stopped") << "" << true << false << "Stopped after # images"
                                 << "Are you sure you want to cancel the extraction?";
        QTest::newRow("no file manager")
            << "" << false << true << "6 images written to %"
            << "The folder could not be opened.\r\n\r\nThe images are in:\r\n%";
    }
    void wordAtTheEnd() {
        QFETCH(QString, range);
        QFETCH(bool, stop);
        QFETCH(bool, openerFails);
        QFETCH(QString, status);
        QFETCH(QString, box);
        window_->shell.Refuse(openerFails);
        Choose(fixtures_.path("multipage.pdf"), range);
        testing::ModalAnswerer answerer;
        if (!box.isEmpty())
            answerer.Next(testing::Click(stop ? "Yes" : "OK"));
        auto* start = Find<QPushButton>("sBitBtnStart");
        start->click();
        if (stop)
            start->click();
        QVERIFY(QTest::qWaitFor([this] { return !window_->form->WorkerExists(); }, 60000));
        QTRY_VERIFY(Find<QLabel>("sLabelStatus")->isVisible());
        status.replace("%", out_.path()).replace("#", QString::number(Written()));
        if (stop && Written() == 1)
            status = "Stopped after 1 image";
        QCOMPARE(Status(), status);
        QCOMPARE(answerer.Seen(),
                 box.isEmpty() ? QStringList{} : QStringList{box.replace("%", out_.path())});
        QVERIFY(!Find<QWidget>("sGaugeProcess")->isVisible());
    }

    // The first of the user's languages the program speaks, English ending
    // the search.
    void languageChoice_data() {
        QTest::addColumn<QStringList>("wanted");
        QTest::addColumn<QString>("taken");
        QTest::newRow("German") << QStringList{"de-DE"} << "de";
        QTest::newRow("Canadian French") << QStringList{"fr-CA", "en-CA"} << "fr";
        QTest::newRow("English first") << QStringList{"en-US", "de-DE"} << "";
        QTest::newRow("unknown, then Spanish") << QStringList{"pt-BR", "es-MX"} << "es";
        QTest::newRow("unknown only") << QStringList{"ja-JP"} << "";
        QTest::newRow("C locale") << QStringList{"C"} << "";
    }
    void languageChoice() {
        QFETCH(QStringList, wanted);
        QFETCH(QString, taken);
        QCOMPARE(app::SpokenLanguages(), (QStringList{"de", "es", "fr"}));
        QCOMPARE(app::PickLanguage(wanted, app::SpokenLanguages()), taken);
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
