#include "ToolContract.h"
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "extract/ExtractionJob.h"
#include "support/TestSupport.h"
#include "support/ToolTests.h"
#include "toolkit/PathEdits.h"

#include <FreeImage.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The error box after a job: its first sentence, then what failed.
QString FailureBox(const QStringList& failures) {
    return "Some errors occured during the extraction process!\r\n\r\n" + failures.join("\r\n");
}

// A window set up for one job: its own environment, a recording shell,
// the real tools, and an empty output folder.
struct Session {
    testing::TestEnvironment env;
    testing::ShellRecorder shell;
    app::AppContext context;
    QTemporaryDir outputDir;
    std::unique_ptr<app::TMainForm> form;
    int gaugeTop = 0;

    explicit Session(const QString& toolDir = TOOL_DIR) {
        env.WriteArvenzoRecord();
        form = std::make_unique<app::TMainForm>(context);
        context.appFolder = toolDir.toStdString() + "/";
        form->show();
        QObject::connect(Gauge(), &QProgressBar::valueChanged,
                         [this](int v) { gaugeTop = std::max(gaugeTop, v); });
    }
    template <class T> T* Find(const char* name) { return form->findChild<T*>(name); }
    toolkit::TFilenameEdit* Input() { return Find<toolkit::TFilenameEdit>("sFilenameEditInput"); }
    toolkit::TDirectoryEdit* Output() {
        return Find<toolkit::TDirectoryEdit>("sDirectoryEditOutput");
    }
    QProgressBar* Gauge() { return Find<QProgressBar>("sGaugeProcess"); }
    QPushButton* Start() { return Find<QPushButton>("sBitBtnStart"); }
    QString Out() const { return outputDir.path(); }

    void Choose(const QString& pdf, const QString& range = {}, const QString& format = "Original") {
        Input()->setText(pdf);
        Output()->setText(Out());
        Find<QLineEdit>("sEditPageRange")->setText(range);
        Find<QComboBox>("sComboBoxFormat")->setCurrentText(format);
        Find<QLineEdit>("sEditOutputPrefix")->setText("img-");
    }
    bool RunToEnd() {
        Start()->click();
        return QTest::qWaitFor([this] { return !form->WorkerExists(); }, 60000);
    }
    QStringList Written() const {
        return QDir(Out()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList Scratch() const {
        return QDir(QString::fromStdString(context.workFolder)).entryList(QDir::Files);
    }
    QStringList Opened() const {
        QStringList out;
        for (const std::string& t : shell.Targets())
            out << QString::fromStdString(t);
        return out;
    }
};

QStringList Numbered(int count, const QString& suffix) {
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("img-%1.%2").arg(i).arg(suffix);
    names.sort();
    return names;
}

} // namespace

class ExtractionTest : public QObject {
    Q_OBJECT
    tooltest::Fixtures fixtures_;
    QString Fixture(const QString& name) const { return fixtures_.path(name + ".pdf"); }

private slots:
    void initTestCase() {
        QVERIFY(fixtures_.make(MAKE_FIXTURES_PATH, {"images", "multipage", "passwords", "flawed",
                                                    "kept", "bombs", "cut-short"}));
        FreeImage_Initialise(FALSE);
    }
    void cleanupTestCase() { FreeImage_DeInitialise(); }

