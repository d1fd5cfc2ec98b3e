// glimmet.bin against the fixture PDFs: every image of a page comes out, in
// drawing order, as the scratch kind the program expects, and FreeImage reads
// back exactly the pixels the generator put in.

#include "ToolContract.h"
#include "support/ImageCompare.h"
#include "support/ToolTests.h"

#include <FreeImage.h>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <algorithm>
#include <signal.h>
#include <sys/resource.h>

using tooltest::Decoded;
using tooltest::ExpectedImage;
using tooltest::pixelDifference;
using tooltest::readBack;
using tooltest::Run;

namespace {

const QString kGlimmet = QStringLiteral(GLIMMET_PATH);

QStringList scratchFiles(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

// The scratch root in `dir`, as the program passes it.
QString root(const QTemporaryDir& dir, const QString& folder = {}) {
    return dir.filePath(folder + contract::kScratchRoot);
}

QStringList pages(const QString& first, const QString& last) {
    return {contract::kFirstPageOption, first, contract::kLastPageOption, last};
}
QStringList pages(int first, int last) {
    return pages(QString::number(first), QString::number(last));
}

// Size and layout of a scratch file, from its header: width, height,
// channels and bits a channel.
QList<int> scratchLayout(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(64);
    if (head.startsWith("BM")) {
        auto le = [&](int at, int bytes) {
            qint64 v = 0;
            for (int i = bytes - 1; i >= 0; --i)
                v = v << 8 | quint8(head[at + i]);
            return bytes == 4 ? int(qint32(v)) : int(v);
        };
        return {le(18, 4), qAbs(le(22, 4)), le(28, 2) / 8, 8};
    }
    if (!head.startsWith("P")) { // the document's own JPEG or JPEG-2000 bytes
        const QByteArray name = QFile::encodeName(path);
        const FREE_IMAGE_FORMAT type = FreeImage_GetFileType(name.constData(), 0);
        FIBITMAP* kept = FreeImage_Load(type, name.constData(), type == FIF_JPEG ? JPEG_CMYK : 0);
        if (!kept)
            return {};
        const QList<int> layout{int(FreeImage_GetWidth(kept)), int(FreeImage_GetHeight(kept)),
                                int(FreeImage_GetBPP(kept)) / 8, 8};
        FreeImage_Unload(kept);
        return layout;
    }
    const QList<QByteArray> words = head.simplified().split(' ');
    if (words.size() < 3)
        return {};
    const QByteArray magic = words[0];
    const int channels = magic == "P6" ? 3 : 1;
    return {words[1].toInt(), words[2].toInt(), channels, magic == "P4" ? 1 : 8};
}

// The image lines of a listing, each split into its fields after the label.
QList<QList<QByteArray>> listedImages(const Run& r) {
    QList<QList<QByteArray>> out;
    for (const QByteArray& line : r.lines())
        if (line.startsWith(QByteArray(contract::kListedImage) + contract::kListSeparator))
            out << line.split(contract::kListSeparator).mid(1);
    return out;
}

QList<QByteArray> problems(const Run& r) {
    QList<QByteArray> out;
    for (const QByteArray& line : r.lines())
        if (line.startsWith("Error: "))
            out << line;
    return out;
}

// The mean of every channel of every pixel, laid over white.
double meanShade(const Decoded& d) {
    double sum = 0;
    const auto* p = reinterpret_cast<const quint8*>(d.rgba.constData());
    for (qsizetype i = 0; i + 3 < d.rgba.size(); i += 4)
        for (int k = 0; k < 3; ++k)
            sum += p[i + k] * p[i + 3] / 255.0 + 255 - p[i + 3];
    return d.rgba.isEmpty() ? 0 : sum / (d.rgba.size() / 4 * 3);
}

QString scratch(int number, const char* extension) {
    return QString::fromStdString(contract::ScratchName(contract::kScratchRoot, number, extension));
}

// The lines of `r` but those of the labels given.
QList<QByteArray> linesWithout(const Run& r, std::initializer_list<const char*> labels) {
    QList<QByteArray> out = r.lines();
    out.removeIf([&](const QByteArray& line) {
        return std::any_of(labels.begin(), labels.end(), [&](const char* label) {
            return line.startsWith(QByteArray(label) + contract::kListSeparator);
        });
    });
    return out;
}

QByteArray goThrough(int page) {
    return QByteArray(contract::kGo) + contract::kListSeparator + QByteArray::number(page) + '\n';
}

// What a run over sound pages does: says nothing, and succeeds.
bool silentSuccess(const Run& r) {
    return r.output.isEmpty() && r.exitCode == 0;
}

} // namespace

class TestGlimmet : public QObject {
    Q_OBJECT

private:
    tooltest::Fixtures fx;

