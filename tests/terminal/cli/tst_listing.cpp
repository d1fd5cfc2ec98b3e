// The listing of arvenzo-extract: what it says a job would write against
// what the job then writes, and how it reads glimmet.bin's lines.

#include "ToolContract.h"
#include "cli/ImageListing.h"

#include <FreeImage.h>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

namespace {

const std::string kTools = QFileInfo(GLIMMET_PATH).absolutePath().toStdString() + "/";

struct Listing {
    int code = -1;
    std::string out, err;
};

// Width, height and channels of a written image.
QList<int> WrittenLayout(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileType(name.constData(), 0);
    // A kept CMYK JPEG is four channels, whatever viewers make of it.
    FIBITMAP* bitmap = FreeImage_Load(type, name.constData(), type == FIF_JPEG ? JPEG_CMYK : 0);
    if (!bitmap)
        return {};
    const int bpp = static_cast<int>(FreeImage_GetBPP(bitmap));
    const QList<int> layout{static_cast<int>(FreeImage_GetWidth(bitmap)),
                            static_cast<int>(FreeImage_GetHeight(bitmap)), bpp < 8 ? 1 : bpp / 8};
    FreeImage_Unload(bitmap);
    return layout;
}

} // namespace

class TestListing : public QObject {
    Q_OBJECT

    QTemporaryDir fixtures_;
    QString F(const QString& name) const { return fixtures_.filePath(name); }

    Listing List(const QString& pdf, int first, int last, bool json = false,
                 const std::string& password = {}, bool unique = false, int minSide = 0) {
        std::ostringstream out, err;
        Listing l;
        l.code = cli::RunListing(
            {.document = F(pdf).toStdString(),
             .password = password,
             .firstPage = first,
             .lastPage = last,
             .json = json,
             .format = "Original",
             .pictures = {.unique = unique, .minWidth = minSide, .minHeight = minSide}},
            out, err, kTools);
        l.out = out.str();
        l.err = err.str();
        return l;
    }

private slots:
    void initTestCase() {
        FreeImage_Initialise(FALSE);
        QVERIFY(fixtures_.isValid());
        QCOMPARE(QProcess::execute(MAKE_FIXTURES_PATH, {fixtures_.path()}), 0);
    }
    void cleanupTestCase() { FreeImage_DeInitialise(); }

