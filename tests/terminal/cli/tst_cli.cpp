// arvenzo-extract run as a user runs it: as its own process, with the real
// tools beside it (or stand-ins for the stop), on generated documents.

#include "ToolContract.h"
#include "extract/ExtractionJob.h"
#include "platform/Processes.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
    bool finished = false;
};

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// A working file of a run in an output folder.
const QRegularExpression kWorking("^\\.arvenzo-");

// A process id no system gives (above the largest it may), as a mark.
const QString kNoSuchProcess = "2hwch-1";

// The real information tool beside a copy of the program.
bool LinkInformationTool(const QString& tools, const QString& bin) {
    const QString name = QString("/") + contract::kInformationTool;
    return QFile::link(tools + name, bin + name);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir fixtures_;
    QTemporaryDir temp_; // TEMP of every run: scratch folders go here
    QString F(const QString& name) const { return fixtures_.path() + "/" + name; }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TEMP", temp_.path());
        return env;
    }

    void Start(QProcess& p, const QStringList& args, const QString& program = EXTRACT_PATH) {
        p.setProcessEnvironment(Environment());
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(program, args);
    }

    Run Exec(const QStringList& args, int timeoutMs = 60000,
             const QString& program = EXTRACT_PATH) {
        QProcess p;
        // No terminal to ask on, even when the tests run from one.
        p.setChildProcessModifier([] { setsid(); });
        Start(p, args, program);
        Run r;
        r.finished = p.waitForFinished(timeoutMs);
        if (!r.finished)
            p.kill();
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // Runs with "@" in the arguments standing for the fixture folder and "%"
    // for `out`.
    Run ExecIn(QStringList args, const QTemporaryDir& out, int timeoutMs = 60000) {
        for (QString& a : args)
            a.replace("@", fixtures_.path()).replace("%", out.path());
        return Exec(args, timeoutMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(fixtures_.isValid() && temp_.isValid());
        QCOMPARE(QProcess::execute(MAKE_FIXTURES_PATH, {fixtures_.path()}), 0);
        QCOMPARE(QProcess::execute(MAKE_FIXTURES_PATH, {fixtures_.path(), "cut-short"}), 0);
    }

    void cleanup() {
        // Every kind of end takes its scratch folder with it.
        QCOMPARE(FilesIn(temp_.path()) +
                     QDir(temp_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void exitCodes_data() {
        QTest::addColumn<QStringList>("args"); // "@" is the fixture folder, "%" the output folder
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("written");
        QTest::addColumn<QString>("says");

        QTest::newRow("every image written")
            << QStringList{"@/multipage.pdf", "%"} << 0 << 6 << "6 images written to";
        QTest::newRow("range and prefix")
            << QStringList{"-r", "2-3", "-p", " pg- ", "-f", "PNG", "@/multipage.pdf", "%"} << 0
            << 3 << "3 images written to";
        QTest::newRow("output folder with a final separator")
            << QStringList{"@/multipage.pdf", "%/"} << 0 << 6 << "images written to";
        QTest::newRow("no images") << QStringList{"@/text1000.pdf", "%", "-r", "1-3"} << 0 << 0
                                   << "No images found in selected PDF!";
        // Each page but the last holds an image that cannot be decoded.
        QTest::newRow("some images not written")
            << QStringList{"@/broken.pdf", "%"} << 1 << 10
            << "arvenzo-extract: 10 images written, 9 failed; see above\n";
        QTest::newRow("a picture named")
            << QStringList{"-r", "3", "@/broken.pdf", "%"} << 1 << 1
            << "arvenzo-extract: page 3, image 2 (object 12): the image data is cut short\n";
        QTest::newRow("second picture cut short")
            << QStringList{"@/cut-short.pdf", "%"} << 1 << 1
            << "arvenzo-extract: page 1, image 2 (object 4): the JPEG data is cut short\n";
        // A logo on each of 3 pages, a picture twice, a 2x2 spacer, a 1x40 rule.
        QTest::newRow("repeats left out") << QStringList{"--unique", "@/repeats.pdf", "%"} << 0 << 5
                                          << "3 repeats of a picture written left out";
        QTest::newRow("small ones left out") << QStringList{"--min-size=3", "@/repeats.pdf", "%"}
                                             << 0 << 6 << "2 pictures smaller than 3x3 left out";
        QTest::newRow("as large as the minimum stays")
            << QStringList{"--min-size", "2x2", "@/repeats.pdf", "%"} << 0 << 7
            << "1 picture smaller than 2x2 left out";
        QTest::newRow("everything left out")
            << QStringList{"--min-size=100", "--unique", "@/repeats.pdf", "%"} << 0 << 0
            << "8 pictures smaller than 100x100 left out";
        // Named pictures only, numbered in the order of the document.
        QTest::newRow("only the pictures named")
            << QStringList{"--only=3.1,1.1", "-f", "png", "@/repeats.pdf", "%"} << 0 << 2
            << "2 images written to";
        QTest::newRow("a damaged picture named is a failure")
            << QStringList{"--only=3.2", "@/broken.pdf", "%"} << 1 << 0
            << "page 3, image 2 (object 12): the image data is cut short";
        QTest::newRow("a picture not there")
            << QStringList{"--only=1.1,1.9", "@/repeats.pdf", "%"} << 2 << 0
            << "has no picture 1.9 on pages 1 to 3: --list --json gives";
        QTest::newRow("a picture outside the range")
            << QStringList{"-r", "2-3", "--only=1.1", "@/repeats.pdf", "%"} << 2 << 0
            << "has no picture 1.1 on pages 2 to 3";
        QTest::newRow("pictures not a list") << QStringList{"--only=3", "@/repeats.pdf", "%"} << 2
                                             << 0 << "invalid list of pictures '3': use PAGE.N";
        QTest::newRow("minimum size not a size")
            << QStringList{"--min-size=3x", "@/repeats.pdf", "%"} << 2 << 0
            << "invalid minimum size '3x': use WxH or N";
        QTest::newRow("no arguments") << QStringList{} << 2 << 0 << "expected INPUT.pdf";
        QTest::newRow("one argument")
            << QStringList{"@/multipage.pdf"} << 2 << 0 << "expected INPUT.pdf";
        QTest::newRow("unknown option")
            << QStringList{"-x", "@/multipage.pdf", "%"} << 2 << 0 << "unknown option -x";
        QTest::newRow("quality outside 1 to 100")
            << QStringList{"--quality", "0", "@/multipage.pdf", "%"} << 2 << 0
            << "invalid JPEG quality '0': use 1 to 100";
        QTest::newRow("option without value")
            << QStringList{"@/multipage.pdf", "%", "-r"} << 2 << 0 << "option -r needs a value";
        QTest::newRow("not a PDF")
            << QStringList{"@/not-a-pdf.pdf", "%"} << 2 << 0 << "Couldn't read PDF header info!";
        QTest::newRow("not a PDF name")
            << QStringList{"@/manifest.txt", "%"} << 2 << 0 << "is not a PDF file";
        QTest::newRow("missing document")
            << QStringList{"@/absent.pdf", "%"} << 2 << 0 << "absent.pdf does not exist";
        QTest::newRow("missing output folder, parents too")
            << QStringList{"@/multipage.pdf", "%/a/b"} << 0 << 6 << "6 images written to";
        QTest::newRow("output folder is a file")
            << QStringList{"@/multipage.pdf", "@/bare.pdf"} << 2 << 0 << "is not a folder";
        QTest::newRow("damaged document")
            << QStringList{"@/damaged.pdf", "%"} << 2 << 0 << "Probably this file is damaged!";
        QTest::newRow("password file missing")
            << QStringList{"--password-file", "@/absent.txt", "@/multipage.pdf", "%"} << 2 << 0
            << "cannot read the password file " + F("absent.txt") + ": No such file";
        QTest::newRow("prefix with a separator")
            << QStringList{"-p", "../x-", "@/multipage.pdf", "%"} << 2 << 0
            << "the prefix '../x-' holds a path separator";
        QTest::newRow("one manifest file for several documents")
            << QStringList{"--manifest=%/m.jsonl", "@/multipage.pdf", "@/repeats.pdf", "%"} << 2
            << 0 << "names one file for several documents";
        QTest::newRow("same document name twice")
            << QStringList{"@/multipage.pdf", "@/multipage.pdf", "%"} << 2 << 0
            << "would share the folder";
        QTest::newRow("output folder is a device")
            << QStringList{"@/multipage.pdf", "/dev/null"} << 2 << 0 << "/dev/null is not a folder";
        QTest::newRow("a list given twice")
            << QStringList{"--from=@/manifest.txt", "--from=@/manifest.txt", "%"} << 2 << 0
            << "--from given twice";
    }

    void exitCodes() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(int, written);
        QFETCH(QString, says);
        QTemporaryDir out;
        const Run r = ExecIn(args, out);
        QVERIFY(r.finished);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QCOMPARE(r.code, code);
        const QString folder = args.size() > 1 && args.last().startsWith("%")
                                   ? QString(args.last()).replace("%", out.path())
                                   : out.path();
        if (written >= 0)
            QCOMPARE(FilesIn(folder).size(), written);
        else
            QVERIFY(!FilesIn(folder).isEmpty());
        if (args.contains("-p") && code == 0) // the prefix is trimmed
            QCOMPARE(FilesIn(out.path()).first(), "pg-1.png");
        QVERIFY(!r.err.contains("Password:"));
        // A run with failures sums up once.
        QVERIFY2(!r.err.contains("see above") || !r.err.contains("written to"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("not allowed") && !r.err.contains("Some errors"),
                 qPrintable(r.err));
        // Every line but the progress lines says who says it.
        for (const QString& line : r.err.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith("arvenzo-extract: ") || line.startsWith("page "),
                     qPrintable(line));
        // Nothing lands beside the output folder.
        QCOMPARE(FilesIn(QFileInfo(out.path()).absolutePath()).filter("x-"), QStringList());
    }

    // Documents named in a list, read from a file or standard input; each
    // gets its folder, whatever its name holds.
    // A tool that dies after its first page has said what it wrote: the run
    // that takes up the next page leaves out the same repeats, and nothing
    // is lost.
    void repeatsKnownAfterACrash() {
        QTemporaryDir bin, out;
        QVERIFY(QFile::copy(EXTRACT_PATH, bin.path() + "/arvenzo-extract"));
        const QString tools = QFileInfo(EXTRACT_PATH).absolutePath();
        QVERIFY(LinkInformationTool(tools, bin.path()));
        testing::WriteScript(
            bin.path(), contract::kExtractionTool,
            QString("real='%1/%2'\n"
                    "[ \"$2\" = 1 ] || exec \"$real\" \"$@\"\n"
                    "fifo='%3/out'; mkfifo \"$fifo\"; exec 3<&0\n"
                    "\"$real\" \"$@\" <&3 >\"$fifo\" &\n"
                    "while IFS= read -r line; do\n"
                    "  printf '%s\\n' \"$line\"\n"
                    "  case \"$line\" in %4*) kill -KILL $!; kill -SEGV $$;; esac\n"
                    "done <\"$fifo\"\n")
                .arg(tools, contract::kExtractionTool, bin.path(), contract::kPageDone));
        const Run r = Exec({"--unique", F("repeats.pdf"), out.path()}, 60000,
                           bin.path() + "/arvenzo-extract");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(FilesIn(out.path()).size(), 5);
        QVERIFY2(r.err.contains("3 repeats of a picture written left out"), qPrintable(r.err));
    }

    // Leaving repeats out changes nothing else: a damaged picture fails
    // with the same words, and nothing made up for it is written.
    void uniqueKeepsFailures_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("format");
        for (const char* pdf : {"flawed.pdf", "cut-short.pdf"})
            for (const char* format : {"original", "png"})
                QTest::addRow("%s, %s", pdf, format) << pdf << format;
    }
    void uniqueKeepsFailures() {
        QFETCH(QString, pdf);
        QFETCH(QString, format);
        QTemporaryDir plain, unique;
        const Run a = ExecIn({"-q", "-f", format, "@/" + pdf, "%"}, plain);
        const Run b = ExecIn({"-q", "-f", format, "--unique", "@/" + pdf, "%"}, unique);
        QCOMPARE(b.code, a.code);
        QCOMPARE(FilesIn(unique.path()), FilesIn(plain.path()));
        QCOMPARE(b.err.split('\n').filter("page "), a.err.split('\n').filter("page "));
    }

    void fromList_data() {
        QTest::addColumn<QByteArray>("list");  // "@" is the fixture folder
        QTest::addColumn<QStringList>("args"); // "%" the output folder, "LIST" the list
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("says");
        QTest::newRow("lines, CRLF and blank lines")
            << QByteArray("@/odd/-lead.pdf\r\n\n@/odd/b c.pdf\n") << QStringList{"--from=LIST", "%"}
            << 0 << QStringList{"-lead", "b c"} << "";
        // A line end in a name never breaks a message's line.
        QTest::newRow("NUL-separated on standard input")
            << QByteArray("@/odd/new\nline.pdf\0@/odd/-lead.pdf\0", 35)
            << QStringList{"-0", "--from", "-", "%"} << 0 << QStringList{"-lead", "new\nline"}
            << "arvenzo-extract: new\\u000aline.pdf: 6 images written to";
        QTest::newRow("one given, one listed")
            << QByteArray("@/odd/b c.pdf") << QStringList{"--from=LIST", "@/multipage.pdf", "%"}
            << 0 << QStringList{"b c", "multipage"} << "";
        QTest::newRow("names none") << QByteArray("\n\n") << QStringList{"--from=LIST", "%"} << 2
                                    << QStringList{} << "names none";
        QTest::newRow("no list") << QByteArray() << QStringList{"--from=@/absent.txt", "%"} << 2
                                 << QStringList{} << "No such file";
        QTest::newRow("a device for a list") << QByteArray() << QStringList{"--from=/dev/zero", "%"}
                                             << 2 << QStringList{} << "is not a regular file";
        QTest::newRow("a name past the longest")
            << QByteArray(5000, 'a') << QStringList{"--from=LIST", "%"} << 2 << QStringList{}
            << "holds a name longer than 4096 bytes";
        QTest::newRow("missing ones counted, devices named")
            << QByteArray("@/gone1.pdf\n/dev/zero\n@/odd/b c.pdf\n@/gone2.pdf\n")
            << QStringList{"--from=LIST", "%"} << 2 << QStringList{"b c"}
            << "/dev/zero is not a regular file";
    }
    void fromList() {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, folders);
        QFETCH(QString, says);
        QDir().mkpath(F("odd"));
        for (const char* name : {"-lead.pdf", "b c.pdf", "new\nline.pdf"})
            QFile::copy(F("multipage.pdf"), F("odd/") + name);
        QTemporaryDir out;
        QFile listFile(out.filePath("list"));
        QVERIFY(listFile.open(QIODevice::WriteOnly));
        listFile.write(list.replace("@", QFile::encodeName(fixtures_.path())));
        listFile.close();
        const QString into = out.filePath("images");
        for (QString& a : args)
            a.replace("LIST", listFile.fileName())
                .replace("@", fixtures_.path())
                .replace("%", into);
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.setStandardInputFile(listFile.fileName());
        p.start(EXTRACT_PATH, args);
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), code);
        QVERIFY2(err.contains(says), qPrintable(err));
        QCOMPARE(err.contains("2 of 4 documents were missing"), list.contains("gone2"));
        QCOMPARE(QDir(into).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name), folders);
        for (const QString& folder : folders)
            QCOMPARE(FilesIn(into + "/" + folder).size(), 6);
    }

    // The batch recipe of the README: GNU parallel, a document a job, two
    // slots, a job log. Stopped part way with Ctrl+C and taken up again,
    // every document's folder ends as a lone run of it leaves its own.
    void parallelBatch() {
        const QString parallel = QStandardPaths::findExecutable("parallel");
        QVERIFY2(!parallel.isEmpty(), "GNU parallel is missing (scripts/deps installs it)");
        QTemporaryDir batch;
        QStringList documents;
        for (const char* name : {"images", "fidelity", "multipage", "repeats"}) {
            documents << F(QString(name) + ".pdf");
            const Run lone = Exec({"-q", documents.last(), batch.filePath("lone/") + name});
            QCOMPARE(lone.code, 0);
        }
        QFile list(batch.filePath("batch.list"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(QFile::encodeName(documents.join(QChar(0))) + '\0');
        list.close();
        const QString log = batch.filePath("batch.log");
        const QStringList recipe{"-0",
                                 "-j2",
                                 "--joblog",
                                 log,
                                 "--resume-failed",
                                 EXTRACT_PATH,
                                 "-q",
                                 "{}",
                                 batch.filePath("out/{/.}"),
                                 "::::",
                                 list.fileName()};
        QProcess first;
        first.setChildProcessModifier([] { setsid(); });
        Start(first, recipe, parallel);
        QVERIFY(first.waitForStarted());
        // Stopped once a job is done and others run.
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QFile f(log);
            if (f.open(QIODevice::ReadOnly) && f.readAll().count('\n') >= 2)
                break;
            if (waited.elapsed() > 30000)
                QFAIL("no job finished");
            QTest::qWait(50);
        }
        QVERIFY(testing::SignalRunning(first, SIGINT, true));
        QVERIFY(first.waitForFinished(30000));
        QFile stopped(log);
        QVERIFY(stopped.open(QIODevice::ReadOnly));
        QVERIFY(stopped.readAll().count('\n') < 1 + 4); // the header and the jobs done
        QProcess again;
        Start(again, recipe, parallel);
        QVERIFY(again.waitForFinished(120000));
        QCOMPARE(again.exitCode(), 0);
        for (const char* name : {"images", "fidelity", "multipage", "repeats"}) {
            const QString lone = batch.filePath("lone/") + name;
            const QString out = batch.filePath("out/") + name;
            QCOMPARE(FilesIn(out), FilesIn(lone));
            for (const QString& file : FilesIn(lone)) {
                QFile a(lone + "/" + file), b(out + "/" + file);
                QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
                QVERIFY2(a.readAll() == b.readAll(), qPrintable(out + "/" + file));
            }
        }
    }

    // A manifest line for every picture, in page order: each file it names
    // is in the folder with that SHA-256, every file of the folder is named
    // once, and what it says of the pictures is what --json lists.
    void manifest_data() {
        QTest::addColumn<QStringList>("args");    // "@" the fixtures, "%" the output folder
        QTest::addColumn<QStringList>("folders"); // "manifest in folder" pairs, from "%"
        QTest::addColumn<QString>("counts");
        QTest::newRow("repeats and small ones")
            << QStringList{"--manifest", "--unique", "--min-size=3", "@/repeats.pdf", "%"}
            << QStringList{"manifest.jsonl", "."}
            << "written 3, failed 0, small 2, repeat 3, kept 0";
        QTest::newRow("failures keep their line")
            << QStringList{"--manifest", "@/broken.pdf", "%"} << QStringList{"manifest.jsonl", "."}
            << "written 10, failed 9, small 0, repeat 0, kept 0";
        QTest::newRow("kept bytes, manifest elsewhere")
            << QStringList{"--manifest=%/kept.jsonl", "-f", "jpeg", "@/kept.pdf", "%/img"}
            << QStringList{"kept.jsonl", "img"}
            << "written 10, failed 1, small 0, repeat 0, kept 5";
        QTest::newRow("a format written out of order, hashed afterwards")
            << QStringList{"--manifest", "-f", "tiff", "@/multipage.pdf", "%"}
            << QStringList{"manifest.jsonl", "."}
            << "written 6, failed 0, small 0, repeat 0, kept 0";
        QTest::newRow("several documents, one in each folder")
            << QStringList{"--manifest", "--unique", "@/repeats.pdf", "@/multipage.pdf", "%"}
            << QStringList{"repeats/manifest.jsonl", "repeats", "multipage/manifest.jsonl",
                           "multipage"}
            << "written 11, failed 0, small 0, repeat 3, kept 0";
    }
    void manifest() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, folders);
        QFETCH(QString, counts);
        QTemporaryDir out;
        const Run r = ExecIn(args, out);
        QVERIFY2(r.code == 0 || r.code == 1, qPrintable(r.err));
        QMap<QString, int> seen;
        for (int m = 0; m < folders.size(); m += 2) {
            const QString folder = out.filePath(folders[m + 1]);
            const QList<QByteArray> lines = Read(out.filePath(folders[m])).split('\n');
            QVERIFY2(lines.size() > 2 && lines.last().isEmpty(), qPrintable(folders[m]));
            const QJsonObject header = QJsonDocument::fromJson(lines.first()).object();
            const QString document = header["document"].toString();
            const QString format = args.contains("-f") ? args[args.indexOf("-f") + 1] : "original";
            QVERIFY(
                header["options"].toString().contains("--format=" + format, Qt::CaseInsensitive));
            QStringList named;
            QList<QJsonObject> described;
            for (const QByteArray& line : lines.mid(1, lines.size() - 2)) {
                const QJsonObject row = QJsonDocument::fromJson(line).object();
                QVERIFY2(!row.isEmpty(), line.constData());
                ++seen[row["status"].toString()];
                seen["kept"] += row["kept"].toBool();
                // A picture that failed keeps what the document states of it.
                QVERIFY2(row["status"] != "failed" || !row["width"].isNull(), line.constData());
                if (!row["width"].isNull())
                    described << row;
                if (row["status"] != "written")
                    continue;
                const QString file = row["file"].toString();
                named << file;
                QCOMPARE(row["size"].toInteger(), QFileInfo(folder + "/" + file).size());
                QCOMPARE(row["sha256"].toString(),
                         QString(QCryptographicHash::hash(Read(folder + "/" + file),
                                                          QCryptographicHash::Sha256)
                                     .toHex()));
            }
            QStringList files = FilesIn(folder);
            files.removeAll("manifest.jsonl");
            named.sort();
            QCOMPARE(named, files);
            // The same pictures with the same facts as the listing of the run.
            QStringList listArgs{"--json", fixtures_.path() + "/" + document};
            for (const QString& a : args)
                if (a == "--unique" || a.startsWith("--min-size") || a == "jpeg")
                    listArgs << (a == "jpeg" ? "--format=jpeg" : a);
            const Run listed = Exec(listArgs);
            const QStringList rows = listed.out.split('\n', Qt::SkipEmptyParts);
            // The listing leaves out pictures that fail before their files.
            QSet<QPair<int, int>> inListing;
            for (const QString& row : rows) {
                const QJsonObject l = QJsonDocument::fromJson(row.toUtf8()).object();
                inListing.insert({l["page"].toInt(), l["image_on_page"].toInt()});
            }
            described.removeIf([&](const QJsonObject& d) {
                return d["status"] == "failed" &&
                       !inListing.contains({d["page"].toInt(), d["image_on_page"].toInt()});
            });
            QCOMPARE(described.size(), rows.size());
            for (int i = 0; i < rows.size(); ++i) {
                const QJsonObject l = QJsonDocument::fromJson(rows[i].toUtf8()).object();
                for (const char* key :
                     {"page", "image_on_page", "object", "width", "height", "colour_space",
                      "components", "bits_per_component", "encoding"})
                    QCOMPARE(described[i][key], l[key]);
            }
        }
        QCOMPARE(QString("written %1, failed %2, small %3, repeat %4, kept %5")
                     .arg(seen["written"])
                     .arg(seen["failed"])
                     .arg(seen["small"])
                     .arg(seen["repeat"])
                     .arg(seen["kept"]),
                 counts);
    }

    // The files a name pattern gives, or why it is refused before anything
    // runs.
    void namePatterns_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("files"); // sorted; none when refused
        QTest::addColumn<QString>("says");
        QTest::newRow("page, number on it, object, document")
            << QStringList{"--unique", "--name={doc}-p{page:02}-{i}-o{obj}", "@/repeats.pdf"}
            << QStringList{"repeats-p01-1-o3.bmp", "repeats-p01-2-o4.bmp", "repeats-p01-3-o5.bmp",
                           "repeats-p02-1-o6.bmp", "repeats-p03-1-o8.bmp"}
            << "5 images written";
        QTest::newRow("running number padded, pages asked for")
            << QStringList{"-r", "3-4", "--name=img{n:3}", "@/multipage.pdf"}
            << QStringList{"img001.bmp", "img002.bmp", "img003.bmp", "img004.bmp"}
            << "4 images written";
        QTest::newRow("several documents, each in its folder")
            << QStringList{"--name={doc}_{n}", "@/multipage.pdf", "@/repeats.pdf"}
            << QStringList{"multipage", "repeats"} << "";
        QTest::newRow("two numbers meeting") << QStringList{"--name={page}{i}", "@/multipage.pdf"}
                                             << QStringList{} << "runs {page} and {i} together";
        QTest::newRow("a padded number meeting another")
            << QStringList{"--name={n}{page:03}", "@/multipage.pdf"} << QStringList{}
            << "runs {n} and {page} together";
        QTest::newRow("only digits between") << QStringList{"--name={page}0{i}", "@/multipage.pdf"}
                                             << QStringList{} << "runs {page} and {i} together";
        QTest::newRow("page alone") << QStringList{"--name=p{page}", "@/multipage.pdf"}
                                    << QStringList{} << "needs {n}, or both {page} and {i}";
        QTest::newRow("field not known") << QStringList{"--name={N}", "@/multipage.pdf"}
                                         << QStringList{} << "holds {N}: use {n}";
        QTest::newRow("brace left open") << QStringList{"--name={n", "@/multipage.pdf"}
                                         << QStringList{} << "leaves a brace open";
        QTest::newRow("a folder in it") << QStringList{"--name=../{n}", "@/multipage.pdf"}
                                        << QStringList{} << "holds a path separator";
        QTest::newRow("prefix as well") << QStringList{"-p", "x", "--name={n}", "@/multipage.pdf"}
                                        << QStringList{} << "give --prefix or --name, not both";
    }
    void namePatterns() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, files);
        QFETCH(QString, says);
        QTemporaryDir out;
        const Run r = ExecIn(args << "%/x", out);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QCOMPARE(r.code, files.isEmpty() ? 2 : 0);
        const QDir folder(out.filePath("x"));
        QCOMPARE(folder.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                 files);
        if (args.count("@/repeats.pdf") && args.count("@/multipage.pdf"))
            QCOMPARE(FilesIn(folder.filePath("repeats")).first(), "repeats_1.bmp");
    }

    // A batch killed with SIGKILL in the middle of a document, then run
    // again with --resume: the document done is skipped, the one cut off is
    // done again from a clean folder, and each folder is what a lone run
    // leaves.
    void resumeAfterKill() {
        QTemporaryDir batch;
        const QStringList names{"multipage", "images"};
        QStringList documents;
        for (const QString& name : names) {
            documents << F(name + ".pdf");
            QCOMPARE(
                Exec({"-q", "--manifest", documents.last(), batch.filePath("lone/") + name}).code,
                0);
        }
        const QString out = batch.filePath("out");
        const QString cut = out + "/images";
        QProcess first;
        first.setChildProcessModifier([] { setsid(); });
        Start(first, QStringList{"-q", "--manifest"} + documents + QStringList{out});
        QVERIFY(first.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (FilesIn(cut).size() < 3 || QFile::exists(cut + "/manifest.jsonl")) {
            QVERIFY2(waited.elapsed() < 30000 && first.state() == QProcess::Running,
                     "the batch was not caught in the middle of a document");
            QThread::usleep(500);
        }
        QVERIFY(testing::SignalRunning(first, SIGKILL, true));
        QVERIFY(first.waitForFinished(30000));
        QVERIFY(QFile::exists(cut + "/manifest.jsonl.journal"));
        Write(cut + "/mine.txt", "not the run's"); // left alone
        const Run again = Exec(QStringList{"-q", "--resume"} + documents + QStringList{out});
        QCOMPARE(again.code, 0);
        QVERIFY2(again.err.contains("multipage.pdf was done before"), qPrintable(again.err));
        QVERIFY(QFile::remove(cut + "/mine.txt"));
        for (const QString& name : names) {
            const QString lone = batch.filePath("lone/") + name;
            QCOMPARE(FilesIn(out + "/" + name), FilesIn(lone));
            for (const QString& file : FilesIn(lone))
                QVERIFY2(Read(lone + "/" + file) == Read(out + "/" + name + "/" + file),
                         qPrintable(name + "/" + file));
        }
    }

    // --resume skips a document only for a manifest of the same options,
    // and a document skipped keeps the status its manifest tells.
    void resumeSkips_data() {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("then");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("same options: skipped")
            << QStringList{"--manifest", "--unique", "@/repeats.pdf"}
            << QStringList{"--resume", "--unique", "@/repeats.pdf"} << 0 << "was done before";
        QTest::newRow("other options: done again")
            << QStringList{"--manifest", "@/repeats.pdf"}
            << QStringList{"--resume", "--unique", "@/repeats.pdf"} << 0 << "5 images written";
        QTest::newRow("failures told again")
            << QStringList{"--manifest", "@/broken.pdf"} << QStringList{"--resume", "@/broken.pdf"}
            << 1 << "was done before";
    }
    void resumeSkips() {
        QFETCH(QStringList, first);
        QFETCH(QStringList, then);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir out;
        ExecIn(first << "%", out);
        const Run r = ExecIn(then << "%", out);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        const QJsonObject header =
            QJsonDocument::fromJson(Read(out.filePath("manifest.jsonl")).split('\n').first())
                .object();
        QCOMPARE(header["options"].toString().contains("--unique"), then.contains("--unique"));
    }

    // A document whose name without .pdf would be "", "." or ".." keeps its
    // whole file name for its folder, and nothing lands outside the output
    // folder.
    void unsafeDocumentNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::newRow(".") << "..pdf"
                           << "..pdf";
        QTest::newRow("..") << "...pdf"
                            << "...pdf";
        QTest::newRow("...") << "....pdf"
                             << "...";
        QTest::newRow("empty stem") << ".pdf"
                                    << ".pdf";
    }
    void unsafeDocumentNames() {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QTemporaryDir docs, out;
        QVERIFY(QFile::copy(F("multipage.pdf"), docs.filePath(name)));
        const Run r =
            Exec({"--manifest", docs.filePath(name), F("repeats.pdf"), out.filePath("images")});
        QCOMPARE(r.code, 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"images"});
        QCOMPARE(QDir(out.filePath("images"))
                     .entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{folder, "repeats"}));
        QCOMPARE(FilesIn(out.filePath("images/") + folder).size(), 6 + 1);
    }

    // A name pattern that can give two pictures one name (here through the
    // document's name, "1": page 1's pictures 11 and 12 and page 11's 1 and
    // 2 make "1111" and "1112"): the second is a failure, never a
    // replacement.
    void nameTakenTwice() {
        QTemporaryDir bin, docs, out;
        const QString program =
            StandIn(bin, "case $2 in 1) n=12;; 11) n=2;; *) n=0;; esac\n"
                         "i=0; while [ $i -lt $n ]; do\n"
                         "  f=$(printf '%s-%03d.ppm' \"$last\" $i)\n"
                         "  if [ $2 = 1 ]; then printf 'P6\\n1 1\\n255\\n\\0\\0\\377' > \"$f\"\n"
                         "  else printf 'P6\\n2 1\\n255\\n\\377\\0\\0\\0\\377\\0' > \"$f\"; fi\n"
                         "  i=$((i+1))\n"
                         "done\n");
        QVERIFY(QFile::copy(F("text1000.pdf"), docs.filePath("1.pdf")));
        const Run r = Exec({"-f", "bmp", "-r", "1-11", "--name={page}{doc}{i}",
                            docs.filePath("1.pdf"), out.path()},
                           60000, program);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("arvenzo-extract: page 11: cannot write " +
                                out.filePath("1112.bmp") +
                                ": a picture of page 1 was written under that name in this run\n"),
                 qPrintable(r.err));
        QCOMPARE(r.err.count("was written under that name in this run"), 2);
        QVERIFY2(r.err.contains("12 images written, 2 failed; see above"), qPrintable(r.err));
        QCOMPARE(FilesIn(out.path()).size(), 12);
        QCOMPARE(Read(out.filePath("1112.bmp")), Read(out.filePath("111.bmp")));
    }

    // A manifest is never written over the document, an image or a working
    // file of its run, nor onto what is not a file: refused before anything
    // runs.
    void manifestPlace_data() {
        QTest::addColumn<QString>("manifest"); // "@" the fixtures, "%" the output folder
        QTest::addColumn<QString>("says");     // empty: taken
        QTest::newRow("an image's name") << "%/2.bmp"
                                         << "has a name the run may give an image";
        QTest::newRow("an image's name, another spelling")
            << "%/../out/./3.bmp"
            << "has a name the run may give an image";
        QTest::newRow("a working file's name") << "%/.arvenzo-1-x"
                                               << "has a name the run's working files take";
        QTest::newRow("the document") << "@/multipage.pdf"
                                      << "is the document itself";
        QTest::newRow("a folder") << "%/sub"
                                  << "is not a regular file";
        QTest::newRow("a name no image takes") << "%/2.bmp.jsonl"
                                               << "";
    }
    void manifestPlace() {
        QFETCH(QString, manifest);
        QFETCH(QString, says);
        QTemporaryDir top;
        const QString out = top.filePath("out");
        QVERIFY(QDir().mkpath(out + "/sub"));
        manifest.replace("@", fixtures_.path()).replace("%", out);
        const QByteArray document = Read(F("multipage.pdf"));
        const Run r = Exec({"--manifest=" + manifest, F("multipage.pdf"), out});
        QCOMPARE(r.code, says.isEmpty() ? 0 : 2);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QCOMPARE(FilesIn(out).size(), says.isEmpty() ? 7 : 0);
        QCOMPARE(Read(F("multipage.pdf")), document);
    }

    // --resume does again, from a clean folder, a document whose manifest
    // cannot be trusted, and says why in one line.
    void resumeDistrusts_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("says"); // empty: skipped
        QTest::newRow("untouched") << ""
                                   << "";
        QTest::newRow("rows deleted") << "delete row"
                                      << "has 5 rows where its first line counts 6";
        QTest::newRow("hash changed")
            << "change hash"
            << "names 1.bmp, which does not have the size and SHA-256 it gives";
        QTest::newRow("garbage row") << "garbage"
                                     << "has a line 8 that is not JSON";
        QTest::newRow("row cut in half") << "cut"
                                         << "has a line 7 that is not JSON";
        QTest::newRow("file gone") << "remove 2.bmp"
                                   << "names 2.bmp, which is not there";
        QTest::newRow("all files gone") << "remove all"
                                        << "names 1.bmp, which is not there";
        QTest::newRow("another document of the same name")
            << "other document"
            << "was made from another document of that name";
    }
    void resumeDistrusts() {
        QFETCH(QString, change);
        QFETCH(QString, says);
        QTemporaryDir out, docs, lone;
        QVERIFY(QFile::copy(F("multipage.pdf"), docs.filePath("x.pdf")));
        QCOMPARE(Exec({"-q", "--resume", docs.filePath("x.pdf"), out.path()}).code, 0);
        const QString manifest = out.filePath("manifest.jsonl");
        QByteArray lines = Read(manifest);
        if (change == "delete row")
            lines.remove(lines.indexOf("{\"file\":\"2.bmp\""),
                         lines.indexOf("{\"file\":\"3.bmp\"") -
                             lines.indexOf("{\"file\":\"2.bmp\""));
        else if (change == "change hash")
            lines.replace("\"sha256\":\"", "\"sha256\":\"0");
        else if (change == "garbage")
            lines += "garbage\n";
        else if (change == "cut")
            lines.chop(40);
        else if (change == "remove 2.bmp")
            QVERIFY(QFile::remove(out.filePath("2.bmp")));
        else if (change == "remove all")
            for (const QString& file : FilesIn(out.path()).filter(".bmp"))
                QVERIFY(QFile::remove(out.filePath(file)));
        else if (change == "other document")
            QVERIFY(QFile::remove(docs.filePath("x.pdf")) &&
                    QFile::copy(F("repeats.pdf"), docs.filePath("x.pdf")));
        if (change.startsWith("remove") || change == "other document")
            lines.clear();
        if (!lines.isEmpty())
            Write(manifest, lines);
        const Run r = Exec({"-q", "--resume", docs.filePath("x.pdf"), out.path()});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err.contains("was done before"), says.isEmpty());
        QVERIFY2(says.isEmpty() ||
                     r.err.contains(docs.filePath("x.pdf") + " is done again: its manifest " +
                                    manifest + " " + says + "\n"),
                 qPrintable(r.err));
        QCOMPARE(r.err.count("\n"), says.isEmpty() ? 1 : 2);
        // As a lone run of the document leaves it, and trusted next time.
        QCOMPARE(Exec({"-q", "--manifest", docs.filePath("x.pdf"), lone.path()}).code, 0);
        QCOMPARE(FilesIn(out.path()), FilesIn(lone.path()));
        QVERIFY(Exec({"-q", "--resume", docs.filePath("x.pdf"), out.path()})
                    .err.contains("was done before"));
    }

    // A scratch disk that fills is the run's stop, not a failure of the
    // pictures: named once, no manifest, and with room again --resume does
    // the document.
    void scratchDiskFull() {
        if (geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        QTemporaryDir disk, out;
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", disk.path()}),
                 0);
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk.path()}); });
        QFile filler(disk.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(65536, 'f')) > 0 && filler.flush()) {
        }
        filler.close();
        const auto run = [&] {
            QProcess p;
            QProcessEnvironment env = Environment();
            env.insert("TEMP", disk.path());
            p.setProcessEnvironment(env);
            p.start(EXTRACT_PATH, {"-q", "--resume", "-f", "tiff", F("images.pdf"), out.path()});
            p.waitForFinished(60000);
            return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
        };
        const auto [code, err] = run();
        QCOMPARE(code, 1);
        QCOMPARE(err.count("takes no more files: No space left on device"), 1);
        QVERIFY(!QFile::exists(out.filePath("manifest.jsonl")));
        QVERIFY(filler.remove());
        const auto [again, said] = run();
        QCOMPARE(again, 0);
        QVERIFY2(!said.contains("done before") && !said.contains("failed"), qPrintable(said));
        QVERIFY(QFile::exists(out.filePath("manifest.jsonl")));
    }

    void formatNames_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("extension"); // empty: refused
        QTest::addColumn<QByteArray>("magic");
        const QByteArray png("\x89PNG"), jpeg("\xff\xd8\xff"), jp2("\0\0\0\x0cjP", 6),
            tiff("II*\0", 4), bmp("BM");
        QTest::newRow("png") << "png"
                             << "png" << png;
        QTest::newRow("PNG") << "PNG"
                             << "png" << png;
        QTest::newRow("Jpg") << "Jpg"
                             << "jpg" << jpeg;
        QTest::newRow("jpeg") << "jpeg"
                              << "jpg" << jpeg;
        QTest::newRow("jp2") << "jp2"
                             << "jp2" << jp2;
        QTest::newRow("jpeg2000") << "jpeg2000"
                                  << "jp2" << jp2;
        QTest::newRow("Jpeg-2000") << "Jpeg-2000"
                                   << "jp2" << jp2;
        QTest::newRow("tif") << "tif"
                             << "tiff" << tiff;
        QTest::newRow("TIFF") << "TIFF"
                              << "tiff" << tiff;
        QTest::newRow("bmp") << "bmp"
                             << "bmp" << bmp;
        QTest::newRow("original, a flate picture") << "original"
                                                   << "bmp" << bmp;
        QTest::newRow("gif") << "gif"
                             << "" << QByteArray();
        QTest::newRow("png with a blank inside") << "p ng"
                                                 << "" << QByteArray();
    }

    // A name given in any case or by its alias writes that format, under
    // its extension; anything else is refused with the names to use.
    void formatNames() {
        QFETCH(QString, format);
        QFETCH(QString, extension);
        QFETCH(QByteArray, magic);
        QTemporaryDir out;
        const Run r = Exec({"-r", "4", "-f", format, F("multipage.pdf"), out.path()});
        if (extension.isEmpty()) {
            QCOMPARE(r.code, 2);
            QVERIFY2(r.err.contains("unknown format '" + format + "': use original, bmp, jpeg"),
                     qPrintable(r.err));
            QCOMPARE(FilesIn(out.path()), QStringList());
            return;
        }
        QCOMPARE(r.code, 0);
        QCOMPARE(FilesIn(out.path()), QStringList{"1." + extension});
        QFile file(out.filePath("1." + extension));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.read(magic.size()) == magic, qPrintable(format));
    }

    void pageRanges_data() {
        QTest::addColumn<QStringList>("range"); // the arguments that give it
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("written"); // pages 1 to 4 hold 2, 0, 3 and 1 images
        QTest::addColumn<QString>("says");
        const QString outside = "is outside the document, which has 4 pages";
        QTest::newRow("N") << QStringList{"-r", "3"} << 0 << 3 << "";
        QTest::newRow("N-M") << QStringList{"-r", "1-3"} << 0 << 5 << "";
        QTest::newRow("N-") << QStringList{"-r", "3-"} << 0 << 4 << "";
        QTest::newRow("-M") << QStringList{"-r", "-2"} << 0 << 2 << "";
        QTest::newRow("attached") << QStringList{"-r3-4"} << 0 << 4 << "";
        QTest::newRow("long, with =") << QStringList{"--range=3-4"} << 0 << 4 << "";
        QTest::newRow("long, separate") << QStringList{"--range", "-1"} << 0 << 2 << "";
        QTest::newRow("0") << QStringList{"-r", "0"} << 2 << 0 << "page range 0 " + outside;
        QTest::newRow("past the end")
            << QStringList{"-r", "5-9"} << 2 << 0 << "page range 5-9 " + outside;
        QTest::newRow("end past the end")
            << QStringList{"-r", "3-99"} << 2 << 0 << "page range 3-99 " + outside;
        QTest::newRow("open end past the end")
            << QStringList{"-r", "7-"} << 2 << 0 << "page range 7- " + outside;
        QTest::newRow("huge") << QStringList{"-r", "99999999999999999999"} << 2 << 0
                              << "page range 99999999999999999999 " + outside;
        QTest::newRow("reversed") << QStringList{"-r", "3-2"} << 2 << 0
                                  << "page range 3-2 is reversed; the document has 4 pages";
        QTest::newRow("a hyphen") << QStringList{"-r", "-"} << 2 << 0
                                  << "invalid page range '-': use N, N-M, N- or -M";
        QTest::newRow("not a number")
            << QStringList{"-r", "2-x"} << 2 << 0 << "invalid page range '2-x'";
        QTest::newRow("three parts")
            << QStringList{"-r", "1-2-3"} << 2 << 0 << "invalid page range '1-2-3'";
        QTest::newRow("negative") << QStringList{"-r", "-2-3"} << 2 << 0
                                  << "invalid page range '-2-3'";
    }

    void pageRanges() {
        QFETCH(QStringList, range);
        QFETCH(int, code);
        QFETCH(int, written);
        QFETCH(QString, says);
        QTemporaryDir out;
        const Run r = Exec(range + QStringList{F("multipage.pdf"), out.path()});
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains("arvenzo-extract: " + says), qPrintable(r.err));
        QCOMPARE(FilesIn(out.path()).size(), written);
    }

    // Help and version go to standard output; -q leaves only the messages.
    void conventions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("out"); // what standard output holds
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("errLines");
        QTest::newRow("--help") << QStringList{"--help"}
                                << QStringList{"usage: arvenzo-extract [OPTIONS] INPUT.pdf...",
                                               "--range=PAGES", "Examples:"}
                                << 0 << 0;
        QTest::newRow("-h after other options")
            << QStringList{"-q", "-h"} << QStringList{"--no-clobber"} << 0 << 0;
        QTest::newRow("--version")
            << QStringList{"--version"}
            << QStringList{"arvenzo-extract (Arvenzo) 1.", "\nCopyright (C) 2026 Tessaly.\n",
                           "\nLicense AGPLv3+: GNU AGPL version 3 or later", "NO WARRANTY"}
            << 0 << 0;
        QTest::newRow("-q") << QStringList{"-q", "@/multipage.pdf", "%"} << QStringList{} << 0 << 1;
        QTest::newRow("--quiet with -n, one dash")
            << QStringList{"-qn", "@/multipage.pdf", "%"} << QStringList{} << 0 << 1;
        QTest::newRow("flag with a value")
            << QStringList{"--quiet=yes", "@/multipage.pdf", "%"} << QStringList{} << 2 << 2;
    }
    void conventions() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, out);
        QFETCH(int, code);
        QFETCH(int, errLines);
        QTemporaryDir folder;
        const Run r = ExecIn(args, folder);
        QCOMPARE(r.code, code);
        for (const QString& piece : out)
            QVERIFY2(r.out.contains(piece), qPrintable(r.out));
        if (out.isEmpty())
            QCOMPARE(r.out, QString());
        QCOMPARE(r.err.split('\n', Qt::SkipEmptyParts).size(), errLines);
    }

    void passwordOnCommandLine_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("written");
        QTest::newRow("right, with a blank") << "open sesame" << 0 << 4;
        QTest::newRow("owner's password opens too") << "master key" << 0 << 4;
        QTest::newRow("wrong") << "open" << 2 << 0;
        QTest::newRow("empty") << "" << 2 << 0;
    }

    void passwordOnCommandLine() {
        QFETCH(QString, password);
        QFETCH(int, code);
        QFETCH(int, written);
        QTemporaryDir out;
        // No terminal and stdin closed: a prompt would fail, never hang.
        const Run r = Exec({"-P", password, F("user-password.pdf"), out.path()}, 20000);
        QVERIFY(r.finished);
        QCOMPARE(r.code, code);
        QCOMPARE(FilesIn(out.path()).size(), written);
        QVERIFY2(!r.err.contains("Password:"), qPrintable(r.err));
        // An empty password is no try at all.
        QCOMPARE(r.err.contains("Wrong password"), !password.isEmpty() && code != 0);
    }

    void passwordWithoutTerminal_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString needed =
            "user-password.pdf needs a password: give it with --password-file FILE or -P PASSWORD";
        QTest::newRow("nothing given") << false << QByteArray() << 2 << needed;
        QTest::newRow("file, first line")
            << true << QByteArray("open sesame\nmaster key\n") << 0 << "4 images written";
        QTest::newRow("file, CRLF, no end")
            << true << QByteArray("open sesame\r\n") << 0 << "4 images written";
        QTest::newRow("file, wrong")
            << true << QByteArray("sesame\n") << 2 << "Wrong password, please try it again!";
        QTest::newRow("file, empty") << true << QByteArray() << 2 << needed;
    }

    // From cron and the like: no terminal to ask on, so it says what it
    // needs, or takes the password from a file.
    void passwordWithoutTerminal() {
        QFETCH(bool, fromFile);
        QFETCH(QByteArray, file);
        QFETCH(int, code);
        QFETCH(QString, says);
        QTemporaryDir out, secret;
        QStringList args{F("user-password.pdf"), out.path()};
        if (fromFile) {
            QFile f(secret.filePath("password"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
            args = QStringList{"--password-file", f.fileName()} + args;
        }
        QProcess p;
        // Its own session: no controlling terminal to ask on.
        p.setChildProcessModifier([] { setsid(); });
        Start(p, args);
        QVERIFY(p.waitForFinished(20000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), code);
        QVERIFY2(err.contains("arvenzo-extract: ") && err.contains(says), qPrintable(err));
        QCOMPARE(FilesIn(out.path()).size(), code == 0 ? 4 : 0);
    }

    void passwordPrompt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("columns"); // 0: the terminal does not say
        QTest::newRow("right") << "open sesame" << 0 << 0;
        QTest::newRow("wrong") << "sesame" << 2 << 0;
        QTest::newRow("right, narrow terminal") << "open sesame" << 0 << 40;
        QTest::newRow("right, very narrow terminal") << "open sesame" << 0 << 12;
    }

    // On a terminal it asks, with echo off, and the answer opens the document.
    void passwordPrompt() {
        QFETCH(QString, typed);
        QFETCH(int, code);
        QFETCH(int, columns);
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty())
            QSKIP("python3 is needed to drive a pseudo-terminal");
        QTemporaryDir out;
        // Types the answer at the first prompt and an empty line (giving
        // up) at any later one; prints "echo=0|1" as it was at the first
        // prompt, then all the terminal showed, and exits with the
        // program's code.
        const char* driver = R"(
import fcntl, os, pty, struct, sys, termios, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], sys.argv[1:2] + sys.argv[4:])
fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack('HHHH', 24, int(sys.argv[3]), 0, 0))
seen = b''
deadline = time.time() + 20
while b'Password: ' not in seen and time.time() < deadline:
    try:
        seen += os.read(fd, 1024)
    except OSError:
        break
