// arvenzo-extract cut off from outside: stopped with documents still
// waiting, run with standard streams closed or unreadable, its tool killed.
// Every way ends clean: nothing left in TEMP or the output folder.

#include "ToolContract.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Everything below `folder`, by its path inside it.
QStringList Tree(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How the standard streams are when the program starts: as usual, one of
// them closed, output and errors into a pipe whose reader has gone, or
// output to a full disk.
enum class Streams { AsUsual, InClosed, OutClosed, ErrClosed, Unread, FullDisk };

void Arrange(Streams streams) {
    if (streams >= Streams::InClosed && streams <= Streams::ErrClosed)
        close(static_cast<int>(streams) - 1);
    int ends[2];
    if (streams == Streams::Unread && pipe(ends) == 0) {
        dup2(ends[1], STDOUT_FILENO);
        dup2(ends[1], STDERR_FILENO);
        close(ends[0]);
    }
    if (streams == Streams::FullDisk)
        dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
}

} // namespace

Q_DECLARE_METATYPE(Streams)

class TestCutOff : public QObject {
    Q_OBJECT

    QTemporaryDir fixtures_;
    QTemporaryDir temp_;  // TEMP of every run
    QTemporaryDir bin_;   // the program beside stand-in tools, written per test
    QTemporaryDir usual_; // the images of images.pdf as PNG, from a run as usual
    QString F(const QString& name) const { return fixtures_.path() + "/" + name; }

    struct Run {
        int code = -1;
        QString err;
    };