    void everyFormatAcrossPages_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("fif");
        QTest::newRow("Original") << "Original"
                                  << "bmp" << int(FIF_BMP);
        QTest::newRow("BMP") << "BMP"
                             << "bmp" << int(FIF_BMP);
        QTest::newRow("JPEG") << "JPEG"
                              << "jpg" << int(FIF_JPEG);
        QTest::newRow("PNG") << "PNG"
                             << "png" << int(FIF_PNG);
        QTest::newRow("TIFF") << "TIFF"
                              << "tiff" << int(FIF_TIFF);
        QTest::newRow("JPEG-2000") << "JPEG-2000"
                                   << "jp2" << int(FIF_JP2);
    }
    void everyFormatAcrossPages() {
        QFETCH(QString, format);
        QFETCH(QString, suffix);
        QFETCH(int, fif);
        Session s;
        s.Choose(Fixture("multipage"), "", format);
        QCOMPARE(s.Find<QLineEdit>("sEditPageCount")->text(), QString("4"));
        QVERIFY(s.RunToEnd());
        // Pages of 2, 0, 3 and 1 images are numbered 1 to 6 across the job.
        QCOMPARE(s.Written(), Numbered(6, suffix));
        for (const QString& name : s.Written()) {
            const QByteArray path = QDir(s.Out()).filePath(name).toLocal8Bit();
            QCOMPARE(int(FreeImage_GetFileType(path.constData(), 0)), fif);
            // The document's gray pictures stay gray in every format.
            FIBITMAP* back = FreeImage_Load(FREE_IMAGE_FORMAT(fif), path.constData(), 0);
            QVERIFY(back);
            QCOMPARE(int(FreeImage_GetColorType(back)), int(FIC_MINISBLACK));
            QCOMPARE(FreeImage_GetBPP(back), 8u);
            FreeImage_Unload(back);
        }
        QCOMPARE(s.Opened(), QStringList{s.Out()});
        QCOMPARE(s.Scratch(), QStringList{});
        QCOMPARE(s.gaugeTop, 8);
        QCOMPARE(s.Gauge()->maximum(), 8);
        QCOMPARE(s.Gauge()->value(), 0);
        QVERIFY(!s.Gauge()->isTextVisible());
        QCOMPARE(s.Start()->text(), QString("Start Extraction"));
        QVERIFY(s.Input()->isEnabled());
    }

    void originalKeepsJpegsAsJpeg() {
        Session s;
        s.Choose(Fixture("images"), "1-3");
        QVERIFY(s.RunToEnd());
        QCOMPARE(s.Written(), (QStringList{"img-1.jpg", "img-2.jpg", "img-3.jpg"}));
    }

