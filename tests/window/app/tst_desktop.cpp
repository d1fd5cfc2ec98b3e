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
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A new connection to the local socket at `address`; -1 when none is made.
int ConnectTo(const QByteArray& address) {
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    std::strncpy(name.sun_path, address.constData(), sizeof name.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    return connect(fd, reinterpret_cast<sockaddr*>(&name), sizeof name) == 0 ? fd : -1;
}

// A child process that does `work` as user `uid`, says whether that went
// well, and keeps what it made (connections, locks) until it is let go.
class Holder {
public:
    Holder(uid_t uid, const std::function<bool()>& work) {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            qFatal("no socket pair");
        child_ = fork();
        if (child_ == 0) {
            // Nothing of the parent's is kept open here, another holder's
            // end least of all.
            close_range(3, ends[1] - 1, 0);
            close_range(ends[1] + 1, ~0U, 0);
            if (uid != getuid() && (setgid(uid) != 0 || setuid(uid) != 0))
                _exit(2);
            umask(0);
            const char done = work() ? '1' : '0';
            char ignored = 0;
            if (write(ends[1], &done, 1) == 1)
                while (read(ends[1], &ignored, 1) > 0) {
                }
            _exit(0);
        }
        close(ends[1]);
        end_ = ends[0];
        fcntl(end_, F_SETFL, O_NONBLOCK);
    }
    ~Holder() {
        close(end_); // the child's read ends, and so does the child
        if (child_ > 0)
            waitpid(child_, nullptr, 0);
    }
    // Waits for the work, this thread's events going on meanwhile.
    bool Done() {
        char done = 0;
        return QTest::qWaitFor([&] { return read(end_, &done, 1) >= 0 || errno != EAGAIN; },
                               60000) &&
               done == '1';
    }

private:
    pid_t child_ = -1;
    int end_ = -1;
};

// `count` connections to `address` that are never closed.
bool Flood(const QByteArray& address, int count) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    for (int i = 0; i < count; ++i)
        ConnectTo(address); // taken or refused: the window decides
    return true;
}

// The real program started again with `document`, as the desktop would; a
// box of its own would be answered with Enter.
std::unique_ptr<QProcess> LaterStart(const QString& document) {
    auto run = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ARVENZO_TEST_LEAVE", "enter");
    run->setProcessEnvironment(environment);
    run->start(ARVENZO_ROBOT_PROGRAM, {document});
    return run;
}

// Runs `last` when the scope ends, however it ends.
struct AtEnd {
    std::function<void()> last;
    ~AtEnd() { last(); }
};