    void Start(QProcess& p, const QStringList& args, const QString& program,
               Streams streams = Streams::AsUsual) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TEMP", temp_.path());
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        // A group of its own, so that a signal to it reaches nothing else.
        p.setChildProcessModifier([streams] {
            setpgid(0, 0);
            Arrange(streams);
        });
        p.start(program, args);
    }

    Run Exec(const QStringList& args, Streams streams = Streams::AsUsual,
             const QString& program = EXTRACT_PATH) {
        QProcess p;
        Start(p, args, program, streams);
        Run r;
        if (!p.waitForFinished(60000))
            testing::SignalRunning(p, SIGKILL, true);
        p.waitForFinished();
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // A copy of the program with the real information tool and, for
    // glimmet.bin, a shell script.
    QString ProgramWithTool(const QString& body) {
        const QString tools = QFileInfo(EXTRACT_PATH).absolutePath();
        const QString program = bin_.path() + "/arvenzo-extract";
        if (!QFile::exists(program)) {
            QFile::copy(EXTRACT_PATH, program);
            QFile::link(tools + "/" + contract::kInformationTool,
                        bin_.path() + "/" + contract::kInformationTool);
        }
        QFile::remove(bin_.path() + "/" + contract::kExtractionTool);
        testing::WriteScript(bin_.path(), contract::kExtractionTool,
                             testing::StandInPage() + "for last; do :; done\n" + body);
        return program;
    }

    // A 2 x 1 image for the page in $2, written under the root in $last.
    static QString OneImage() {
        return QString("printf 'P6\\n2 1\\n255\\n\\377\\0\\0\\0\\377\\0' > \"%1\"\n")
            .arg(testing::ScratchName("$last", 0, contract::kStoredAsJpeg));
    }

private slots:
    void initTestCase() {
        QVERIFY(fixtures_.isValid() && temp_.isValid() && bin_.isValid());
        QCOMPARE(QProcess::execute(MAKE_FIXTURES_PATH, {fixtures_.path()}), 0);
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
            QVERIFY(QFile::link(F("text1000.pdf"), F(name)));
        QCOMPARE(Exec({"-q", "-f", "png", F("images.pdf"), usual_.path()}).code, 0);
        QVERIFY(FilesIn(usual_.path()).size() > 30);
    }

    void cleanup() {
        // However the run ended, its scratch folder went with it.
        QCOMPARE(Tree(temp_.path()), QStringList());
    }

    void stoppedWithDocumentsWaiting_data() {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<int>("documents");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("group"); // to the whole group, as a terminal sends Ctrl+C
        QTest::newRow("Ctrl+C, two documents one at a time") << 1 << 2 << SIGINT << true;
        QTest::newRow("Ctrl+C, three documents two at once") << 2 << 3 << SIGINT << true;
        QTest::newRow("SIGINT to the first process alone") << 1 << 2 << SIGINT << false;
        QTest::newRow("SIGTERM to the first process") << 1 << 2 << SIGTERM << false;
    }

    // The documents under way stop and the rest never start; it ends within
    // seconds, and says how many were left.
    void stoppedWithDocumentsWaiting() {
        QFETCH(int, jobs);
        QFETCH(int, documents);
        QFETCH(int, signal);
        QFETCH(bool, group);
        QTemporaryDir out, marks;
        const QString program =
            ProgramWithTool(QString("touch '%1'/$$\nsleep 0.2\n").arg(marks.path()) + OneImage());
        QStringList args{"-j", QString::number(jobs), "-r", "1-50"};
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
            if (args.size() < 4 + documents)
                args << F(name);
        QProcess p;
        Start(p, args << out.path(), program);
        QVERIFY(p.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return FilesIn(marks.path()).size() >= 2; }, 20000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(testing::SignalRunning(p, signal, group));
        const bool ended = p.waitForFinished(15000);
        if (!ended)
            testing::SignalRunning(p, SIGKILL, true);
        QVERIFY2(ended, "still running after 15 s");
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains("arvenzo-extract: stopped: 1 document was not started"),
                 qPrintable(err));
        // Whole images only, in the folders of the documents that started.
        const QStringList left = Tree(out.path());
        QVERIFY2(left.filter(QRegularExpression("(^|/)\\.|part")).isEmpty(),
                 qPrintable(left.join(' ')));
        QVERIFY(!left.contains(QString(QString("abc").at(jobs))));
    }

    void closedOrUnreadStreams_data() {
        QTest::addColumn<Streams>("streams");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("written"); // the images of a run as usual
        QTest::addColumn<QString>("says"); // on standard error
        const QString full = "arvenzo-extract: cannot write to standard output";
        QTest::newRow("standard output closed")
            << Streams::OutClosed << QStringList{} << 0 << true << "written to";
        QTest::newRow("standard error closed")
            << Streams::ErrClosed << QStringList{} << 0 << true << "";
        QTest::newRow("standard input closed")
            << Streams::InClosed << QStringList{} << 0 << true << "written to";
        QTest::newRow("messages nobody reads")
            << Streams::Unread << QStringList{} << 0 << true << "";
        QTest::newRow("messages nobody reads, quiet")
            << Streams::Unread << QStringList{"-q"} << 0 << true << "";
        QTest::newRow("two documents, messages nobody reads")
            << Streams::Unread << QStringList{"-j", "2", "@/multipage.pdf"} << 0 << true << "";
        QTest::newRow("JSON listing to a full disk")
            << Streams::FullDisk << QStringList{"--json"} << 1 << false << full;
        QTest::newRow("listing to a full disk")
            << Streams::FullDisk << QStringList{"--list"} << 1 << false << full;
        QTest::newRow("help to a full disk")
            << Streams::FullDisk << QStringList{"--help"} << 1 << false << full;
    }

    // Files opened by the run never take a closed stream's number, and
    // messages that cannot be read do not end the run: each image is the one
    // its name says, and the exit code is what was written. Output that
    // cannot be written is a failure.
    void closedOrUnreadStreams() {
        QFETCH(Streams, streams);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(bool, written);
        QFETCH(QString, says);
        QTemporaryDir out;
        const bool listing = options.contains("--json") || options.contains("--list");
        QStringList args = options.replaceInStrings("@", fixtures_.path());
        if (!options.contains("--help"))
            args << F("images.pdf");
        if (!listing && !options.contains("--help"))
            args << "-f"
                 << "png" << out.path();
        const Run r = Exec(args, streams);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        if (!written) {
            QCOMPARE(Tree(out.path()), QStringList());
            return;
        }
        const QString folder = options.contains("-j") ? out.path() + "/images" : out.path();
        QCOMPARE(FilesIn(folder), FilesIn(usual_.path()));
        for (const QString& name : FilesIn(usual_.path()))
            QVERIFY2(Contents(folder + "/" + name) == Contents(usual_.filePath(name)),
                     qPrintable(name));
    }

    void failedPageIsNamed_data() {
        QTest::addColumn<QString>("tool");     // what glimmet.bin does on page $2
        QTest::addColumn<QStringList>("left"); // files written
        QTest::addColumn<QString>("says");
        QTest::newRow("killed on page 2")
            << "[ $2 = 2 ] && kill -9 $$\n" + OneImage() << QStringList{"1.jpg", "2.jpg"}
            << "arvenzo-extract: page 2: '%/glimmet.bin' was ended by signal 9";
        QTest::newRow("a line naming another page")
            << "[ $2 = 3 ] && echo 'Error: page 30: no' && exit 1\n" + OneImage()
            << QStringList{"1.jpg", "2.jpg"} << "arvenzo-extract: page 3: page 30: no";
        QTest::newRow("a line naming its page as it stands")
            << "[ $2 = 1 ] && echo 'Error: page 1, image 1: no' && exit 1\n" + OneImage()
            << QStringList{"1.jpg", "2.jpg"} << "arvenzo-extract: page 1, image 1: no";
    }

    // A failure the tool could not tell of itself, or told without the
    // page, names the page.
    void failedPageIsNamed() {
        QFETCH(QString, tool);
        QFETCH(QStringList, left);
        QFETCH(QString, says);
        QTemporaryDir out;
        const QString program = ProgramWithTool(tool);
        const Run r = Exec({"-r", "1-3", F("text1000.pdf"), out.path()}, Streams::AsUsual, program);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QString(says).replace("%", bin_.path())), qPrintable(r.err));
        QCOMPARE(FilesIn(out.path()), left);
    }
};

QTEST_GUILESS_MAIN(TestCutOff)
#include "tst_cut_off.moc"