    // The window asks for the document's own bytes as the terminal does
    // (kept.pdf: page 1 a gray JPEG, page 6 a JPEG-2000 codestream).
    void keepsTheDocumentsOwnBytes_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("label");
        QTest::newRow("Original") << "Original"
                                  << "1"
                                  << "gray";
        QTest::newRow("JPEG-2000") << "JPEG-2000"
                                   << "6"
                                   << "jpx-codestream";
    }
    void keepsTheDocumentsOwnBytes() {
        QFETCH(QString, format);
        QFETCH(QString, range);
        QFETCH(QString, label);
        Session s;
        s.Choose(Fixture("kept"), range, format);
        QVERIFY(s.RunToEnd());
        QCOMPARE(s.Written().size(), 1);
        QFile stored(fixtures_.path("kept-" + label + ".bin")),
            written(s.Out() + "/" + s.Written()[0]);
        QVERIFY(stored.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly));
        const QByteArray data = stored.readAll();
        QVERIFY(data.size() > 100 && written.readAll().endsWith(data));
    }

    void rangeFailures_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("message");
        QTest::newRow("hyphen") << "-"
                                << "List index out of bounds (0)";
        QTest::newRow("blank before hyphen") << "2 -"
                                             << "'2 ' is not a valid integer value";
    }
    void rangeFailures() {
        QFETCH(QString, range);
        QFETCH(QString, message);
        Session s;
        s.Choose(Fixture("multipage"), range);
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QCOMPARE(answerer.Seen(), QStringList{message});
        QCOMPARE(s.Written(), QStringList{});
        QVERIFY(s.Opened().isEmpty());
        QCOMPARE(s.Start()->text(), QString("Start Extraction"));
    }

    void noImages_data() {
        QTest::addColumn<bool>("openAfter");
        QTest::newRow("open after") << true;
        QTest::newRow("box clear") << false;
    }
    void noImages() {
        QFETCH(bool, openAfter);
        Session s;
        s.Choose(Fixture("multipage"), "2");
        s.Find<QCheckBox>("sCheckBoxOpenAfter")->setChecked(openAfter);
        testing::ModalAnswerer answerer;
        if (openAfter)
            answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QCOMPARE(answerer.Seen(),
                 openAfter ? QStringList{"No images found in selected PDF!"} : QStringList{});
        QVERIFY(s.Opened().isEmpty());
    }

    void leftoversOfACrashedRunAreNotTaken() {
        Session s;
        const QString work = QString::fromStdString(s.context.workFolder);
        QFile stale(
            testing::ScratchName(work + contract::kScratchRoot, 0, contract::kStoredAsJpeg));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray("P6\n1 1\n255\n") + QByteArray(3, '\0'));
        stale.close();
        s.Choose(Fixture("multipage"), "4");
        QVERIFY(s.RunToEnd());
        QCOMPARE(s.Written(), QStringList{"img-1.bmp"});
    }

    void failedSavesAreReported() {
        Session s;
        // A folder where the first image's file would go: it cannot be saved.
        for (const char* name : {"img-1.bmp", "img-1.jpg"})
            QVERIFY(QDir(s.Out()).mkpath(QString(name) + "/inside"));
        s.Choose(Fixture("multipage"), "1");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QCOMPARE(answerer.Seen(), QStringList{FailureBox({"page 1: cannot write " + s.Out() +
                                                          "/img-1.bmp: Is a directory"})});
        QCOMPARE(s.Written().size(), 1); // the second image of the page
        QVERIFY(s.Opened().isEmpty());
        QCOMPARE(s.Scratch(), QStringList{});
    }

    // The output disk fills midway: one box names the file and the
    // system's reason, the job stops, and no working file stays.
    void outputDiskFills() {
        if (geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        Session s;
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", s.Out()}),
                 0);
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {s.Out()}); });
        s.Choose(Fixture("images"), "", "BMP");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QCOMPARE(answerer.Seen().size(), 1);
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(FailureBox({"page "})) +
                                    "\\d+: cannot write " + QRegularExpression::escape(s.Out()) +
                                    "/img-\\d+\\.bmp: No space left on device$")
                     .match(answerer.Seen().first())
                     .hasMatch(),
                 qPrintable(answerer.Seen().first()));
        const QStringList written = s.Written();
        QVERIFY(!written.isEmpty());
        QCOMPARE(written.filter(QRegularExpression("^\\.")), QStringList());
        QVERIFY(s.Opened().isEmpty());
        QCOMPARE(s.Scratch(), QStringList{});
    }

    void passwordDocument() {
        Session s;
        testing::ModalAnswerer answerer;
        answerer.Next([](QWidget* d) {
            QTest::keyClicks(d->findChild<QLineEdit*>("Value"), "open sesame");
            QTest::keyClick(d->findChild<QLineEdit*>("Value"), Qt::Key_Return);
        });
        s.Choose(Fixture("user-password"));
        QCOMPARE(s.Find<QLineEdit>("sEditPageCount")->text(), QString("4"));
        QVERIFY(s.RunToEnd());
        QCOMPARE(s.Written(), (QStringList{"img-1.bmp", "img-2.bmp", "img-3.bmp", "img-4.jpg"}));
    }

    // A page with an undecodable image between two sound ones keeps the
    // sound ones, numbered in order; the box names the picture that failed,
    // and a job whose last page failed does not open the folder.
    void failedPageKeepsItsImages_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("images");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QStringList>("failures");
        const QString damaged = "image 2 (object 3): the compressed data is damaged";
        QTest::newRow("failed page in the middle")
            << "1-3" << 6 << true << "flawed" << QStringList{"page 2, " + damaged};
        QTest::newRow("failed page last")
            << "3-4" << 4 << false << "flawed" << QStringList{"page 4, " + damaged};
        QTest::newRow("whole document") << "" << 8 << false << "flawed"
                                        << QStringList{"page 2, " + damaged, "page 4, " + damaged};
        QTest::newRow("second picture cut short")
            << "" << 1 << false << "cut-short"
            << QStringList{"page 1, image 2 (object 4): the JPEG data is cut short"};
    }
    void failedPageKeepsItsImages() {
        QFETCH(QString, range);
        QFETCH(int, images);
        QFETCH(bool, opened);
        QFETCH(QString, pdf);
        QFETCH(QStringList, failures);
        Session s;
        s.Choose(Fixture(pdf), range, "PNG");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QCOMPARE(answerer.Seen(), QStringList{FailureBox(failures)});
        QCOMPARE(s.Written(), Numbered(images, "png"));
        QCOMPARE(!s.Opened().isEmpty(), opened);
        QCOMPARE(s.Scratch(), QStringList{});
    }

    // --- with stand-in tools ------------------------------------------------
    void failedPageIsReportedAndTheJobGoesOn() {
        QTemporaryDir tools;
        const QString ppm = tools.filePath("one.ppm");
        QFile f(ppm);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("P6\n2 2\n255\n") + QByteArray(12, '\x80'));
        f.close();
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 3"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() +
                                 "for a in \"$@\"; do root=$a; done\n"
                                 "if [ \"$2\" = 2 ]; then for i in $(seq 12); do\n"
                                 "echo \"Error: page 2, image $i: broken\"; done; exit 1; fi\n"
                                 "cp '" +
                                 ppm + "' \"" +
                                 testing::ScratchName("$root", 0, contract::kStoredAsJpeg) + "\"");
        Session s(tools.path());
        s.Choose("/d/three.pdf");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        QVERIFY(s.RunToEnd());
        QStringList named;
        for (int i = 1; i <= 10; ++i)
            named << QString("page 2, image %1: broken").arg(i);
        QCOMPARE(answerer.Seen(), QStringList{FailureBox(named << "and 2 more")});
        QCOMPARE(s.Written(), (QStringList{"img-1.jpg", "img-2.jpg"}));
        QCOMPARE(s.Opened(), QStringList{s.Out()}); // the last page went well
    }

    void stopLetsThePageFinish() {
        QTemporaryDir tools;
        const QString log = tools.filePath("pages");
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 10"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() + "sleep 0.4; echo $2 >> '" + log + "'");
        Session s(tools.path());
        s.Choose("/d/ten.pdf");
        s.Start()->click();
        QVERIFY(QTest::qWaitFor([&] { return s.Gauge()->value() >= 1; }, 10000));
        QCOMPARE(s.Start()->text(), QString("Stop Extraction"));
        QVERIFY(!s.Input()->isEnabled());
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Escape)); // No: keeps running
        s.Start()->click();
        QVERIFY(s.context.extractionRunning);
        answerer.Next(testing::Press(Qt::Key_Return)); // Yes
        s.Start()->click();
        QCOMPARE(answerer.Seen(), (QStringList{"Are you sure you want to cancel the extraction?",
                                               "Are you sure you want to cancel the extraction?"}));
        // Stopping: a click neither asks again nor starts a second job.
        answerer.Next(testing::Press(Qt::Key_Escape));
        s.Start()->click();
        QTest::qWait(50);
        QCOMPARE(answerer.Seen().size(), 2);
        QCOMPARE(answerer.Pending(), 1);
        QVERIFY(QTest::qWaitFor([&] { return !s.form->WorkerExists(); }, 20000));
        QFile pages(log);
        QVERIFY(pages.open(QIODevice::ReadOnly));
        const int ran = pages.readAll().count('\n');
        QVERIFY2(ran >= 1 && ran < 10, qPrintable(QString::number(ran)));
        QVERIFY(s.Opened().isEmpty());
        QCOMPARE(s.Start()->text(), QString("Start Extraction"));
        QVERIFY(s.Input()->isEnabled());
    }

    // A page that never ends is ended a grace after the stop, and the job
    // ends as stopped: no box, nothing opened, nothing left behind.
    void stopEndsAHungPage() {
        QTemporaryDir tools;
        const QString child = tools.filePath("child");
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 3"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() +
                                 "for a; do root=$a; done\n"
                                 "printf 'P6\\n2 2\\n255\\n' > \"" +
                                 testing::ScratchName("$root", 0, contract::kStoredAsJpeg) +
                                 "\"\n" // cut short
                                 "sleep 600 & echo $! > '" +
                                 child + "'\nexec sleep 600");
        Session s(tools.path());
        s.Choose("/d/three.pdf");
        s.Start()->click();
        QVERIFY(QTest::qWaitFor([&] { return testing::Running(child); }, 10000));
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return)); // Yes
        QElapsedTimer clock;
        clock.start();
        s.Start()->click();
        QVERIFY(QTest::qWaitFor([&] { return !s.form->WorkerExists(); }, 30000));
        const qint64 grace = std::chrono::milliseconds(extract::kStopGrace).count();
        QVERIFY2(clock.elapsed() > grace - 500 && clock.elapsed() < grace + 4000,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(answerer.Seen(), QStringList{"Are you sure you want to cancel the extraction?"});
        QVERIFY(s.Opened().isEmpty());
        QCOMPARE(s.Written(), QStringList{});
        QCOMPARE(s.Scratch(), QStringList{});
        QVERIFY(!testing::Running(child));
        QCOMPARE(s.Start()->text(), QString("Start Extraction"));
    }

    // One run of the tool goes through the range page by page; a page it
    // dies on is that page's failure alone and a new run goes on from the
    // next. The stand-in writes one image a page and does `action` on
    // page `on`; `runs` are the pages the runs began at.
    void rangeOfPagesInOneRun_data() {
        QTest::addColumn<int>("on");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("images");
        QTest::addColumn<QString>("failure"); // "%" is the tools' folder
        QTest::addColumn<QString>("runs");
        QTest::newRow("crash in the middle")
            << 2 << "kill -SEGV $$" << false << 3
            << "page 2: '%/glimmet.bin' was ended by signal 11 (Segmentation fault)"
            << "1 3";
        QTest::newRow("failed last page")
            << 3 << "echo 'Error: page 3 is broken'" << false << 3 << "page 3 is broken"
            << "1";
        QTest::newRow("stop during a long page") << 2 << "exec sleep 600" << true << 1 << ""
                                                 << "1";
        QTest::newRow("every page sound") << 0 << "" << false << 3 << ""
                                          << "1";
    }
    void rangeOfPagesInOneRun() {
        QFETCH(int, on);
        QFETCH(QString, action);
        QFETCH(bool, stop);
        QFETCH(int, images);
        QFETCH(QString, failure);
        QFETCH(QString, runs);
        QTemporaryDir tools;
        const QString log = tools.filePath("runs"), hanging = tools.filePath("hanging");
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 3"));
        // Pages $2 to $4 one by one, each at its go, numbering files from $7.
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             "for root; do :; done\necho $2 >> '" + log +
                                 "'\np=$2; n=$7\n"
                                 "while [ $p -le $4 ] && read -r _ _; do\n"
                                 "  f=$(printf '%s-%03d.ppm' $root $((n-1)))\n"
                                 "  printf 'P6\\n2 2\\n255\\n%012d' 0 > \"$f\"\n"
                                 "  printf '" +
                                 contract::kFileMade + "\\t%d\\t%s\\t23\\t" + contract::kNoDigest +
                                 "\\n' $n \"${f##*/}\"; n=$((n+1))\n"
                                 "  if [ $p = " +
                                 QString::number(on) + " ]; then touch '" + hanging + "'; " +
                                 (action.isEmpty() ? ":" : action) + "; fi\n  printf '" +
                                 contract::kPageDone + "\\t%d\\n' $p; p=$((p+1))\ndone");
        Session s(tools.path());
        s.Choose("/d/three.pdf");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        if (stop) {
            s.Start()->click();
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(hanging); }, 10000));
            s.Start()->click();
            QVERIFY(QTest::qWaitFor([&] { return !s.form->WorkerExists(); }, 30000));
        } else {
            QVERIFY(s.RunToEnd());
        }
        QCOMPARE(s.Written(), Numbered(images, "jpg"));
        QCOMPARE(answerer.Seen(),
                 stop ? QStringList{"Are you sure you want to cancel the extraction?"}
                 : !failure.isEmpty()
                     ? QStringList{FailureBox({failure.replace("%", tools.path())})}
                     : QStringList{});
        QCOMPARE(s.Opened().isEmpty(), stop || on == 3);
        QCOMPARE(s.Scratch(), QStringList{});
        QFile started(log);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString(started.readAll()).simplified(), runs);
    }

    // One run for the whole range writes what one run a page writes, file
    // for file; a page over its processor budget fails alone.
    void sameFilesAsOneRunAPage_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<int>("images");
        QTest::newRow("pages of 2, 0, 3 and 1 images") << "multipage" << QByteArray() << 6;
        QTest::newRow("failed pages between sound ones") << "flawed" << QByteArray() << 8;
        QTest::newRow("pages over the budget") << "spin" << QByteArray("1") << 2;
    }
    void sameFilesAsOneRunAPage() {
        QFETCH(QString, pdf);
        QFETCH(QByteArray, seconds);
        QFETCH(int, images);
        if (!seconds.isEmpty())
            qputenv("ARVENZO_CPU_SECONDS", seconds);
        QTemporaryDir perPage;
        QVERIFY(QFile::link(QString(TOOL_DIR) + "/" + contract::kInformationTool,
                            perPage.filePath(contract::kInformationTool)));
        testing::WriteScript(perPage.path(), contract::kExtractionTool,
                             QString("p=$2; shift 4\nexec '%1' -f $p -l $p \"$@\"")
                                 .arg(QString(TOOL_DIR) + "/" + contract::kExtractionTool));
        QList<QStringList> boxes;
        QList<QList<QByteArray>> written;
        for (const QString& tools : {QString(TOOL_DIR), perPage.path()}) {
            Session s(tools);
            s.Choose(Fixture(pdf), "", "PNG");
            testing::ModalAnswerer answerer;
            answerer.Next(testing::Press(Qt::Key_Return));
            QVERIFY(s.RunToEnd());
            boxes << answerer.Seen();
            QList<QByteArray> files;
            for (const QString& name : s.Written()) {
                QFile f(QDir(s.Out()).filePath(name));
                QVERIFY(f.open(QIODevice::ReadOnly));
                files << name.toUtf8() + ":" + f.readAll();
            }
            written << files;
        }
        qunsetenv("ARVENZO_CPU_SECONDS");
        QCOMPARE(written[0].size(), images);
        QVERIFY(written[0] == written[1]);
        QCOMPARE(boxes[0], boxes[1]);
    }

    // A scratch folder that is not the user's alone is left as it is; the
    // window makes one of its own beside it and takes it away at the end.
    void scratchFolderOfItsOwn_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("used");
        QTest::newRow("own and private") << "own" << true;
        QTest::newRow("another user's") << "other" << false;
        QTest::newRow("open to others") << "open" << false;
        QTest::newRow("a link to a private folder") << "link" << false;
        QTest::newRow("a file") << "file" << false;
    }
    void scratchFolderOfItsOwn() {
        QFETCH(QString, kind);
        QFETCH(bool, used);
        Session s;
        s.form.reset();
        const QString planted = s.env.Temp() + "/Arvenzo";
        QVERIFY(QDir(planted).removeRecursively());
        QTemporaryDir linked;
        const QByteArray path = QFile::encodeName(planted);
        if (kind == "link") {
            QVERIFY(QFile::link(linked.path(), planted));
        } else if (kind == "file") {
            QFile file(planted);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkdir(planted));
            QCOMPARE(::chmod(path.constData(), kind == "open" ? 0777 : 0700), 0);
            if (kind == "other")
                QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
        }
        const QString marker = testing::ScratchName((kind == "link" ? linked.path() : planted) +
                                                        "/" + contract::kScratchRoot,
                                                    0, contract::kStoredAsJpeg);
        if (kind != "file")
            QVERIFY(QFile::copy(Fixture("multipage"), marker));
        s.form = std::make_unique<app::TMainForm>(s.context);
        s.context.appFolder = QString(TOOL_DIR).toStdString() + "/";
        const QString work = QString::fromStdString(s.context.workFolder);
        QCOMPARE(work == planted + "/", used);
        s.Choose(Fixture("multipage"), "4");
        QVERIFY(s.RunToEnd());
        QCOMPARE(s.Written(), QStringList{"img-1.bmp"});
        QCOMPARE(QFile::exists(marker), !used && kind != "file");
        s.form.reset();
        QCOMPARE(QDir(work).exists(), used);
    }

    void closingDuringAHungPageEndsPromptly() {
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 2"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() + "exec sleep 60");
        auto s = std::make_unique<Session>(tools.path());
        s->Choose("/d/two.pdf");
        s->Start()->click();
        QVERIFY(QTest::qWaitFor([&] { return s->Gauge()->value() >= 1; }, 10000));
        QElapsedTimer clock;
        clock.start();
        s->form.reset();
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!s->context.extractionRunning);
    }

    void shortcutsDeadDuringAJob() {
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 3"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() + "sleep 0.3");
        Session s(tools.path());
        s.Choose("/d/three.pdf");
        s.Find<QCheckBox>("sCheckBoxOpenAfter")->setChecked(false);
        s.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.form.get()));
        QTest::keyClick(s.form.get(), Qt::Key_S, Qt::ControlModifier); // starts, like the button
        QVERIFY(s.form->WorkerExists());
        QTRY_VERIFY(!s.Find<QAction>("StartConversion1")->isEnabled());
        QVERIFY(!s.Find<QAction>("About1")->isEnabled());
        QTest::keyClick(s.form.get(), Qt::Key_S, Qt::ControlModifier); // menu disabled: nothing
        QVERIFY(QTest::qWaitFor([&] { return !s.form->WorkerExists(); }, 20000));
        QVERIFY(s.Find<QAction>("StartConversion1")->isEnabled());
    }

    // --- the start checks ---------------------------------------------------
    void startChecks_data() {
        QTest::addColumn<bool>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("box");
        QTest::newRow("nothing") << false << ""
                                 << "Please specify the input PDF file!";
        QTest::newRow("no folder") << true << ""
                                   << "Please specify the output folder!";
        QTest::newRow("blank folder") << true << "   "
                                      << "Please specify the output folder!";
    }
    void startChecks() {
        QFETCH(bool, input);
        QFETCH(QString, output);
        QFETCH(QString, box);
        Session s;
        if (input)
            s.Input()->setText(Fixture("multipage"));
        s.Output()->setText(output);
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        s.Start()->click();
        QCOMPARE(answerer.Seen(), QStringList{box});
        QVERIFY(!s.form->WorkerExists());
    }

    void overwriteQuestion_data() {
        QTest::addColumn<testing::BoxAction>("answer");
        QTest::addColumn<bool>("starts");
        QTest::newRow("No") << testing::Click("No") << false;
        QTest::newRow("Escape") << testing::Press(Qt::Key_Escape) << false;
        QTest::newRow("Yes") << testing::Click("Yes") << true;
        QTest::newRow("close box") << testing::CloseBox() << true;
    }
    void overwriteQuestion() {
        QFETCH(testing::BoxAction, answer);
        QFETCH(bool, starts);
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, testing::EchoPages(" 1"));
        testing::WriteScript(tools.path(), contract::kExtractionTool,
                             testing::StandInPage() + "exit 0");
        Session s(tools.path());
        const QString file = s.outputDir.filePath("taken");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        s.Input()->setText("/d/one.pdf");
        s.Output()->setText(file);
        s.Find<QCheckBox>("sCheckBoxOpenAfter")->setChecked(false);
        testing::ModalAnswerer answerer;
        answerer.Next(answer);
        s.Start()->click();
        QCOMPARE(answerer.Seen(),
                 QStringList{file + " already exists.\r\n\r\nDo you want to replace it?"});
        QCOMPARE(s.form->WorkerExists() || s.Start()->text() == "Start Extraction", starts);
        QVERIFY(QTest::qWaitFor([&] { return !s.form->WorkerExists(); }, 20000));
    }
};

QTEST_MAIN(ExtractionTest)
#include "tst_extraction.moc"