echo = termios.tcgetattr(fd)[3] & termios.ECHO
os.write(fd, sys.argv[2].encode() + b'\n')
asked = 1
while True:
    try:
        chunk = os.read(fd, 1024)
    except OSError:
        break
    if not chunk:
        break
    seen += chunk
    if seen.count(b'Password: ') > asked:
        asked += 1
        os.write(fd, b'\n')
_, status = os.waitpid(pid, 0)
sys.stdout.write('echo=%d\n' % (1 if echo else 0))
sys.stdout.write(seen.decode('utf-8', 'replace'))
sys.exit(os.WEXITSTATUS(status) if os.WIFEXITED(status) else 99)
)";
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(python, {"-c", driver, EXTRACT_PATH, typed, QString::number(columns),
                         F("user-password.pdf"), out.path()});
        QVERIFY(p.waitForFinished(40000));
        const QString shown = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(shown.startsWith("echo=0\n"), qPrintable(shown));
        QVERIFY2(shown.contains("Password: "), qPrintable(shown));
        QVERIFY2(!shown.contains(typed), qPrintable(shown));
        QCOMPARE(p.exitCode(), code);
        QCOMPARE(FilesIn(out.path()).size(), code == 0 ? 4 : 0);
        // A wrong answer is told and asked again.
        QCOMPARE(shown.count("Password: "), code == 0 ? 1 : 2);
        QCOMPARE(shown.contains("Wrong password, please try it again!"), code != 0);
        if (code == 0 && columns == 0) // the bar draws itself over one line on a terminal
            QVERIFY2(shown.contains("\r\x1b[K[########################] page 4 of 4"),
                     qPrintable(shown));
        // A row as wide as the terminal would wrap, and the next redraw
        // would leave its second line behind.
        const QStringList rows = shown.split("\r\x1b[K").mid(1);
        QVERIFY(code != 0 || !rows.isEmpty());
        for (const QString& row : rows) {
            const QString drawn = row.section(QRegularExpression("[\r\n]"), 0, 0);
            QVERIFY2(drawn.size() < (columns ? columns : 80), qPrintable(drawn));
        }
    }

    // The output folder goes while the run is under way: the first image
    // that cannot be written is named with the system's reason, and no
    // later page is tried, since each would fail the same way.
    void outputFolderVanishes() {
        QTemporaryDir bin, parent, marks;
        const QString out = parent.path() + "/out";
        QVERIFY(QFile::copy(EXTRACT_PATH, bin.path() + "/arvenzo-extract"));
        QVERIFY(LinkInformationTool(QFileInfo(EXTRACT_PATH).absolutePath(), bin.path()));
        testing::WriteScript(
            bin.path(), contract::kExtractionTool,
            testing::StandInPage() +
                QString("touch '%1'/page-$2\n"
                        "[ $2 = 2 ] && rm -rf '%2'\n"
                        "for last; do :; done\n"
                        "printf 'P6\\n2 1\\n255\\n\\377\\0\\0\\0\\377\\0' > \"%3\"\n")
                    .arg(marks.path(), out,
                         testing::ScratchName("$last", 0, contract::kStoredAsJpeg)));
        const Run r =
            Exec({"-r", "1-20", F("text1000.pdf"), out}, 60000, bin.path() + "/arvenzo-extract");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("arvenzo-extract: page 2: cannot write " + out +
                                "/2.jpg: No such file or directory\n"),
                 qPrintable(r.err));
        QCOMPARE(r.err.count("cannot write"), 1);
        QCOMPARE(FilesIn(marks.path()), (QStringList{"page-1", "page-2"}));
    }

    void noClobber_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("kept");
        QTest::newRow("-n") << QStringList{"-n"} << 1 << true;
        QTest::newRow("--no-clobber") << QStringList{"--no-clobber"} << 1 << true;
        QTest::newRow("replaced without") << QStringList{} << 0 << false;
    }

    // A file whose name an image would take is kept, and the run says so.
    void noClobber() {
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(bool, kept);
        QTemporaryDir out;
        QFile mine(out.filePath("2.png"));
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        const Run r =
            Exec(options + QStringList{"-f", "png", "-r", "1", F("multipage.pdf"), out.path()});
        QCOMPARE(r.code, code);
        QCOMPARE(FilesIn(out.path()), (QStringList{"1.png", "2.png"}));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll() == "mine", kept);
        QCOMPARE(
            r.err.contains("arvenzo-extract: not written: " + out.filePath("2.png") + " exists"),
            kept);
        QVERIFY2(!r.err.contains("Some errors"), qPrintable(r.err));
    }

    void severalDocuments_data() {
        QTest::addColumn<QStringList>("documents");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        const QStringList two{"multipage.pdf", "images.pdf"};
        QTest::newRow("one at a time") << two << QStringList{} << 0;
        QTest::newRow("two at once") << two << QStringList{"-j", "2"} << 0;
        QTest::newRow("three at once, quiet")
            << two + QStringList{"fidelity.pdf"} << QStringList{"--jobs=3", "-q"} << 0;
        QTest::newRow("one with failures")
            << QStringList{"broken.pdf", "multipage.pdf"} << QStringList{"-j2"} << 1;
        QTest::newRow("one missing, the worst")
            << QStringList{"broken.pdf", "absent.pdf", "multipage.pdf"} << QStringList{} << 2;
    }

    // Each document's images go into a folder of its own, the same as a run
    // of that document alone would write; the exit code is the worst.
    void severalDocuments() {
        QFETCH(QStringList, documents);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QTemporaryDir out;
        QStringList args = options;
        for (const QString& d : documents)
            args << F(d);
        const Run r = Exec(args << out.path() + "/new", 120000);
        QCOMPARE(r.code, code);
        for (const QString& d : documents) {
            const QString folder = out.path() + "/new/" + QFileInfo(d).completeBaseName();
            if (!QFile::exists(F(d))) {
                QVERIFY(r.err.contains("arvenzo-extract: " + d + ": "));
                QVERIFY(!QFileInfo::exists(folder));
                continue;
            }
            QTemporaryDir alone;
            QCOMPARE(Exec({"-q", F(d), alone.path()}).code, d == "broken.pdf" ? 1 : 0);
            QCOMPARE(FilesIn(folder), FilesIn(alone.path()));
            for (const QString& name : FilesIn(folder)) {
                QFile a(folder + "/" + name), b(alone.filePath(name));
                QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
                QVERIFY2(a.readAll() == b.readAll(), qPrintable(name));
            }
        }
        if (documents.contains("broken.pdf"))
            QVERIFY2(r.err.contains("arvenzo-extract: broken.pdf: "), qPrintable(r.err));
    }

    void listing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("rows"); // lines on standard output
        QTest::addColumn<QString>("says");
        QTest::newRow("a table, header and one row an image")
            << QStringList{"--list", "@/multipage.pdf"} << 0 << 7 << "";
        QTest::newRow("JSON, pages asked for")
            << QStringList{"--json", "-r", "3-", "@/multipage.pdf"} << 0 << 4 << "";
        QTest::newRow("JSON, two documents, each object names its own")
            << QStringList{"--json", "@/multipage.pdf", "@/multipage.pdf"} << 0 << 12 << "";
        QTest::newRow("range outside")
            << QStringList{"--list", "-r", "9", "@/multipage.pdf"} << 2 << 0
            << "page range 9 is outside the document, which has 4 pages";
        QTest::newRow("password needed, none given")
            << QStringList{"--list", "@/user-password.pdf"} << 2 << 0 << "needs a password";
        QTest::newRow("password given")
            << QStringList{"--list", "-P", "open sesame", "@/user-password.pdf"} << 0 << 5 << "";
    }

    // --list writes nothing and needs no output folder; it lists as many
    // images as the same run writes (exitCodes: 6 for multipage.pdf).
    void listing() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(int, rows);
        QFETCH(QString, says);
        QTemporaryDir out;
        const Run r = ExecIn(args, out);
        QCOMPARE(r.code, code);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), rows);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        if (args.contains("--json"))
            for (const QString& line : lines)
                QVERIFY2(line.startsWith(args.count("@/multipage.pdf") > 1
                                             ? "{\"document\":\"multipage.pdf\",\"page\":"
                                             : "{\"page\":"),
                         qPrintable(line));
        QCOMPARE(FilesIn(QDir::currentPath()).filter(QRegularExpression("^\\d+\\.")),
                 QStringList());
    }

    // Each run has its own scratch folder, so runs side by side on the same
    // document neither mix nor lose images.
    void runsSideBySide() {
        QTemporaryDir out1, out2;
        QProcess a, b;
        Start(a, {"-f", "PNG", F("images.pdf"), out1.path()});
        Start(b, {"-f", "PNG", F("images.pdf"), out2.path()});
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const QStringList names = FilesIn(out1.path());
        QVERIFY(names.size() > 30);
        QCOMPARE(FilesIn(out2.path()), names);
        for (const QString& name : names) {
            QFile f1(out1.path() + "/" + name), f2(out2.path() + "/" + name);
            QVERIFY(f1.open(QIODevice::ReadOnly) && f2.open(QIODevice::ReadOnly));
            QVERIFY2(f1.readAll() == f2.readAll(), qPrintable(name));
        }
    }

    // Not on a terminal: one plain line a page, nothing drawn over.
    void plainProgressLines() {
        QTemporaryDir out;
        const Run r = Exec({F("multipage.pdf"), out.path()});
        QCOMPARE(r.code, 0);
        QVERIFY(!r.err.contains('\r') && !r.err.contains('\x1b'));
        QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        // Each line counts the images of its page too: 2, 0, 3 and 1.
        const int written[] = {2, 2, 5, 6};
        for (int page = 1; page <= 4; ++page)
            QVERIFY2(lines[page - 1].startsWith(
                         QString("page %1 of 4, %2 images, ").arg(page).arg(written[page - 1])),
                     qPrintable(lines[page - 1]));
        QVERIFY(lines[0].contains(" elapsed, ") && lines[0].endsWith(" left"));
        QVERIFY(lines[3].endsWith(" elapsed"));
        QCOMPARE(lines[4], "arvenzo-extract: 6 images written to " + out.path());
    }

    // Ctrl+C reaches the whole foreground group, the tool included; the
    // page under way still comes out whole and no later page starts.
    void interruptStopsAfterThePage() {
        QTemporaryDir bin, out, marks;
        const QString tools = QFileInfo(EXTRACT_PATH).absolutePath();
        // The program finds its tools beside its own file, so it is copied.
        QVERIFY(QFile::copy(EXTRACT_PATH, bin.path() + "/arvenzo-extract"));
        QVERIFY(LinkInformationTool(tools, bin.path()));
        QFile glimmet(bin.path() + "/" + contract::kExtractionTool);
        QVERIFY(glimmet.open(QIODevice::WriteOnly));
        // One 2 x 1 image a page, a second's work each, marking its start;
        // started ahead of its turn, it waits for its go first.
        glimmet.write(
            ("#!/bin/sh\n" + testing::StandInPage() +
             QString("touch '%1'/page-$2\n"
                     "sleep 1\n"
                     "for last; do :; done\n"
                     "printf 'P6\\n2 1\\n255\\n\\377\\0\\0\\0\\377\\0' > \"%2\"\n")
                 .arg(marks.path(), testing::ScratchName("$last", 0, contract::kStoredAsJpeg)))
                .toUtf8());
        glimmet.close();
        QVERIFY(glimmet.setPermissions(glimmet.permissions() | QFileDevice::ExeOwner));

        QProcess p;
        p.setChildProcessModifier([] { setpgid(0, 0); });
        Start(p, {"-r", "1-20", F("text1000.pdf"), out.path()}, bin.path() + "/arvenzo-extract");
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marks.path() + "/page-2"), 20000);
        QTest::qWait(200);
        QVERIFY(testing::SignalRunning(p, SIGINT, true));
        QVERIFY(p.waitForFinished(20000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        QVERIFY2(!err.contains("Some errors"), qPrintable(err));
        QCOMPARE(FilesIn(out.path()), (QStringList{"1.jpg", "2.jpg"}));
        QCOMPARE(FilesIn(marks.path()), (QStringList{"page-1", "page-2"}));
    }

    // Ended from outside mid-run: Ctrl+C lets a page that never ends go on
    // for the grace, a second Ctrl+C, SIGTERM and SIGHUP end it at once; an
    // image being converted is finished first. Every way the tools and what
    // they started end, and no scratch folder or part-written file stays.
    void endedFromOutside_data() {
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<bool>("converting"); // page 1 gives a large image; page 2 hangs
        QTest::addColumn<bool>("grace");
        QTest::newRow("Ctrl+C") << QList<int>{SIGINT} << false << true;
        QTest::newRow("Ctrl+C twice") << QList<int>{SIGINT, SIGINT} << false << false;
        QTest::newRow("SIGTERM") << QList<int>{SIGTERM} << false << false;
        QTest::newRow("SIGHUP") << QList<int>{SIGHUP} << false << false;
        QTest::newRow("SIGTERM while converting") << QList<int>{SIGTERM} << true << false;
    }
    void endedFromOutside() {
        QFETCH(QList<int>, sent);
        QFETCH(bool, converting);
        QFETCH(bool, grace);
        QTemporaryDir bin, out, marks;
        const QString tools = QFileInfo(EXTRACT_PATH).absolutePath();
        QVERIFY(QFile::copy(EXTRACT_PATH, bin.path() + "/arvenzo-extract"));
        QVERIFY(LinkInformationTool(tools, bin.path()));
        testing::WriteScript(
            bin.path(), contract::kExtractionTool,
            QString("echo $$ > '%1'/tool-$2\n").arg(marks.path()) + testing::StandInPage() +
                QString("for last; do :; done\n"
                        "if [ $2 = 1 ] && [ %1 = 1 ]; then\n"
                        "  { printf 'P6\\n2500 2500\\n255\\n';"
                        " head -c 18750000 /dev/urandom; } > \"%2\"; exit 0\n"
                        "fi\n"
                        "printf 'P6\\n2 1\\n255\\n' > \"%2\"\n"
                        "sleep 600 & echo $! > '%3'/child\n"
                        "exec sleep 600")
                    .arg(QString(converting ? "1" : "0"),
                         testing::ScratchName("$last", 0, contract::kStoredAsJpeg), marks.path()));

        QProcess p;
        p.setChildProcessModifier([] { setpgid(0, 0); });
        Start(p, {"-f", "PNG", F("text1000.pdf"), out.path()}, bin.path() + "/arvenzo-extract");
        QVERIFY(p.waitForStarted());
        if (converting) // a fast machine may be done before the file is seen
            (void)QTest::qWaitFor([&] { return !FilesIn(out.path()).filter(kWorking).isEmpty(); },
                                  20000);
        else
            QVERIFY(
                QTest::qWaitFor([&] { return testing::Running(marks.filePath("child")); }, 20000));
        // The run's scratch folder is closed to others.
        const QFileInfoList scratch =
            QDir(temp_.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(scratch.size(), 1);
        QCOMPARE(scratch[0].permissions() & 0x0077, QFileDevice::Permissions());

        QElapsedTimer clock;
        clock.start();
        for (const int signal : sent) {
            // A terminal sends Ctrl+C to the whole foreground group.
            QVERIFY(testing::SignalRunning(p, signal, signal == SIGINT));
            QTest::qWait(200);
        }
        QVERIFY(p.state() == QProcess::NotRunning || p.waitForFinished(30000));
        const qint64 graceMs = std::chrono::milliseconds(extract::kStopGrace).count();
        if (grace)
            QVERIFY2(clock.elapsed() > graceMs - 500 && clock.elapsed() < graceMs + 4000,
                     qPrintable(QString::number(clock.elapsed())));
        else if (!converting) // the image being encoded is finished first, however slow
            QVERIFY2(clock.elapsed() < graceMs - 500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        const QStringList written = FilesIn(out.path());
        QCOMPARE(written, converting && !written.isEmpty() ? QStringList{"1.png"} : QStringList{});
        for (const QString& mark : FilesIn(marks.path()))
            QVERIFY2(!testing::Running(marks.filePath(mark)), qPrintable(mark));
    }

    // The program beside a stand-in glimmet.bin running `script` after its
    // go ($2 is the page, $last the scratch root); returns the program.
    QString StandIn(const QTemporaryDir& bin, const QString& script) {
        [&] {
            QVERIFY(QFile::copy(EXTRACT_PATH, bin.path() + "/arvenzo-extract"));
            QVERIFY(LinkInformationTool(QFileInfo(EXTRACT_PATH).absolutePath(), bin.path()));
        }();
        testing::WriteScript(bin.path(), contract::kExtractionTool,
                             testing::StandInPage() + "for last; do :; done\n" + script);
        return bin.path() + "/arvenzo-extract";
    }

    // Every image in `folder` is whole: the same bytes as one of the lone
    // runs wrote under its name.
    static void WholeAsAlone(const QString& folder, const QStringList& alone) {
        for (const QString& name : FilesIn(folder)) {
            const QByteArray bytes = Read(folder + "/" + name);
            QVERIFY2(
                std::any_of(alone.begin(), alone.end(),
                            [&](const QString& lone) { return Read(lone + "/" + name) == bytes; }),
                qPrintable(name));
        }
    }

    // A link planted in the output folder, under the name a working file
    // used to have or under an image's own, is never written through.
    void plantedLinks_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("stays"); // the link itself is left
        QTest::newRow("working name") << ".1.png.part" << QStringList{} << 0 << true;
        QTest::newRow("working name, -n") << ".1.png.part" << QStringList{"-n"} << 0 << true;
        QTest::newRow("image's name") << "1.png" << QStringList{} << 0 << false;
        QTest::newRow("image's name, -n") << "1.png" << QStringList{"-n"} << 1 << true;
    }
    void plantedLinks() {
        QFETCH(QString, planted);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(bool, stays);
        QTemporaryDir out, lone, elsewhere;
        const QString victim = elsewhere.filePath("victim");
        Write(victim, "keep");
        QVERIFY(QFile::link(victim, out.filePath(planted)));
        const QStringList args{"-f", "png", "-r", "1", F("multipage.pdf")};
        QCOMPARE(Exec(args + QStringList{lone.path()}).code, 0);
        const Run r = Exec(options + args + QStringList{out.path()});
        QCOMPARE(r.code, code);
        QCOMPARE(Read(victim), QByteArray("keep"));
        QCOMPARE(QFileInfo(out.filePath(planted)).isSymLink(), stays);
        QCOMPARE(FilesIn(out.path()).filter(kWorking), QStringList());
        const QStringList files = FilesIn(out.path());
        QCOMPARE(QSet<QString>(files.begin(), files.end()),
                 QSet<QString>({"1.png", "2.png", planted}));
        if (!stays)
            QCOMPARE(Read(out.filePath("1.png")), Read(lone.filePath("1.png")));
        QCOMPARE(Read(out.filePath("2.png")), Read(lone.filePath("2.png")));
        QCOMPARE(r.err.contains("not written: " + out.filePath("1.png") + " exists"), code == 1);
    }

    // Two runs into one folder at once, over different pages: each gets
    // its own working files, and every image is one run's picture, whole.
    void twoRunsIntoOneFolder_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("replacing") << QStringList{};
        QTest::newRow("-n") << QStringList{"-n"};
    }
    void twoRunsIntoOneFolder() {
        QFETCH(QStringList, options);
        QTemporaryDir bin, out, loneA, loneB;
        // One large picture a page, its bytes told by the page.
        const QString program = StandIn(
            bin, QString("{ printf 'P6\\n1500 1500\\n255\\n'; yes \"page $2\" | head -c 6750000; }"
                         " > \"%1\"\n")
                     .arg(testing::ScratchName("$last", 0, contract::kStoredAsJpeg)));
        const QStringList a{"-f", "bmp", "-r", "1-3", F("text1000.pdf")};
        const QStringList b{"-f", "bmp", "-r", "4-5", F("text1000.pdf")};
        QCOMPARE(Exec(a + QStringList{loneA.path()}, 60000, program).code, 0);
        QCOMPARE(Exec(b + QStringList{loneB.path()}, 60000, program).code, 0);
        QProcess runA, runB;
        Start(runA, options + a + QStringList{out.path()}, program);
        Start(runB, options + b + QStringList{out.path()}, program);
        QVERIFY(runA.waitForFinished(60000) && runB.waitForFinished(60000));
        QCOMPARE(FilesIn(out.path()), (QStringList{"1.bmp", "2.bmp", "3.bmp"}));
        WholeAsAlone(out.path(), {loneA.path(), loneB.path()});
        // A run that keeps a name the other took says so, and nothing else
        // fails.
        for (QProcess* run : {&runA, &runB}) {
            const QString err = QString::fromUtf8(run->readAllStandardError());
            QCOMPARE(run->exitCode(), err.contains("not written: ") ? 1 : 0);
            QVERIFY2(!err.contains("cannot"), qPrintable(err));
            if (options.isEmpty())
                QCOMPARE(run->exitCode(), 0);
        }
    }

    // The output disk fills midway: the file and the system's reason are
    // named once, the run stops, and every image it left is whole.
    void diskFills() {
        if (geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        QTemporaryDir disk, lone;
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=3m", "tmpfs", disk.path()}),
                 0);
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk.path()}); });
        QTemporaryDir bin;
        const QString program =
            StandIn(bin, QString("{ printf 'P6\\n800 400\\n255\\n'; yes \"page $2\" | head -c "
                                 "960000; } > \"%1\"\n")
                             .arg(testing::ScratchName("$last", 0, contract::kStoredAsJpeg)));
        const QStringList args{"-f", "bmp", "-r", "1-20", F("text1000.pdf")};
        QCOMPARE(Exec(args + QStringList{lone.path()}, 60000, program).code, 0);
        const Run r = Exec(args + QStringList{disk.path()}, 60000, program);
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.count("cannot write"), 1);
        QVERIFY2(r.err.contains(QRegularExpression("arvenzo-extract: page \\d+: cannot write " +
                                                   QRegularExpression::escape(disk.path()) +
                                                   "/\\d\\.bmp: No space left on device\n")),
                 qPrintable(r.err));
        QVERIFY2(!r.err.contains("could not be converted"), qPrintable(r.err));
        QVERIFY(!FilesIn(disk.path()).isEmpty());
        QCOMPARE(FilesIn(disk.path()).filter(kWorking), QStringList());
        WholeAsAlone(disk.path(), {lone.path()});
    }

    // What runs ended by force left, in TEMP and in the output folder, goes
    // with the next run; a live run's stays, and so do names of others.
    void leftovers_data() {
        QTest::addColumn<QString>("mark"); // "" is this live process's
        QTest::addColumn<bool>("removed");
        QTest::newRow("no such process") << kNoSuchProcess << true;
        QTest::newRow("the id of a process started later") << "self-with-another-start" << true;
        QTest::newRow("a live run") << "" << false;
        QTest::newRow("no mark") << "none" << false;
    }
    void leftovers() {
        QFETCH(QString, mark);
        QFETCH(bool, removed);
        const QString self = QString::fromStdString(platform::ProcessMark());
        if (mark.isEmpty())
            mark = self;
        else if (mark == "self-with-another-start")
            mark = self + "1";
        QTemporaryDir out, elsewhere;
        const QString folder = temp_.filePath("arvenzo-extract-" + mark + "-abc123");
        const QString working = ".arvenzo-" + mark + "-abc123";
        QVERIFY(QDir().mkdir(folder));
        Write(folder + "/tmp-000.ppm", "scratch");
        Write(elsewhere.filePath("kept"), "kept");
        QVERIFY(QFile::link(elsewhere.filePath("kept"), folder + "/link"));
        Write(out.filePath(working), "half");
        const Run r = Exec({"-f", "png", "-r", "1", F("multipage.pdf"), out.path()});
        QCOMPARE(r.code, 0);
        QCOMPARE(QFileInfo::exists(folder), !removed);
        const QStringList images{"1.png", "2.png"};
        QCOMPARE(FilesIn(out.path()), removed ? images : QStringList{working} + images);
        QCOMPARE(Read(elsewhere.filePath("kept")), QByteArray("kept"));
        if (!removed)
            QVERIFY(QDir(folder).removeRecursively());
    }

    // A run killed outright leaves its scratch folder and a working file;
    // the next run into the same folder takes them away.
    void killedRunsFilesGo() {
        QTemporaryDir bin, out;
        // Page 1 only: a tool started ahead, left without its run, does
        // nothing more.
        const QString program =
            StandIn(bin, QString("[ $2 = 1 ] || exit 0\n"
                                 "{ printf 'P6\\n2000 2000\\n255\\n'; head -c 12000000 "
                                 "/dev/zero; } > \"%1\"\n")
                             .arg(testing::ScratchName("$last", 0, contract::kStoredAsJpeg)));
        QProcess p;
        Start(p, {"-f", "jp2", "-r", "1-3", F("text1000.pdf"), out.path()}, program);
        QVERIFY(QTest::qWaitFor([&] { return !FilesIn(out.path()).filter(kWorking).isEmpty(); },
                                30000));
        p.kill();
        QVERIFY(p.waitForFinished(10000));
        QVERIFY(!QDir(temp_.path()).isEmpty(QDir::Dirs | QDir::NoDotAndDotDot));
        const Run r = Exec({"-r", "1", F("multipage.pdf"), out.path()});
        QCOMPARE(r.code, 0);
        QCOMPARE(FilesIn(out.path()).filter(kWorking), QStringList());
    }

    // Names and paths at the edges.
    void namesAndPaths_data() {
        QTest::addColumn<QString>("temp"); // "" is the usual one
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("says");
        const QString prefix(249, 'p'); // "<prefix>1.png": 255 bytes, a name's most
        QTest::newRow("relative TEMP")
            << "relative" << QStringList{"-f", "png", "-r", "1", "@/multipage.pdf", "%"} << 0
            << QStringList{"1.png", "2.png"} << "";
        QTest::newRow("prefix up to the longest name")
            << "" << QStringList{"-f", "png", "-r", "1", "-p", prefix, "@/multipage.pdf", "%"} << 0
            << QStringList{prefix + "1.png", prefix + "2.png"} << "";
        QTest::newRow("TEMP a file")
            << "file" << QStringList{"@/multipage.pdf", "%"} << 2 << QStringList{}
            << "cannot create a scratch folder in %T: Not a directory";
        QTest::newRow("TEMP closed")
            << "missing" << QStringList{"@/multipage.pdf", "%"} << 2 << QStringList{}
            << "cannot create a scratch folder in %T: No such file or directory";
        QTest::newRow("input path too long")
            << "" << QStringList{"@/" + QString(300, 'd') + ".pdf", "%"} << 2 << QStringList{}
            << "/" + QString(300, 'd') + ".pdf: the path is too long (File name too long)";
    }
    void namesAndPaths() {
        QFETCH(QString, temp);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, files);
        QFETCH(QString, says);
        QTemporaryDir out, work;
        QString tempPath = temp_.path();
        if (temp == "relative") {
            QVERIFY(QDir(work.path()).mkdir("scr"));
            tempPath = "scr";
        } else if (temp == "file") {
            tempPath = work.filePath("file");
            Write(tempPath, "");
        } else if (temp == "missing") {
            tempPath = work.filePath("missing");
        }
        for (QString& a : args)
            a.replace("@", fixtures_.path()).replace("%", out.path());
        QProcess p;
        QProcessEnvironment env = Environment();
        env.insert("TEMP", tempPath);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
        p.start(EXTRACT_PATH, args);
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), code);
        QVERIFY2(err.contains(says.replace("%T", tempPath)), qPrintable(err));
        QCOMPARE(FilesIn(out.path()), files);
        if (temp == "relative")
            QVERIFY(QDir(work.filePath("scr")).isEmpty());
    }

    // Documents named with a line end or with bytes that are not UTF-8:
    // every line of the JSON listing still parses and names its document.
    void jsonListsOddNames() {
        QTemporaryDir dir;
        const QByteArray names[] = {"line\nend.pdf", "latin-\xe9.pdf", "surrogate-\xed\xa0\x80.pdf",
                                    "quote\"\t.pdf"};
        for (const QByteArray& name : names) {
            const QByteArray path = QFile::encodeName(dir.path()) + "/" + name;
            QVERIFY(::symlink(QFile::encodeName(F("multipage.pdf")).constData(),
                              path.constData()) == 0);
        }
        // Through the shell: such names cannot be handed over as text.
        const Run r =
            Exec({"-c", "exec \"$0\" --list --json -r 1 \"$1\"/*.pdf", EXTRACT_PATH, dir.path()},
                 60000, "/bin/sh");
        for (const QByteArray& name : names) // beyond QDir, which takes names as text
            ::unlink((QFile::encodeName(dir.path()) + "/" + name).constData());
        QCOMPARE(r.code, 0);
        QSet<QString> documents;
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 8);
        for (const QString& line : lines) {
            QJsonParseError error;
            const QJsonDocument json = QJsonDocument::fromJson(line.toUtf8(), &error);
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
            documents << json.object()["document"].toString();
        }
        const QSet<QString> expected{"line\nend.pdf", "latin-\uFFFD.pdf",
                                     "surrogate-\uFFFD\uFFFD\uFFFD.pdf", "quote\"\t.pdf"};
        QCOMPARE(documents, expected);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