    // The job's own files, kept as the document holds them: as many as
    // listed, under the numbers listed, of the sizes and channels listed.
    void listingMatchesTheJob_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<int>("minSide");
        QTest::addColumn<int>("leftOut");
        QTest::newRow("every kind of image") << "images.pdf" << 1 << 99 << false << 0 << 0;
        QTest::newRow("transparency and masks") << "fidelity.pdf" << 1 << 99 << false << 0 << 0;
        QTest::newRow("numbered from the range's first page")
            << "multipage.pdf" << 2 << 4 << false << 0 << 0;
        QTest::newRow("repeats by object and by pixels")
            << "repeats.pdf" << 1 << 3 << true << 0 << 3;
        QTest::newRow("repeats from the range's first page")
            << "repeats.pdf" << 2 << 3 << true << 0 << 1;
        QTest::newRow("small ones") << "repeats.pdf" << 1 << 3 << false << 3 << 2;
        QTest::newRow("small ones and repeats") << "repeats.pdf" << 1 << 3 << true << 3 << 5;
        QTest::newRow("the same pixels decoded each way")
            << "same-pixels.pdf" << 1 << 8 << true << 0 << 4;
    }
    void listingMatchesTheJob() {
        QFETCH(QString, pdf);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, unique);
        QFETCH(int, minSide);
        QFETCH(int, leftOut);
        QProcess count;
        count.start(QString::fromStdString(kTools) + contract::kInformationTool, {F(pdf)});
        QVERIFY(count.waitForFinished());
        const QByteArray info = count.readAllStandardOutput();
        const int pages =
            info.mid(info.indexOf(contract::kPagesLabel) + 6).trimmed().split('\n')[0].toInt();
        QVERIFY(pages > 0);
        last = qMin(last, pages);

        const Listing listed = List(pdf, first, last, true, {}, unique, minSide);
        QCOMPARE(listed.code, 0);
        QTemporaryDir out;
        QProcess job;
        job.setStandardInputFile(QProcess::nullDevice());
        QStringList args{"-r", QString("%1-%2").arg(first).arg(last), F(pdf), out.path()};
        if (unique)
            args.prepend("--unique");
        if (minSide > 0)
            args.prepend(QString("--min-size=%1").arg(minSide));
        job.start(EXTRACT_PATH, args);
        QVERIFY(job.waitForFinished(60000));
        QCOMPARE(job.exitCode(), 0);

        QStringList written = QDir(out.path()).entryList(QDir::Files);
        std::istringstream lines(listed.out);
        std::string line;
        int row = 0;
        QList<QList<int>> layouts;
        while (std::getline(lines, line)) {
            const QJsonObject image =
                QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
            const QList<int> layout{image["width"].toInt(), image["height"].toInt(),
                                    image["components"].toInt()};
            // Left out: no file, and a repeat is of a picture of its own size.
            if (image["image"].isNull()) {
                --leftOut;
                const int of = image["repeat_of"].toInt();
                QVERIFY(image["left_out"] == "small" ||
                        (of >= 1 && of <= row && layouts[of - 1] == layout));
                QVERIFY(image["left_out"] != "small" || layout[0] < minSide || layout[1] < minSide);
                continue;
            }
            layouts.append(layout);
            const int number = image["image"].toInt();
            QCOMPARE(number, ++row);
            const QStringList named = QDir(out.path()).entryList({QString("%1.*").arg(number)});
            QCOMPARE(named.size(), 1);
            written.removeOne(named[0]);
            QCOMPARE(WrittenLayout(out.filePath(named[0])), layout);
        }
        QVERIFY(row > 0);
        QCOMPARE(leftOut, 0);
        QCOMPARE(written, QStringList());
    }

    // What a run that ends early or fails says, and the exit code it gives.
    void exitCodes_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("all listed") << "multipage.pdf" << 1 << 4 << "" << 0 << "";
        QTest::newRow("missing document") << "none.pdf" << 1 << 1 << "" << 2 << "does not exist";
        QTest::newRow("pages outside") << "multipage.pdf" << 7 << 9 << "" << 2 << "not in";
        QTest::newRow("reversed") << "multipage.pdf" << 3 << 2 << "" << 2 << "no pages 3 to 2";
        QTest::newRow("no password")
            << "user-password.pdf" << 1 << 1 << "" << 2 << "needs a password";
        QTest::newRow("wrong password")
            << "user-password.pdf" << 1 << 1 << "nope" << 2 << "does not open";
        QTest::newRow("right password")
            << "user-password.pdf" << 1 << 4 << "open sesame" << 0 << "";
        QTest::newRow("unknown filter") << "broken.pdf" << 4 << 4 << "" << 1 << "page 4, image 2";
    }
    void exitCodes() {
        QFETCH(QString, pdf);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, password);
        QFETCH(int, code);
        QFETCH(QString, says);
        const Listing l = List(pdf, first, last, false, password.toStdString());
        QCOMPARE(l.code, code);
        // A document that cannot be read as asked lists nothing, not even
        // the header.
        QCOMPARE(l.out.empty(), code == 2);
        if (says.isEmpty())
            QCOMPARE(QString::fromStdString(l.err), QString());
        else
            QVERIFY2(QString::fromStdString(l.err).startsWith("arvenzo-extract: ") &&
                         QString::fromStdString(l.err).contains(says),
                     l.err.c_str());
    }

    // Lines of the tool: what counts as an image, and what is a problem.
    void parsesTheToolsLines_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("images");
        QTest::addColumn<int>("problems");
        QTest::addColumn<bool>("finished");
        const QString row = "Image:\t3\t10\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.0\t72."
                            "0\t500\tkept\t7\t1\t1 0 0 1 0 0\t-\t-\t\n";
        QTest::newRow("two pages") << "Page:\t3\n" + row + row + "Page:\t4\nListed:\t4\n"
                                   << 2 << 0 << true;
        QTest::newRow("cut off") << "Page:\t3\n" + row + "glimmet.bin: killed by signal 9\n"
                                 << 1 << 1 << false;
        QTest::newRow("field missing")
            << "Page:\t3\nImage:\t3\t10\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.0\t72."
               "0\t5\tkept\t7\nListed:\t3\n"
            << 0 << 1 << true;
        QTest::newRow("not a number")
            << "Page:\t3\nImage:\t3\tten\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.0\t72."
               "0\t5\tkept\t7\t1\n"
            << 0 << 1 << false;
        QTest::newRow("resolution not a number")
            << "Page:\t3\nImage:\t3\t10\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.\tinf\t5\tkept\t7\t1\n"
            << 0 << 1 << false;
        QTest::newRow("neither kept nor encoded")
            << "Page:\t3\nImage:\t3\t10\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.0\t72."
               "0\t5\tyes\t7\t1\n"
            << 0 << 1 << false;
        QTest::newRow("image failed")
            << "Page:\t1\nError: page 1, image 1: unknown filter\nListed:\t1\n"
            << 0 << 1 << true;
    }
    void parsesTheToolsLines() {
        QFETCH(QString, output);
        QFETCH(int, images);
        QFETCH(int, problems);
        QFETCH(bool, finished);
        const cli::ToolListing l = cli::ParseToolListing(output.toStdString(), 5);
        QCOMPARE(int(l.images.size()), images);
        QCOMPARE(int(l.problems.size()), problems);
        QCOMPARE(l.finished, finished);
        for (std::size_t i = 0; i < l.images.size(); ++i)
            QCOMPARE(l.images[i].number, int(5 + i));
    }

    // A left-out image's last field: it takes no number, and a repeat names
    // the image it repeats by the number the tool gave it, the job's.
    void readsLeftOutImages_data() {
        QTest::addColumn<QString>("reasons"); // a row each, "|" between; "-" for none
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QList<int>>("repeatOf");
        QTest::addColumn<int>("problems");
        QTest::newRow("small") << "-|small|-" << QList<int>{5, 0, 6} << QList<int>{0, 0, 0} << 0;
        QTest::newRow("repeat") << "-|-|repeat 6" << QList<int>{5, 6, 0} << QList<int>{0, 0, 6}
                                << 0;
        QTest::newRow("repeat of nothing") << "-|repeat 0" << QList<int>{5} << QList<int>{0} << 1;
        QTest::newRow("unknown reason") << "-|large" << QList<int>{5} << QList<int>{0} << 1;
    }
    void readsLeftOutImages() {
        QFETCH(QString, reasons);
        QFETCH(QList<int>, numbers);
        QFETCH(QList<int>, repeatOf);
        QFETCH(int, problems);
        QString output = "Page:\t3\n";
        for (const QString& reason : reasons.split('|'))
            output += "Image:\t3\t10\t20\tDeviceRGB\t3\t8\tjpeg\tnone\t72.0\t72."
                      "0\t5\tkept\t7\t1\t1 0 0 1 0 0\t-\t-\t" +
                      (reason == "-" ? QString() : "\t" + reason) + "\n";
        const cli::ToolListing l = cli::ParseToolListing(output.toStdString(), 5);
        QCOMPARE(int(l.problems.size()), problems);
        QCOMPARE(int(l.images.size()), numbers.size());
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            QCOMPARE(l.images[i].number, numbers[i]);
            QCOMPARE(l.images[i].repeatOf, repeatOf[i]);
        }
    }

    // The table lines up under its header; JSON escapes what names hold.
    void printsRows() {
        cli::ListedImage a{1,
                           1,
                           640,
                           480,
                           "Separation \"Gold\"\xff",
                           1,
                           8,
                           "flate",
                           "separate mask file",
                           "300.0",
                           "300.0",
                           12345};
        a.kept = true;
        cli::ListedImage b{12, 2, 8, 8, "DeviceGray", 1, 8, "flate", "none", "72.0", "72.0", 9};
        std::ostringstream table, json;
        cli::PrintListing({a, b}, false, table);
        cli::PrintListing({a}, true, json);
        const QStringList lines =
            QString::fromStdString(table.str()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (const char* title : {"height", "mask", "bytes"}) {
            const int column = lines[0].indexOf(title) + QString(title).size();
            QVERIFY(lines[1].size() >= column && lines[2].size() >= column);
        }
        QVERIFY(lines[1].contains("12345  kept") && lines[2].contains("    9  encoded"));
        QJsonParseError error;
        const QJsonObject o =
            QJsonDocument::fromJson(QByteArray::fromStdString(json.str()), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o["colour_space"].toString(), QString("Separation \"Gold\"\uFFFD"));
        QCOMPARE(o["x_ppi"].toDouble(), 300.0);
        QCOMPARE(o["bits_per_component"].toInt(), 8);
        QCOMPARE(o["output"].toString(), QString(contract::kOutputKept));
        QVERIFY(lines[2].endsWith("encoded"));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