    Run extract(const QTemporaryDir& out, const QString& pdf, int first, int last,
                const QStringList& extra = {}) {
        return tooltest::runTool(kGlimmet,
                                 pages(first, last) + extra + QStringList{fx.path(pdf), root(out)});
    }

    void checkImages(const QTemporaryDir& out, const QList<ExpectedImage>& want) {
        QStringList files = scratchFiles(out);
        QCOMPARE(files.size(), want.size());
        for (int i = 0; i < want.size(); ++i) {
            const std::string expectedName =
                contract::ScratchName(contract::kScratchRoot, i, "." + want[i].ext.toStdString());
            QCOMPARE(files[i], QString::fromStdString(expectedName));
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
    // the program runs it (what becomes of kept.pdf, tst_fidelity says).
    void everyPageComesOutRight_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        for (int i = 0; i < fx.pages.size(); ++i) {
            const auto& [pdf, page] = fx.pages[i];
            if (pdf.startsWith("text") || pdf.startsWith("user-password") || pdf == "broken.pdf" ||
                pdf == "flawed.pdf" || pdf == "kept.pdf")
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
        QVERIFY2(silentSuccess(r), r.output.constData());
        checkImages(out, fx.imagesOf(pdf, page));
    }

    // One run over several pages numbers its files on across them.
    void numbersRunOnAcrossPages() {
        QTemporaryDir out;
        Run r = extract(out, "multipage.pdf", 1, 4);
        QVERIFY2(silentSuccess(r), r.output.constData());
        QList<ExpectedImage> want;
        for (int p = 1; p <= 4; ++p)
            want += fx.imagesOf("multipage.pdf", p);
        QCOMPARE(want.size(), 6);
        checkImages(out, want);
    }

    // Over its channel, glimmet takes up a page only at the program's go,
    // names each file it made whole, and at the end of its input stops.
    void waitsForItsGo_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("pages"); // that it writes
        QTest::newRow("dropped before its go") << QByteArray() << 0;
        QTest::newRow("let on to page 1") << goThrough(1) << 1;
        QTest::newRow("let on to page 2") << goThrough(1) + goThrough(2) << 2;
    }
    void waitsForItsGo() {
        QFETCH(QByteArray, input);
        QFETCH(int, pages);
        QTemporaryDir out;
        const Run run = tooltest::runTool(kGlimmet,
                                          ::pages(1, 3) << contract::kRecordsOption
                                                        << fx.path("multipage.pdf") << root(out),
                                          {}, {}, input);
        QVERIFY2(!run.crashed && run.exitCode == 0, run.output.constData());
        int images = 0;
        for (int page = 1; page <= pages; ++page)
            images += int(fx.imagesOf("multipage.pdf", page).size());
        QCOMPARE(scratchFiles(out).size(), images);
        QStringList named;
        for (const QByteArray& line : run.lines())
            if (line.startsWith(QByteArray(contract::kFileMade) + contract::kListSeparator))
                named << QString::fromUtf8(line.split(contract::kListSeparator)[2]);
        QCOMPARE(named, scratchFiles(out));
    }

    void userPassword_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("user password") << "open sesame";
        QTest::newRow("owner password") << "master key";
    }
    void userPassword() {
        QFETCH(QString, password);
        QTemporaryDir out;
        Run r = extract(out, "user-password.pdf", 1, 4, {contract::kPasswordOption, password});
        QVERIFY2(silentSuccess(r), r.output.constData());
        QList<ExpectedImage> want;
        for (int p = 1; p <= 4; ++p)
            want += fx.imagesOf("user-password.pdf", p);
        checkImages(out, want);
    }

    void textPageWritesNothing() {
        QTemporaryDir out;
        Run r = extract(out, "text1000.pdf", 500, 500);
        QVERIFY2(silentSuccess(r), r.output.constData());
        QVERIFY(scratchFiles(out).isEmpty());
    }

