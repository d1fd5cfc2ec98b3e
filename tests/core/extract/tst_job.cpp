// The job on its own, with the real tool: a sink that writes down what it
// is told, in order.
#include "ToolContract.h"
#include "extract/ExtractionJob.h"
#include "extract/PictureReader.h"
#include "support/ToolTests.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingSink : public extract::JobSink {
public:
    RecordingSink(extract::JobRequest request, std::atomic<bool>& running, int stopAt)
        : request_(std::move(request)), running_(running), stopAt_(stopAt) {}

    extract::JobRequest BeginJob() override { return request_; }
    void Tell(const extract::JobEvent& event) override {
        std::visit([this](const auto& e) { Record(e); }, event);
    }
    void EndJob() override { lines << "end"; }

    QStringList lines;

private:
    void Record(const extract::PageBegun& e) {
        lines << QString("begun %1").arg(e.page);
        if (e.page == stopAt_)
            running_ = false;
    }
    void Record(const extract::PagePictures&) {}
    void Record(const extract::PageDone& e) { lines << QString("done %1").arg(e.page); }
    void Record(const extract::ImageWritten& e) {
        lines << QString("written %1%2")
                     .arg(QString::fromStdString(e.path), e.documentBytes ? " as it is" : "");
    }
    void Record(const extract::ImageNotReplaced& e) {
        lines << "not replaced " + QString::fromStdString(e.path);
    }
    void Record(const extract::ImageFailed& e) {
        lines << "failed " + QString::fromStdString(extract::NamedFailure(e.failure));
    }
    void Record(const extract::JobFinished& e) {
        const char* after[] = {"nothing", "open", "no images"};
        lines << QString("finished: %1 written, %2 failed%3%4, %5")
                     .arg(e.written)
                     .arg(e.failed)
                     .arg(e.stopped ? ", stopped" : "")
                     .arg(e.outputBroken ? ", output broken" : "")
                     .arg(after[static_cast<int>(e.after)]);
    }
    void Record(const extract::JobFailed& e) {
        lines << "job failed: " + QString::fromStdString(e.message);
    }

    extract::JobRequest request_;
    std::atomic<bool>& running_;
    int stopAt_;
};

} // namespace

Q_DECLARE_METATYPE(extract::JobEnd)

class JobTest : public QObject {
    Q_OBJECT
    tooltest::Fixtures fixtures_;

private slots:
    void initTestCase() {
        QVERIFY(fixtures_.make(MAKE_FIXTURES_PATH,
                               {"multipage", "kept", "cut-short", "repeats", "broken"}));
    }

