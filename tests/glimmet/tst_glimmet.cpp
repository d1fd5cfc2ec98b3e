// glimmet.bin against the fixture PDFs: every image of a page comes out, in
// drawing order, as the scratch kind the program expects, and FreeImage reads
// back exactly the pixels the generator put in.

#include "platform/platform.h"
#include "tool_test_support.h"

#include <FreeImage.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <signal.h>
#include <sys/resource.h>

using tooltest::ExpectedImage;
using tooltest::Run;

namespace {

const QString kGlimmet = QStringLiteral(GLIMMET_PATH);
const QByteArray kIncorrectPassword = "Command Line Error: Incorrect password";

struct Decoded {
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    int w = 0, h = 0;
    QByteArray rgba;
};

// Reads a scratch file the way the program does: format from the content.
Decoded readBack(const QString& path) {
    Decoded d;
    QByteArray name = QFile::encodeName(path);
    d.format = FreeImage_GetFileType(name.constData(), 0);
    FIBITMAP* bmp = FreeImage_Load(d.format, name.constData(), 0);
    if (!bmp)
        return d;
    FIBITMAP* rgba = FreeImage_ConvertTo32Bits(bmp);
    FreeImage_Unload(bmp);
    if (!rgba)
        return d;
    d.w = static_cast<int>(FreeImage_GetWidth(rgba));
    d.h = static_cast<int>(FreeImage_GetHeight(rgba));
    d.rgba.resize(qsizetype(d.w) * d.h * 4);
    for (int y = 0; y < d.h; ++y) {
        const BYTE* line = FreeImage_GetScanLine(rgba, d.h - 1 - y); // bottom row first
        char* out = d.rgba.data() + qsizetype(y) * d.w * 4;
        for (int x = 0; x < d.w; ++x) {
            out[x * 4 + 0] = char(line[x * 4 + FI_RGBA_RED]);
            out[x * 4 + 1] = char(line[x * 4 + FI_RGBA_GREEN]);
            out[x * 4 + 2] = char(line[x * 4 + FI_RGBA_BLUE]);
            out[x * 4 + 3] = char(line[x * 4 + FI_RGBA_ALPHA]);
        }
    }
    FreeImage_Unload(rgba);
    return d;
}

// Empty when the pixels agree; otherwise where and by how much they differ.
QString pixelDifference(const ExpectedImage& want, const Decoded& got) {
    if (got.w != want.w || got.h != want.h)
        return QString("size %1x%2, expected %3x%4").arg(got.w).arg(got.h).arg(want.w).arg(want.h);
    for (int i = 0; i < want.rgba.size(); i += 4) {
        auto channel = [&](const QByteArray& a, int k) { return int(uchar(a[i + k])); };
        int alpha = channel(want.rgba, 3);
        bool transparent = alpha == 0 && channel(got.rgba, 3) == 0;
        // Where a lossy fixture is also translucent, MuPDF's premultiplied
        // pixels lose colour precision in proportion to the transparency.
        int colourTolerance =
            want.tolerance + (want.tolerance > 0 && alpha > 0 ? 128 / alpha + 1 : 0);
        for (int k = transparent ? 3 : 0; k < 4; ++k) {
            int diff = std::abs(channel(want.rgba, k) - channel(got.rgba, k));
            if (diff > (k < 3 ? colourTolerance : want.tolerance)) {
                int px = i / 4;
                return QString("pixel (%1,%2) channel %3 is %4, expected %5")
                    .arg(px % want.w)
                    .arg(px / want.w)
                    .arg(k)
                    .arg(channel(got.rgba, k))
                    .arg(channel(want.rgba, k));
            }
        }
    }
    return {};
}

QStringList scratchFiles(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestGlimmet : public QObject {
    Q_OBJECT

private:
    tooltest::Fixtures fx;

    Run extract(const QTemporaryDir& out, const QString& pdf, int first, int last,
                const QStringList& extra = {}) {
        return tooltest::runTool(
            kGlimmet, QStringList{"-f", QString::number(first), "-l", QString::number(last)} +
                          extra + QStringList{fx.path(pdf), out.filePath("tmp")});
    }

    void checkImages(const QTemporaryDir& out, const QList<ExpectedImage>& want) {
        QStringList files = scratchFiles(out);
        QCOMPARE(files.size(), want.size());
        for (int i = 0; i < want.size(); ++i) {
            QString expectedName = QString("tmp-%1.%2").arg(i, 3, 10, QChar('0')).arg(want[i].ext);
            QCOMPARE(files[i], expectedName);
            Decoded got = readBack(out.filePath(files[i]));
            QVERIFY2(got.format != FIF_UNKNOWN, qPrintable(files[i] + " is not recognised"));
            QString diff = pixelDifference(want[i], got);
            QVERIFY2(diff.isEmpty(), qPrintable(files[i] + ": " + diff));
        }
    }

private slots:
    void initTestCase() {
        FreeImage_Initialise(FALSE);
        QVERIFY(fx.make(QStringLiteral(MAKE_FIXTURES_PATH)));
    }
    void cleanupTestCase() { FreeImage_DeInitialise(); }

    // Every page of every fixture that glimmet can open, one page a run, as
    // the program runs it.
    void everyPageComesOutRight_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        for (int i = 0; i < fx.pages.size(); ++i) {
            const auto& [pdf, page] = fx.pages[i];
            if (pdf.startsWith("text") || pdf.startsWith("user-password") || pdf == "broken.pdf")
                continue;
            QTest::addRow("%s page %d %s", qPrintable(pdf), page, qPrintable(fx.labels[i]))
                << pdf << page;
        }
    }
    void everyPageComesOutRight() {
        QFETCH(QString, pdf);
        QFETCH(int, page);
        QTemporaryDir out;
        Run r = extract(out, pdf, page, page);
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        checkImages(out, fx.imagesOf(pdf, page));
    }

    // One run over several pages numbers its files on across them.
    void numbersRunOnAcrossPages() {
        QTemporaryDir out;
        Run r = extract(out, "multipage.pdf", 1, 4);
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QList<ExpectedImage> want;
        for (int p = 1; p <= 4; ++p)
            want += fx.imagesOf("multipage.pdf", p);
        QCOMPARE(want.size(), 6);
        checkImages(out, want);
    }

    // Started ahead of its page, glimmet opens the document and writes
    // nothing until it is given its go; dropped, it never writes.
    void writesOnlyAfterItsGo_data() {
        QTest::addColumn<bool>("run");
        QTest::newRow("given its go") << true;
        QTest::newRow("dropped") << false;
    }
    void writesOnlyAfterItsGo() {
        QFETCH(bool, run);
        QTemporaryDir out;
        {
            platform::PreparedTool tool(kGlimmet.toStdString(),
                                        {"-f", "1", "-l", "1",
                                         fx.path("multipage.pdf").toStdString(),
                                         out.filePath("tmp").toStdString()},
                                        out.path().toStdString());
            QTest::qWait(300);
            QCOMPARE(scratchFiles(out), QStringList());
            if (run)
                QCOMPARE(tool.Run(), std::string());
        }
        QTest::qWait(100);
        QCOMPARE(scratchFiles(out).size(), run ? fx.imagesOf("multipage.pdf", 1).size() : 0);
    }

    void userPassword_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("user password") << "open sesame";
        QTest::newRow("owner password") << "master key";
    }
    void userPassword() {
        QFETCH(QString, password);
        QTemporaryDir out;
        Run r = extract(out, "user-password.pdf", 1, 4, {"-upw", password});
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QList<ExpectedImage> want;
        for (int p = 1; p <= 4; ++p)
            want += fx.imagesOf("user-password.pdf", p);
        checkImages(out, want);
    }