    // Whatever goes wrong is said on the output, so the program never takes
    // a failed page for a page without images.
    void failuresAreReported_data() {
        QTest::addColumn<QStringList>("args");     // ROOT is added at the end
        QTest::addColumn<QByteArray>("firstLine"); // empty: any complaint will do
        auto at = [this](const char* name) { return fx.path(name); };
        const QByteArray incorrect = contract::kIncorrectPassword;
        QTest::newRow("missing file") << (pages(1, 1) << at("nothing.pdf")) << QByteArray();
        QTest::newRow("not a PDF") << (pages(1, 1) << at("not-a-pdf.pdf")) << QByteArray();
        QTest::newRow("damaged") << (pages(1, 1) << at("damaged.pdf")) << QByteArray();
        QTest::newRow("page 0") << (pages(0, 0) << at("multipage.pdf")) << QByteArray();
        QTest::newRow("page past the end") << (pages(5, 5) << at("multipage.pdf")) << QByteArray();
        QTest::newRow("last before first") << (pages(3, 2) << at("multipage.pdf")) << QByteArray();
        QTest::newRow("no password") << (pages(1, 1) << at("user-password.pdf")) << incorrect;
        QTest::newRow("wrong password")
            << (pages(1, 1) << contract::kPasswordOption << "open" << at("user-password.pdf"))
            << incorrect;
        QTest::newRow("past a /Count that lies")
            << (pages(2, 2) << at("count-million.pdf")) << QByteArray();
        QTest::newRow("page tree without a page")
            << (pages(1, 1) << at("no-pages.pdf")) << QByteArray();
        QTest::newRow("page not a number")
            << (pages("one", "1") << at("multipage.pdf")) << QByteArray();
        QTest::newRow("no root") << pages(1, 1) << QByteArray();
    }
    void failuresAreReported() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, firstLine);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, args << root(out));
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
        QTest::newRow("not JPEG-2000 data") << 2 << QByteArray("page 2, image 2") << 1;
        QTest::newRow("truncated zlib data") << 3 << QByteArray("page 3, image 2") << 1;
        QTest::newRow("unknown filter") << 4 << QByteArray("page 4, image 2") << 1;
        QTest::newRow("not JPEG data") << 5 << QByteArray("page 5, image 2") << 1;
        QTest::newRow("JBIG2 data claiming a 1.5 GB page")
            << 7 << QByteArray("page 7, image 2") << 1;
        QTest::newRow("colour JPEG in a gray image") << 8 << QByteArray("page 8, image 2") << 1;
        QTest::newRow("JPEG larger than the image") << 9 << QByteArray("page 9, image 2") << 1;
        QTest::newRow("JBIG2 cut short") << 10 << QByteArray("page 10, image 2") << 1;
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
    // claim, and objects are found whatever a cross-reference stream's /W
    // claims, at no cost to speak of: each of these has one image.
    void pagesOfLyingTrees_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        QTest::newRow("count of a million") << "count-million.pdf" << 1;
        QTest::newRow("negative count") << "count-negative.pdf" << 2;
        QTest::newRow("loop, page 2") << "tree-loop.pdf" << 2;
        QTest::newRow("inner node claims 1000, page 1") << "inner-lie.pdf" << 1;
        QTest::newRow("inner node claims 1000, page 2") << "inner-lie.pdf" << 2;
        QTest::newRow("cross-reference stream") << "xref-stream.pdf" << 1;
        QTest::newRow("offsets of 2147483647 bytes") << "xref-wide.pdf" << 1;
        QTest::newRow("every field 2147483647 bytes") << "xref-all-wide.pdf" << 1;
        QTest::newRow("8000000 entries declared, 7 held") << "xref-many-entries.pdf" << 1;
    }
    void pagesOfLyingTrees() {
        QFETCH(QString, pdf);
        QFETCH(int, page);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, pages(page, page) << fx.path(pdf) << root(out), {},
                                  {"ARVENZO_CPU_SECONDS=1"});
        QVERIFY2(silentSuccess(r), r.output.constData());
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
        QTest::newRow("JBIG2 page whose stripes grow it to 100000 x 100000")
            << "oversize.pdf" << 4 << QString() << QList<int>{1} << 1;
        QTest::newRow("JBIG2 region of 100000 x 100000, behind Flate")
            << "oversize.pdf" << 5 << QString() << QList<int>{1} << 1;
        QTest::newRow("JBIG2 globals with a page and a region of 100000 x 100000")
            << "oversize.pdf" << 6 << QString() << QList<int>{1} << 1;
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
        Run r =
            tooltest::runTool(kGlimmet, pages(page, page) << fx.path(pdf) << root(out), {}, env);
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
        Run r = tooltest::runTool(kGlimmet, pages(1, 1) << fx.path("spin.pdf") << root(out), {},
                                  {"ARVENZO_CPU_SECONDS=1"});
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.lines(),
                 QList<QByteArray>{"Error: page 1: gave up after 1 s of processor time"});
        QVERIFY(clock.elapsed() < 30000);
    }

    // A stream the page walk would decode as content but that is encoded for
    // images only fails its page at once, in one line naming it, whatever
    // its data: the JBIG2 page of 100000 x 100000 pixels would take the
    // whole processor budget.
    void imageEncodedContentFailsThePage_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("filter");
        QTest::newRow("page contents as JBIG2") << 1 << QByteArray("JBIG2Decode");
        QTest::newRow("form as JPEG") << 2 << QByteArray("DCTDecode");
        QTest::newRow("pattern as CCITT") << 3 << QByteArray("CCITTFaxDecode");
        QTest::newRow("second of two content streams as JPEG-2000") << 4 << QByteArray("JPXDecode");
    }
    void imageEncodedContentFailsThePage() {
        QFETCH(int, page);
        QFETCH(QByteArray, filter);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet,
                                  pages(page, page) << fx.path("image-filters.pdf") << root(out),
                                  {}, {"ARVENZO_CPU_SECONDS=10"});
        QCOMPARE(r.lines().size(), 1);
        const QByteArray head = "Error: page " + QByteArray::number(page) +
                                ": cannot read the page or an image on it: content stream";
        QVERIFY2(r.lines()[0].startsWith(head) && r.lines()[0].contains("encoded with " + filter),
                 r.output.constData());
        QCOMPARE(r.exitCode, 1);
        QVERIFY(scratchFiles(out).isEmpty());
    }

    // A count in a line agrees with its word.
    void countWordsAgree_data() {
        QTest::addColumn<QStringList>("args"); // ROOT is added at the end
        QTest::addColumn<QString>("bound");    // bytes, through the environment
        QTest::addColumn<QByteArray>("said");
        auto at = [this](const char* name) { return fx.path(name); };
        QTest::newRow("1 colour component")
            << (pages(5, 5) << at("image-filters.pdf")) << QString()
            << QByteArray("holds 1 colour component where the document declares 3");
        QTest::newRow("3 colour components")
            << (pages(6, 6) << at("image-filters.pdf")) << QString()
            << QByteArray("holds 3 colour components where the document declares 1");
        QTest::newRow("1 page") << (pages(2, 2) << at("count-over.pdf")) << QString()
                                << QByteArray("page 2 is not in " + at("count-over.pdf").toUtf8() +
                                              ", which has 1 page");
        QTest::newRow("1 byte") << (pages(1, 1) << at("multipage.pdf")) << "1"
                                << QByteArray("more than the 1 byte allowed");
    }
    void countWordsAgree() {
        QFETCH(QStringList, args);
        QFETCH(QString, bound);
        QFETCH(QByteArray, said);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, args << root(out), {},
                                  bound.isEmpty() ? QStringList()
                                                  : QStringList{"ARVENZO_IMAGE_BYTES=" + bound});
        QVERIFY2(r.output.contains(said), r.output.constData());
    }

    // A name missing from the resources draws nothing, on screen as here.
    void missingResourceIsNoFailure() {
        QTemporaryDir out;
        Run r = extract(out, "broken.pdf", 6, 6);
        QVERIFY2(silentSuccess(r), r.output.constData());
        checkImages(out, fx.imagesOf("broken.pdf", 6));
    }

    void unwritableRootIsReported() {
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, pages(1, 1) << fx.path("multipage.pdf")
                                                        << root(out, "no-such-folder/"));
        QCOMPARE(r.lines().size(), 2); // one line for each of the page's two images
        QVERIFY(r.output.contains("no-such-folder"));
        QVERIFY(r.exitCode != 0);
    }

    // A scratch name that is taken is refused, never written through: what
    // a planted link points to, or a file already there, stays as it was.
    void takenNamesAreRefused_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("link") << true;
        QTest::newRow("file") << false;
    }
    void takenNamesAreRefused() {
        QFETCH(bool, link);
        QTemporaryDir out, elsewhere;
        const QString target = elsewhere.filePath("kept");
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("kept") == 4);
        f.close();
        QStringList planted;
        for (int number : {0, 1})
            for (const char* ext : contract::kScratchExtensions)
                planted << QString::fromStdString(
                    contract::ScratchName(root(out).toStdString(), number, ext));
        for (const QString& name : planted)
            QVERIFY(link ? QFile::link(target, name) : QFile::copy(target, name));
        Run r = extract(out, "multipage.pdf", 1, 1);
        QCOMPARE(r.lines().size(), 2); // one line for each of the page's two images
        QVERIFY(r.exitCode != 0);
        for (const QString& name : planted + QStringList{target}) {
            QFile kept(name);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray("kept"));
        }
    }

    // A full disk: a file that no longer fits is named, and must not be
    // left behind for the program to convert; a file that still fits after
    // it takes the next number, as if the lost one had never been.
    void fullDiskIsReported_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("lost");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("decoded JPEG")
            << "images.pdf" << 3000 << scratch(0, contract::kStoredAsJpeg) << QStringList();
        // 16 x 12, 20 x 14 and 2 x 2 gray pictures.
        QTest::newRow("the second of three")
            << "repeats.pdf" << 250 << scratch(1, contract::kGray)
            << QStringList{scratch(0, contract::kGray), scratch(1, contract::kGray)};
    }
    void fullDiskIsReported() {
        QFETCH(QString, pdf);
        QFETCH(int, bytes);
        QFETCH(QString, lost);
        QFETCH(QStringList, written);
        QTemporaryDir out;
        Run r = tooltest::runTool(kGlimmet, pages(1, 1) << fx.path(pdf) << root(out), [=] {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{rlim_t(bytes), rlim_t(bytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        QVERIFY(!r.crashed);
        QCOMPARE(r.lines().size(), 1);
        QVERIFY2(r.output.contains(lost.toUtf8()), r.output.constData());
        QVERIFY(r.exitCode != 0);
        QCOMPARE(scratchFiles(out), written);
    }

    // What -list says of a whole document against what one run extracting
    // it writes: the same files in the same order, each of the size and
    // layout listed, and every failure it can know without decoding.
    void listingMatchesExtraction_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("keep");
        QMap<QString, int> documents;
        for (const auto& [pdf, page] : fx.pages)
            documents[pdf] = qMax(documents.value(pdf), page);
        for (auto d = documents.cbegin(); d != documents.cend(); ++d)
            if (!d.key().startsWith("user-password"))
                QTest::newRow(qPrintable(d.key())) << d.key() << d.value() << QStringList();
        for (const char* pdf : {"images.pdf", "fidelity.pdf", "kept.pdf"})
            for (const char* kind : {contract::kKeepJpeg, contract::kKeepJpx})
                QTest::addRow("%s keeping %s", pdf, kind)
                    << pdf << documents.value(pdf) << QStringList{contract::kKeepOption, kind};
    }
    void listingMatchesExtraction() {
        QFETCH(QString, pdf);
        QFETCH(int, pages);
        QFETCH(QStringList, keep);
        QTemporaryDir out;
        const Run extracted =
            tooltest::runTool(kGlimmet,
                              ::pages(1, pages) + keep +
                                  QStringList{contract::kRecordsOption, contract::kHashOption,
                                              fx.path(pdf), root(out)},
                              {}, {}, goThrough(pages));
        const Run listed =
            tooltest::runTool(kGlimmet, QStringList{contract::kListOption} << keep << fx.path(pdf));
        QVERIFY(!listed.crashed);
        // Damage that only decoding finds fails the extraction alone.
        for (const QByteArray& line : problems(listed))
            QVERIFY2(extracted.output.contains(line), line.constData());
        if (problems(extracted).size() != problems(listed).size())
            QSKIP("the extraction fails on damage the listing cannot see");
        QCOMPARE(listed.exitCode, extracted.exitCode);
        // The pictures' files; profiles go beside them.
        QStringList files = scratchFiles(out);
        files.removeIf([](const QString& f) { return f.endsWith(contract::kProfileExtension); });
        const QList<QList<QByteArray>> rows = listedImages(listed);
        QCOMPARE(rows.size(), files.size());
        QMap<QPair<int, int>, QString> kept; // a kept file by page and place on it
        QMap<int, int> onPage;
        for (int i = 0; i < files.size(); ++i) {
            const QList<QByteArray>& row = rows[i];
            const int page = row[contract::kListedPageNumber].toInt();
            if (row[contract::kListedOutput] == contract::kOutputKept)
                kept[{page, ++onPage[page]}] = out.filePath(files[i]);
            else
                ++onPage[page];
            QCOMPARE(row.size(), int(contract::kListedFieldCount));
            const QList<int> listedLayout{
                row[contract::kListedWidth].toInt(), row[contract::kListedHeight].toInt(),
                row[contract::kListedComponents].toInt(), row[contract::kListedBits].toInt()};
            QCOMPARE(listedLayout, scratchLayout(out.filePath(files[i])));
            const bool kept =
                files[i].endsWith(contract::kKeptJpeg) || files[i].endsWith(contract::kKeptJpx);
            QCOMPARE(row[contract::kListedOutput],
                     QByteArray(kept ? contract::kOutputKept : contract::kOutputEncoded));
        }
        QVERIFY(listed.lines().endsWith(QByteArray(contract::kListedEnd) +
                                        contract::kListSeparator + QByteArray::number(pages)));
        // A run that wrote every picture says of them what the listing says,
        // and gives each kept file's size and SHA-256.
        if (!problems(extracted).isEmpty())
            return;
        int digests = 0;
        for (const QByteArray& line : extracted.lines()) {
            const QList<QByteArray> f = line.split(contract::kListSeparator);
            if (f[0] != contract::kFileMade || f[4] == contract::kNoDigest)
                continue;
            QFile bytes(out.filePath(QString::fromUtf8(f[2])));
            QVERIFY(bytes.open(QIODevice::ReadOnly));
            const QByteArray content = bytes.readAll();
            QCOMPARE(f[3].toLongLong(), content.size());
            QCOMPARE(f[4], QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
            ++digests;
        }
        QCOMPARE(digests, kept.size());
        QCOMPARE(linesWithout(extracted, {contract::kFileMade, contract::kProfileMade}),
                 listed.lines());
    }

    // A listing with thumbnails says what a plain listing says, and each
    // picture's thumbnail, at most the size asked, shows what its file
    // shows: the same mean shade, transparency laid over white.
    void thumbnailsShowEachPicture_data() { listingMatchesExtraction_data(); }
    void thumbnailsShowEachPicture() {
        QFETCH(QString, pdf);
        QFETCH(int, pages);
        QFETCH(QStringList, keep);
        constexpr int kLongest = 48;
        QTemporaryDir thumbs, files;
        const Run listed =
            tooltest::runTool(kGlimmet, QStringList{contract::kListOption} << keep << fx.path(pdf));
        const Run shown = tooltest::runTool(
            kGlimmet,
            QStringList{contract::kListOption, contract::kThumbsOption, QString::number(kLongest)}
                << keep << fx.path(pdf) << root(thumbs));
        const Run extracted = extract(files, pdf, 1, pages, keep);
        QVERIFY(!shown.crashed);
        // Damage found on decoding fails the picture, after its facts.
        if (!problems(shown).isEmpty() || !problems(extracted).isEmpty()) {
            QCOMPARE(problems(shown).size(), problems(extracted).size());
            return;
        }
        QCOMPARE(linesWithout(shown, {contract::kThumb}), listed.lines());
        const QStringList written = scratchFiles(files);
        QList<QList<QByteArray>> thumbRows;
        bool afterImage = false;
        for (const QByteArray& line : shown.lines()) {
            const QList<QByteArray> f = line.split(contract::kListSeparator);
            if (f[0] == contract::kThumb) {
                QVERIFY2(afterImage, line.constData());
                thumbRows << f.mid(1);
            }
            afterImage = f[0] == contract::kListedImage;
        }
        // A mask of another size makes a second file but one thumbnail.
        const QList<QList<QByteArray>> rows = listedImages(listed);
        QList<int> firstFiles;
        for (int i = 0; i < rows.size(); ++i)
            if (i == 0 ||
                rows[i][contract::kListedPageNumber] != rows[i - 1][contract::kListedPageNumber] ||
                rows[i][contract::kListedOnPage] != rows[i - 1][contract::kListedOnPage])
                firstFiles << i;
        QCOMPARE(thumbRows.size(), firstFiles.size());
        for (int t = 0; t < thumbRows.size(); ++t) {
            const Decoded thumb = readBack(thumbs.filePath(QString::fromUtf8(thumbRows[t][0])));
            QCOMPARE(QList<int>({thumb.w, thumb.h}),
                     QList<int>({thumbRows[t][1].toInt(), thumbRows[t][2].toInt()}));
            QVERIFY(qMax(thumb.w, thumb.h) <= kLongest);
            const QList<QByteArray>& row = rows[firstFiles[t]];
            // A viewer turns kept CMYK bytes to RGB its own way.
            if (row[contract::kListedMask] != contract::kMaskNone ||
                (row[contract::kListedOutput] == contract::kOutputKept &&
                 row[contract::kListedComponents] == "4"))
                continue;
            const Decoded whole = readBack(files.filePath(written[firstFiles[t]]));
            QVERIFY2(qAbs(meanShade(thumb) - meanShade(whole)) < 8,
                     qPrintable(QString("%1: %2 against %3")
                                    .arg(written[firstFiles[t]])
                                    .arg(meanShade(thumb))
                                    .arg(meanShade(whole))));
        }
    }

    // Only the pictures named are written, byte for byte as a whole run
    // writes them, numbered as if the rest were not there; a listing says
    // the same of them.
    void onlyTakesThePicturesNamed_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("only");
        QTest::newRow("one") << "multipage.pdf"
                             << "2.1";
        QTest::newRow("across pages, out of order") << "multipage.pdf"
                                                    << "3.1,1.1";
        QTest::newRow("a repeat by itself") << "repeats.pdf"
                                            << "2.1";
        QTest::newRow("one not there") << "multipage.pdf"
                                       << "1.1,1.7";
    }
    void onlyTakesThePicturesNamed() {
        QFETCH(QString, pdf);
        QFETCH(QString, only);
        int pages = 0;
        for (const auto& [name, page] : fx.pages)
            pages = name == pdf ? qMax(pages, page) : pages;
        QTemporaryDir all, some;
        const Run whole = tooltest::runTool(
            kGlimmet,
            ::pages(1, pages) + QStringList{contract::kRecordsOption, fx.path(pdf), root(all)}, {},
            {}, goThrough(pages));
        const Run chosen = tooltest::runTool(
            kGlimmet,
            ::pages(1, pages) + QStringList{contract::kRecordsOption, contract::kOnlyOption, only,
                                            fx.path(pdf), root(some)},
            {}, {}, goThrough(pages));
        QCOMPARE(chosen.exitCode, 0);
        QSet<QByteArray> named;
        for (const QString& place : only.split(contract::kOnlySeparator))
            named << place.toUtf8();
        QStringList expected;
        QByteArray lastImage;
        for (const QByteArray& line : whole.lines()) {
            const QList<QByteArray> f = line.split(contract::kListSeparator);
            if (f[0] == contract::kListedImage)
                lastImage = f[1 + contract::kListedPageNumber] + contract::kOnlyPage +
                            f[1 + contract::kListedOnPage];
            else if (f[0] == contract::kFileMade && named.contains(lastImage))
                expected << all.filePath(QString::fromUtf8(f[2]));
        }
        const QStringList got = scratchFiles(some);
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i], scratch(i, qPrintable("." + QFileInfo(expected[i]).suffix())));
            QCOMPARE(tooltest::fileBytes(some.filePath(got[i])), tooltest::fileBytes(expected[i]));
        }
        const Run listed =
            tooltest::runTool(kGlimmet, QStringList{contract::kListOption, contract::kOnlyOption,
                                                    only, fx.path(pdf)});
        QCOMPARE(listedImages(listed).size(), got.size());
    }

    // A job whose tool runs again from a later page (after a crash, or one
    // run a page), handed the pictures the runs before it wrote, says what
    // one listing of the whole range says: files numbered on across runs,
    // repeats naming the earlier run's file.
    void recordsNumberOnAcrossRuns_data() {
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("one run") << QList<int>{1};
        QTest::newRow("again from page 2") << QList<int>{1, 2};
        QTest::newRow("again from page 3") << QList<int>{1, 3};
        QTest::newRow("a run a page") << QList<int>{1, 2, 3};
    }
    void recordsNumberOnAcrossRuns() {
        QFETCH(QList<int>, starts);
        const QStringList sieve{contract::kUniqueOption, contract::kMinSizeOption, "3"};
        QByteArray seen;
        QList<QByteArray> said;
        int files = 0;
        for (int r = 0; r < starts.size(); ++r) {
            QTemporaryDir out; // the program takes each run's files away
            const int last = r + 1 < starts.size() ? starts[r + 1] - 1 : 3;
            const Run run = tooltest::runTool(
                kGlimmet,
                pages(starts[r], last) + sieve +
                    QStringList{contract::kRecordsOption, contract::kFromFileOption,
                                QString::number(files + 1), fx.path("repeats.pdf"), root(out)},
                {}, {}, seen + goThrough(last));
            QVERIFY2(!run.crashed && run.exitCode == 0, run.output.constData());
            for (const QByteArray& line : run.lines()) {
                if (line.startsWith(contract::kSeen))
                    seen += line + '\n';
                files += line.startsWith(contract::kFileMade) ? 1 : 0;
            }
            said += linesWithout(run, {contract::kFileMade, contract::kSeen, contract::kListedEnd});
        }
        const Run listed = tooltest::runTool(kGlimmet, QStringList{contract::kListOption} + sieve +
                                                           QStringList{fx.path("repeats.pdf")});
        QCOMPARE(said, linesWithout(listed, {contract::kListedEnd}));
    }

    // What a listing says of each kind: the colour space the document
    // names, the channels the file gets, the encoding, what becomes of the
    // mask, and the resolution where the image is first drawn (forms,
    // patterns and appearances each place it their own way).
    void listsEachKind_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("lines"); // fields from the width on, but the bytes
        auto row = [](const char* name, const char* pdf, int page, QStringList lines) {
            QTest::newRow(name) << pdf << page << lines;
        };
        row("gray JPEG stays one channel", "images.pdf", 2,
            {"64|48|DeviceGray|1|8|jpeg|none|115.2|86.4"});
        row("CMYK JPEG becomes RGB", "images.pdf", 3,
            {"64|48|DeviceCMYK|3|8|jpeg|none|115.2|86.4"});
        row("16-bit gray", "images.pdf", 7, {"37|23|DeviceGray|1|8|flate|none|66.6|41.4"});
        row("inks over gray stay gray", "fidelity.pdf", 7,
            {"37|23|Separation(DeviceGray,Black)|1|8|flate|none|66.6|41.4"});
        row("JPEG-2000 with its alpha", "images.pdf", 19,
            {"37|23|DeviceRGB|4|8|jpx|soft mask|66.6|41.4"});
        row("CCITT", "images.pdf", 25, {"37|23|DeviceGray|1|1|ccitt|none|66.6|41.4"});
        row("JBIG2", "fidelity.pdf", 8, {"37|23|DeviceGray|1|1|jbig2|none|66.6|41.4"});
        row("stencil", "images.pdf", 28, {"37|23|none|1|1|flate|stencil|66.6|41.4"});
        row("JPEG with a soft mask", "images.pdf", 31,
            {"64|48|DeviceRGB|4|8|jpeg|soft mask|115.2|86.4"});
        row("stencil mask", "images.pdf", 32,
            {"37|23|DeviceRGB|4|8|flate|same-size mask|66.6|41.4"});
        row("colour key", "images.pdf", 33, {"37|23|DeviceRGB|4|8|flate|colour key|66.6|41.4"});
        row("mask of another size", "images.pdf", 34,
            {"37|23|DeviceRGB|3|8|flate|separate mask file|66.6|41.4",
             "19|11|DeviceGray|1|8|flate|none|34.2|19.8"});
        row("inline", "images.pdf", 35, {"10|8|DeviceGray|1|8|raw|none|18.0|14.4"});
        row("form and repeats", "images.pdf", 36,
            {"37|23|DeviceRGB|3|8|flate|none|66.6|41.4",
             "37|23|DeviceRGB|3|8|flate|none|66.6|41.4"});
        row("tiling pattern", "images.pdf", 37, {"37|23|DeviceRGB|3|8|flate|none|133.2|82.8"});
        row("annotation", "images.pdf", 38, {"37|23|DeviceRGB|3|8|flate|none|53.3|33.1"});
        row("text only", "images.pdf", 41, {});
    }
    void listsEachKind() {
        QFETCH(QString, pdf);
        QFETCH(int, page);
        QFETCH(QStringList, lines);
        const Run r = tooltest::runTool(kGlimmet, QStringList{contract::kListOption}
                                                      << pages(page, page) << fx.path(pdf));
        QCOMPARE(r.exitCode, 0);
        QStringList got;
        for (const QList<QByteArray>& row : listedImages(r)) {
            QCOMPARE(row.value(contract::kListedPageNumber).toInt(), page);
            QStringList fields;
            for (int f = contract::kListedWidth; f < contract::kListedBytes; ++f)
                fields << QString::fromUtf8(row.value(f));
            got << fields.join('|');
        }
        QCOMPARE(got, lines);
    }
};

QTEST_GUILESS_MAIN(TestGlimmet)
#include "tst_glimmet.moc"