    // The picker's reading: every picture in the job's order, a thumbnail
    // each, or the tool's line for one that cannot be had; the repeats, in a
    // reading of their own, name the picture they repeat.
    void pictureReader_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("repeats");
        QTest::addColumn<QStringList>("said"); // a line a picture
        const QStringList logos{"1.1", "1.2", "1.3", "2.1", "2.2", "2.3", "3.1", "3.2"};
        QTest::newRow("thumbnails") << "repeats" << 3 << false << logos;
        QTest::newRow("repeats") << "repeats" << 3 << true << QStringList{"1.1",
                                                                          "1.2",
                                                                          "1.3",
                                                                          "2.1 repeats 1.1",
                                                                          "2.2",
                                                                          "2.3 repeats 1.2",
                                                                          "3.1 repeats 1.1",
                                                                          "3.2"};
        QStringList broken;
        for (int page = 1; page <= 10; ++page)
            broken << QString::number(page) + ".1"
                   << (page != 6 ? QString("%1.2 failed").arg(page) : QString());
        broken.removeAll(QString());
        QTest::newRow("damaged pictures") << "broken" << 10 << false << broken;
    }
    void pictureReader() {
        QFETCH(QString, pdf);
        QFETCH(int, pages);
        QFETCH(bool, repeats);
        QFETCH(QStringList, said);
        QTemporaryDir scratch;
        extract::PictureReader reader(TOOL_DIR "/", scratch.path().toStdString() + "/",
                                      {.inputPath = fixtures_.path(pdf + ".pdf").toStdString(),
                                       .firstPage = 1,
                                       .lastPage = pages,
                                       .formatText = "Original",
                                       .thumbnailSize = repeats ? 0 : 64,
                                       .findRepeats = repeats});
        QStringList got;
        while (const std::optional<extract::PickedPicture> picture = reader.Next()) {
            const auto place = [](int page, int onPage) {
                return QString("%1.%2").arg(page).arg(onPage);
            };
            QString line = place(picture->facts.page, picture->facts.onPage);
            if (picture->repeatOf)
                line += " repeats " + place(picture->repeatOf->page, picture->repeatOf->onPage);
            if (!picture->failure.empty()) {
                line += " failed";
                QVERIFY(picture->thumbnail.empty());
                QVERIFY2(QString::fromStdString(picture->failure)
                             .contains("image " + QString::number(picture->facts.onPage)),
                         picture->failure.c_str());
            } else if (!repeats) {
                QVERIFY(QFile::remove(QString::fromStdString(picture->thumbnail)));
                QVERIFY(qMax(picture->thumbnailWidth, picture->thumbnailHeight) <= 64);
            }
            got << line;
        }
        QCOMPARE(got, said);
        QVERIFY(reader.Finished());
        QVERIFY(QDir(scratch.path()).isEmpty());
    }

    // "%" in the lines stands for the output folder.
    void events_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("output"); // below the output folder
        QTest::addColumn<int>("stopAt");     // the page whose start stops the job
        QTest::addColumn<extract::JobEnd>("end");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("all good") << "multipage" << 2 << "" << 0 << extract::JobEnd::Completed
                                  << QStringList{"begun 1",
                                                 "written %/1.bmp",
                                                 "written %/2.bmp",
                                                 "done 1",
                                                 "begun 2",
                                                 "done 2",
                                                 "finished: 2 written, 0 failed, open",
                                                 "end"};
        QTest::newRow("the document's own JPEG")
            << "kept" << 1 << "" << 0 << extract::JobEnd::Completed
            << QStringList{"begun 1", "written %/1.jpg as it is", "done 1",
                           "finished: 1 written, 0 failed, open", "end"};
        QTest::newRow("one picture cut short")
            << "cut-short" << 1 << "" << 0 << extract::JobEnd::CompletedWithErrors
            << QStringList{"begun 1",
                           "failed page 1, image 2 (object 4): the JPEG data is cut short",
                           "written %/1.bmp",
                           "done 1",
                           "finished: 1 written, 1 failed, nothing",
                           "end"};
        QTest::newRow("output folder that cannot be written")
            << "multipage" << 2 << "/gone" << 0 << extract::JobEnd::Stopped
            << QStringList{"begun 1",
                           "failed page 1: cannot write %/gone/1.bmp: No such file or directory",
                           "done 1",
                           "finished: 0 written, 1 failed, stopped, output broken, nothing", "end"};
        QTest::newRow("stopped") << "multipage" << 4 << "" << 1 << extract::JobEnd::Stopped
                                 << QStringList{"begun 1",
                                                "written %/1.bmp",
                                                "written %/2.bmp",
                                                "done 1",
                                                "finished: 2 written, 0 failed, stopped, nothing",
                                                "end"};
    }
    void events() {
        QFETCH(QString, pdf);
        QFETCH(int, last);
        QFETCH(QString, output);
        QFETCH(int, stopAt);
        QFETCH(extract::JobEnd, end);
        QFETCH(QStringList, lines);
        QTemporaryDir out, scratch;
        extract::JobRequest request;
        request.inputPath = fixtures_.path(pdf + ".pdf").toStdString();
        request.lastPage = last;
        request.conversion = {"Original", (out.path() + output).toStdString(), "", false};
        std::atomic<bool> running{true};
        RecordingSink sink(request, running, stopAt);
        extract::ExtractionJob job(sink, running, TOOL_DIR "/", scratch.path().toStdString() + "/");
        QCOMPARE(job.Run(), end);
        QCOMPARE(sink.lines, lines.replaceInStrings("%", out.path()));
        QVERIFY(!running);
    }

    // A stand-in tool that breaks the channel: whatever it says, or fails
    // to say, costs its page alone, with a line that names it, and the job
    // goes on to the next page.
    void brokenRecords_data() {
        QTest::addColumn<QString>("said");    // by the tool for page 1, before it ends
        QTest::addColumn<QString>("failure"); // "%" for the tools' folder
        const QString file = "printf 'P6\\n1 1\\n255\\nabc' > \"$last-000.ppm\"\n";
        QTest::newRow("a line of no kind") << "echo hello"
                                           << "page 1: hello";
        QTest::newRow("cut in the middle") << "printf 'Page:\\t1\\nImage:\\t1\\t10'"
                                           << "page 1: Image:\t1\t10";
        QTest::newRow("a file outside the folder")
            << file + "printf 'File:\\t1\\t../tmp-000.ppm\\t12\\t-\\n'"
            << "page 1: File:\t1\t../tmp-000.ppm\t12\t-";
        QTest::newRow("a file numbered in words")
            << file + "printf 'File:\\tone\\ttmp-000.ppm\\t12\\t-\\n'"
            << "page 1: File:\tone\ttmp-000.ppm\t12\t-";
        QTest::newRow("another page done")
            << "printf 'Done:\\t7\\n'"
            << "page 1: '%/glimmet.bin' ended before the page was done";
        QTest::newRow("a crash on the page")
            << "printf 'Page:\\t1\\n'; kill -SEGV $$"
            << "page 1: '%/glimmet.bin' was ended by signal 11 (Segmentation fault)";
    }
    void brokenRecords() {
        QFETCH(QString, said);
        QFETCH(QString, failure);
        QTemporaryDir tools, out, scratch;
        // Page 2 comes from a tool that does its page as it should.
        tooltest::writeScript(tools.path(), contract::kExtractionTool,
                              "for last; do :; done\nread -r _ _ || exit 0\nif [ $2 = 1 ]; then\n" +
                                  said + "\nexit 1\nfi\nprintf 'Page:\\t2\\nDone:\\t2\\n'");
        extract::JobRequest request;
        request.inputPath = "/d/two.pdf";
        request.lastPage = 2;
        request.conversion = {"Original", out.path().toStdString(), "", false};
        std::atomic<bool> running{true};
        RecordingSink sink(request, running, 0);
        extract::ExtractionJob job(sink, running, tools.path().toStdString() + "/",
                                   scratch.path().toStdString() + "/");
        QCOMPARE(job.Run(), extract::JobEnd::CompletedWithErrors);
        QCOMPARE(sink.lines, (QStringList{"begun 1", "failed " + failure.replace("%", tools.path()),
                                          "done 1", "begun 2", "done 2",
                                          "finished: 0 written, 1 failed, no images", "end"}));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(JobTest)
#include "tst_job.moc"