    void textPageWritesNothing() {
        QTemporaryDir out;
        Run r = extract(out, "text1000.pdf", 500, 500);
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QVERIFY(scratchFiles(out).isEmpty());
    }

    // Whatever goes wrong is said on the output, so the program never takes
    // a failed page for a page without images.
    void failuresAreReported_data() {
        QTest::addColumn<QStringList>("args");     // ROOT is added at the end
        QTest::addColumn<QByteArray>("firstLine"); // empty: any complaint will do
        auto at = [this](const char* name) { return fx.path(name); };
        QTest::newRow("missing file")
            << QStringList{"-f", "1", "-l", "1", at("nothing.pdf")} << QByteArray();
        QTest::newRow("not a PDF")
            << QStringList{"-f", "1", "-l", "1", at("not-a-pdf.pdf")} << QByteArray();
        QTest::newRow("damaged") << QStringList{"-f", "1", "-l", "1", at("damaged.pdf")}
                                 << QByteArray();
        QTest::newRow("page 0") << QStringList{"-f", "0", "-l", "0", at("multipage.pdf")}
                                << QByteArray();
        QTest::newRow("page past the end")
            << QStringList{"-f", "5", "-l", "5", at("multipage.pdf")} << QByteArray();
        QTest::newRow("last before first")
            << QStringList{"-f", "3", "-l", "2", at("multipage.pdf")} << QByteArray();
        QTest::newRow("no password")
            << QStringList{"-f", "1", "-l", "1", at("user-password.pdf")} << kIncorrectPassword;
        QTest::newRow("wrong password")
            << QStringList{"-f", "1", "-l", "1", "-upw", "open", at("user-password.pdf")}
            << kIncorrectPassword;
        QTest::newRow("past a /Count that lies")
            << QStringList{"-f", "2", "-l", "2", at("count-million.pdf")} << QByteArray();
        QTest::newRow("page tree without a page")
            << QStringList{"-f", "1", "-l", "1", at("no-pages.pdf")} << QByteArray();
        QTest::newRow("page not a number")
            << QStringList{"-f", "one", "-l", "1", at("multipage.pdf")} << QByteArray();
        QTest::newRow("no root") << QStringList{"-f", "1", "-l", "1"} << QByteArray();
    }
    void failuresAreReported() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, firstLine);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, args << out.filePath("tmp"));
        QVERIFY(!r.crashed);
        QVERIFY2(!r.output.trimmed().isEmpty(), "a failure must be reported");
        QVERIFY(r.exitCode != 0);
        if (!firstLine.isEmpty())
            QCOMPARE(r.lines().value(0), firstLine);
        QVERIFY(scratchFiles(out).isEmpty());
    }

    // MuPDF patches damaged data up with a warning; the page must still fail,
    // and say which image it was. The sound image before it is written.
    void damagedImagesAreReported_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("where");
        QTest::addColumn<int>("written");
        QTest::newRow("not zlib data") << 1 << QByteArray("page 1, image 2") << 1;
        QTest::newRow("not JPEG-2000 data") << 2 << QByteArray("page 2") << 0;
        QTest::newRow("truncated zlib data") << 3 << QByteArray("page 3, image 2") << 1;
        QTest::newRow("unknown filter") << 4 << QByteArray("page 4, image 2") << 1;
        QTest::newRow("not JPEG data") << 5 << QByteArray("page 5, image 2") << 1;
        QTest::newRow("JBIG2 data claiming a 1.5 GB page")
            << 7 << QByteArray("page 7, image 2") << 1;
    }
    void damagedImagesAreReported() {
        QFETCH(int, page);
        QFETCH(QByteArray, where);
        QFETCH(int, written);
        QTemporaryDir out;
        Run r = extract(out, "broken.pdf", page, page);
        QCOMPARE(r.lines().size(), 1);
        QVERIFY2(r.output.contains(where), r.output.constData());
        QVERIFY(r.exitCode != 0);
        QCOMPARE(scratchFiles(out).size(), written);
        // Nor did the decoder get the memory its data asked for.
        rusage children{};
        ::getrusage(RUSAGE_CHILDREN, &children);
        QVERIFY2(children.ru_maxrss < 256 * 1024, qPrintable(QString::number(children.ru_maxrss)));
    }

    // Pages are the ones the page tree holds, whatever its /Count entries
    // claim: each of these has one image.
    void pagesOfLyingTrees_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        QTest::newRow("count of a million") << "count-million.pdf" << 1;
        QTest::newRow("negative count") << "count-negative.pdf" << 2;
        QTest::newRow("loop, page 2") << "tree-loop.pdf" << 2;
        QTest::newRow("inner node claims 1000, page 1") << "inner-lie.pdf" << 1;
        QTest::newRow("inner node claims 1000, page 2") << "inner-lie.pdf" << 2;
    }
    void pagesOfLyingTrees() {
        QFETCH(QString, pdf);
        QFETCH(int, page);
        QTemporaryDir out;
        Run r = extract(out, pdf, page, page);
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(scratchFiles(out).size(), 1);
    }

    // An image whose pixels would pass the memory bound is refused before it
    // is decoded, in one line naming it, and the page goes on. On each page
    // of oversize.pdf a sound image follows the one that is too large.
    void imagesAboveTheBound_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("bound"); // bytes, through the environment; empty: as built
        QTest::addColumn<QList<int>>("refused");
        QTest::addColumn<int>("written");
        QTest::newRow("declared 60000 x 60000")
            << "oversize.pdf" << 1 << QString() << QList<int>{1} << 1;
        QTest::newRow("soft mask 50000 x 50000")
            << "oversize.pdf" << 2 << QString() << QList<int>{1} << 1;
        QTest::newRow("JPEG-2000 data that says 60000 x 60000")
            << "oversize.pdf" << 3 << QString() << QList<int>{1} << 1;
        QTest::newRow("a bound above the built-in one is ignored")
            << "oversize.pdf" << 1 << "99999999999999" << QList<int>{1} << 1;
        // 11 x 7, 12 x 7 and 13 x 7 gray pixels.
        QTest::newRow("bound lowered to 80 bytes")
            << "multipage.pdf" << 3 << "80" << QList<int>{2, 3} << 1;
    }
    void imagesAboveTheBound() {
        QFETCH(QString, pdf);
        QFETCH(int, page);
        QFETCH(QString, bound);
        QFETCH(QList<int>, refused);
        QFETCH(int, written);
        QTemporaryDir out;
        QStringList env;
        if (!bound.isEmpty())
            env << "ARVENZO_IMAGE_BYTES=" + bound;
        Run r = tooltest::runTool(kGlimmet,
                                  {"-f", QString::number(page), "-l", QString::number(page),
                                   fx.path(pdf), out.filePath("tmp")},
                                  {}, env);
        QVERIFY(!r.crashed);
        QCOMPARE(r.lines().size(), refused.size());
        for (int i = 0; i < refused.size(); ++i) {
            QByteArray where =
                QString("page %1, image %2 (object ").arg(page).arg(refused[i]).toUtf8();
            QVERIFY2(r.lines()[i].contains(where) && r.lines()[i].contains("refused"),
                     r.output.constData());
        }
        QVERIFY(r.exitCode != 0);
        QCOMPARE(scratchFiles(out).size(), written);
    }

    // A page that takes longer than the processor budget ends the run with
    // one line naming the page. The budget is shortened to a second here.
    void processorBudgetEndsTheRun() {
        QTemporaryDir out;
        QElapsedTimer clock;
        clock.start();
        Run r = tooltest::runTool(kGlimmet,
                                  {"-f", "1", "-l", "1", fx.path("spin.pdf"), out.filePath("tmp")},
                                  {}, {"ARVENZO_CPU_SECONDS=1"});
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines(),
                 QList<QByteArray>{"Error: page 1: gave up after 1 s of processor time"});
        QVERIFY(clock.elapsed() < 30000);
    }

    // A name missing from the resources draws nothing, on screen as here.
    void missingResourceIsNoFailure() {
        QTemporaryDir out;
        Run r = extract(out, "broken.pdf", 6, 6);
        QCOMPARE(r.output, QByteArray());
        QCOMPARE(r.exitCode, 0);
        checkImages(out, fx.imagesOf("broken.pdf", 6));
    }

    void unwritableRootIsReported() {
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, {"-f", "1", "-l", "1", fx.path("multipage.pdf"),
                                             out.filePath("no-such-folder/tmp")});
        QCOMPARE(r.lines().size(), 2); // one line for each of the page's two images
        QVERIFY(r.output.contains("no-such-folder"));
        QVERIFY(r.exitCode != 0);
    }

    // A full disk: the page's JPEG, decoded, no longer fits. Its partial file
    // must not be left behind for the program to convert.
    void fullDiskIsReported() {
        QTemporaryDir out;
        Run r = tooltest::runTool(
            kGlimmet, {"-f", "1", "-l", "1", fx.path("images.pdf"), out.filePath("tmp")}, [] {
                ::signal(SIGXFSZ, SIG_IGN);
                rlimit limit{3000, 3000};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        QVERIFY(!r.crashed);
        QCOMPARE(r.lines().size(), 1);
        QVERIFY2(r.output.contains("tmp-000.ppm"), r.output.constData());
        QVERIFY(r.exitCode != 0);
        QVERIFY(scratchFiles(out).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGlimmet)
#include "tst_glimmet.moc"