bool AllEnded(const std::vector<std::unique_ptr<QProcess>>& runs) {
    return std::all_of(runs.begin(), runs.end(),
                       [](const auto& run) { return run->state() == QProcess::NotRunning; });
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
    QString Address() { return QString::fromStdString(platform::InstanceAddress("Arvenzo").path); }

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

    // A later start hands its document to the window: taken when idle,
    // whatever callers came before and whatever another user left in /tmp
    // (this copy then keeps to a private folder, and says so); while the
    // window is busy, or when it is no ordinary file, refused with one box
    // however many starts come, each of which fails; never taken from
    // another user.
    void handOver_data() {
        QTest::addColumn<QString>("sender");   // "later start", "drop" or "other user"
        QTest::addColumn<bool>("busy");        // a job runs
        QTest::addColumn<QString>("document"); // "pdf", "pipe" or "folder"
        QTest::addColumn<int>("starts");
        QTest::addColumn<int>("flood");           // callers beforehand that never close
        QTest::addColumn<QStringList>("planted"); // by another user after "/tmp/Arvenzo-<uid>"
        QTest::addColumn<QString>("box");         // "@" stands for the document
        const QString busyBox = "Arvenzo is busy and cannot open this document now:\r\n@";
        const QString noFile = "This is not an ordinary file, so it cannot be opened:\r\n@";
        const QStringList none;
        QTest::newRow("idle window") << "later start" << false << "pdf" << 1 << 0 << none << "";
        QTest::newRow("after 1,060 callers that never close")
            << "later start" << false << "pdf" << 1 << 1060 << none << "";
        QTest::newRow("a lock in /tmp held by another user")
            << "later start" << false << "pdf" << 1 << 0 << QStringList{".lock"} << "";
        QTest::newRow("a folder in /tmp made by another user")
            << "later start" << false << "pdf" << 1 << 0 << QStringList{""} << "";
        QTest::newRow("both") << "later start" << false << "pdf" << 1 << 0
                              << QStringList{".lock", ""} << "";
        QTest::newRow("window with a job, five starts")
            << "later start" << true << "pdf" << 5 << 0 << none << busyBox;
        QTest::newRow("a pipe, three starts")
            << "later start" << false << "pipe" << 3 << 0 << none << noFile;
        QTest::newRow("a folder") << "later start" << false << "folder" << 1 << 0 << none << noFile;
        QTest::newRow("a pipe dropped") << "drop" << false << "pipe" << 0 << 0 << none << noFile;
        QTest::newRow("another user") << "other user" << false << "pdf" << 0 << 0 << none << "";
    }
    void handOver() {
        QFETCH(QString, sender);
        QFETCH(bool, busy);
        QFETCH(QString, document);
        QFETCH(int, starts);
        QFETCH(int, flood);
        QFETCH(QStringList, planted);
        QFETCH(QString, box);
        QTemporaryDir docs;
        const QString path = docs.filePath(document + ".pdf");
        if (document == "pdf")
            QVERIFY(QFile::copy(fixtures_.path("multipage.pdf"), path));
        else if (document == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkdir(path));
        const QString shared = "/tmp/Arvenzo-" + QString::number(getuid());
        const QString cache = window_->env.Root() + "/cache";
        const auto takeAway = [&] {
            QFile::remove(shared + ".lock");
            QDir(shared).removeRecursively();
        };
        std::vector<std::unique_ptr<Holder>> others;
        const AtEnd endOthers{[&] {
            others.clear();
            if (!planted.isEmpty())
                takeAway();
        }};
        QStringList notices;
        if (!planted.isEmpty()) {
            qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
            qunsetenv("XDG_RUNTIME_DIR"); // both put back with the test's environment
            if (!platform::InstanceGuard("Arvenzo").Acquired())
                QSKIP("a copy of Arvenzo of this user runs");
            takeAway(); // what an earlier run of this test left behind
        }
        for (const QString& suffix : planted) {
            others.push_back(
                std::make_unique<Holder>(65534, [where = (shared + suffix).toLocal8Bit()] {
                    if (where.endsWith(".lock")) {
                        const int fd = open(where.constData(), O_RDWR | O_CREAT | O_EXCL, 0666);
                        return fd >= 0 && flock(fd, LOCK_EX) == 0;
                    }
                    return mkdir(where.constData(), 0777) == 0;
                }));
            QVERIFY(others.back()->Done());
            notices << shared + suffix + " is not this user's alone, so " + cache +
                           (suffix.isEmpty() ? "/Arvenzo/socket" : "/Arvenzo/lock") +
                           " is used in its place.";
        }
        platform::InstanceGuard guard("Arvenzo"); // the later starts find this copy running
        QVERIFY(guard.Acquired());
        app::HandOverServer server(
            Address(), [this](const QString& p) { return window_->form->TakeDocument(p); });
        QVERIFY(server.Listening());

        QTemporaryDir slow;
        if (busy) {
            // A job whose image tool takes its time on every page.
            testing::WriteScript(slow.path(), contract::kInformationTool, testing::EchoPages(" 3"));
            testing::WriteScript(slow.path(), contract::kExtractionTool,
                                 testing::StandInPage() + "sleep 5");
            window_->context.appFolder = slow.path().toStdString() + "/";
            Choose(slow.filePath("busy.pdf"), "");
            Find<QPushButton>("sBitBtnStart")->click();
            QTRY_VERIFY(window_->form->WorkerExists());
        } else {
            Choose(fixtures_.path("multipage.pdf"), "");
        }
        const QString before = Input()->text();
        const QString countBefore = Find<QLineEdit>("sEditPageCount")->text();
        QVERIFY(!countBefore.isEmpty());

        // Past the limit the window had when callers jammed it.
        AtEnd putLimitBack{[] {}};
        std::unique_ptr<Holder> flooder;
        if (flood > 0) {
            rlimit saved{};
            getrlimit(RLIMIT_NOFILE, &saved);
            rlimit lower = saved;
            lower.rlim_cur = 1024;
            setrlimit(RLIMIT_NOFILE, &lower);
            putLimitBack.last = [saved] { setrlimit(RLIMIT_NOFILE, &saved); };
            flooder = std::make_unique<Holder>(
                getuid(), [where = Address().toLocal8Bit(), flood] { return Flood(where, flood); });
            QVERIFY(flooder->Done());
        }

        // The box is answered only once every start has had its answer, so
        // that any second box would be up by then.
        std::vector<std::unique_ptr<QProcess>> runs;
        testing::ModalAnswerer answerer;
        if (!box.isEmpty())
            answerer.Next([&runs](QWidget* modal) {
                if (!QTest::qWaitFor([&runs] { return AllEnded(runs); }, 60000))
                    qWarning("a later start did not end");
                testing::ModalAnswerer::Act(modal, testing::Click("OK"));
            });
        const bool taken = sender == "later start" && box.isEmpty();
        if (sender == "later start") {
            for (int i = 0; i < starts; ++i)
                runs.push_back(LaterStart(path));
            QVERIFY(QTest::qWaitFor([&runs] { return AllEnded(runs); }, 60000));
            for (const auto& run : runs) {
                QStringList said = QString::fromUtf8(run->readAllStandardError()).split('\n');
                QCOMPARE(run->exitCode(), taken ? 0 : 1);
                QCOMPARE(said.contains(path + " was not opened: the copy of Arvenzo that runs did "
                                              "not take it."),
                         !taken);
                QCOMPARE(said.filter(" is not this user's alone"), notices);
            }
        } else if (sender == "drop") {
            Input()->setText(path);
        } else {
            // Opened up on purpose: only the check of who calls is left.
            for (const QString& folder :
                 {window_->env.Root(), QFileInfo(Address()).path(), Address()})
                QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
            Holder other(65534, [where = Address().toLocal8Bit(), line = path.toUtf8() + '\n'] {
                const int fd = ConnectTo(where);
                char answer[3] = {};
                return fd >= 0 && write(fd, line.constData(), line.size()) == line.size() &&
                       (read(fd, answer, 3) != 3 || std::memcmp(answer, "ok\n", 3) != 0);
            });
            QVERIFY(other.Done()); // connected, and turned away
        }

        const auto count = [this] { return Find<QLineEdit>("sEditPageCount")->text(); };
        if (taken) {
            QTRY_COMPARE(Input()->text(), path);
            QTRY_COMPARE(count(), QString("4"));
        } else if (sender == "drop") {
            QCOMPARE(Input()->text(), QString());
            QCOMPARE(count(), QString());
        } else {
            QTest::qWait(200);
            QCOMPARE(Input()->text(), before);
            QCOMPARE(count(), countBefore);
        }
        QTRY_COMPARE(answerer.Seen(),
                     box.isEmpty() ? QStringList{} : QStringList{box.replace("@", path)});
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
        QTest::newRow("range past the end")
            << "3-9" << false << false
            << "6 images written to %; the range 3-9 did not fit the document, so pages 1-4 "
               "were extracted"
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
