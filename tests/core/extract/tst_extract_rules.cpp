#include "ToolContract.h"
#include "extract/Failures.h"
#include "extract/Formats.h"
#include "extract/PageRange.h"
#include "extract/ScratchFiles.h"
#include "text/IntegerText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using extract::ImageFormat;

Q_DECLARE_METATYPE(extract::ImageFormat)

class ExtractRulesTest : public QObject {
    Q_OBJECT
private slots:
    void pageRange_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("error"); // empty: no error
        const struct {
            const char* name;
            const char* range;
            int first, last;
            const char* error;
        } rows[] = {
            {"empty", "", 1, 10, ""},
            {"span", "3-7", 3, 7, ""},
            {"single", "5", 5, 5, ""},
            {"leading hyphen is one page", "-5", 5, 5, ""},
            {"to the end", "5-", 5, 10, ""},
            {"double hyphen", "--5", 5, 5, ""},
            {"third token ignored", "3-5-", 3, 5, ""},
            {"third number ignored", "3-5-9", 3, 5, ""},
            {"blanks around", "  7  ", 7, 7, ""},
            {"reversed is whole", "7-3", 1, 10, ""},
            {"zero is whole", "0", 1, 10, ""},
            {"from zero is whole", "0-4", 1, 10, ""},
            {"past the end is whole", "11", 1, 10, ""},
            {"not clamped", "5-99", 1, 10, ""},
            {"hex", "$A", 10, 10, ""},
            {"leading blank in token", "- 5", 5, 5, ""},
            {"one hyphen", "-", 0, 0, "List index out of bounds (0)"},
            {"two hyphens", "--", 0, 0, "List index out of bounds (0)"},
            {"blank before hyphen", "5 -", 0, 0, "'5 ' is not a valid integer value"},
            {"blanks around hyphen", "3 - 7", 0, 0, "'3 ' is not a valid integer value"},
            {"comma", "1,3", 0, 0, "'1,3' is not a valid integer value"},
            {"tab inside", "2-\t4", 0, 0, "'\t4' is not a valid integer value"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << r.range << r.first << r.last << r.error;
    }
    void pageRange() {
        QFETCH(QString, range);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, error);
        try {
            const extract::PageSpan span = extract::ParsePageRange(range.toStdString(), 10);
            QVERIFY2(error.isEmpty(), "no error");
            QCOMPARE(span.first, first);
            QCOMPARE(span.last, last);
        } catch (const std::exception& e) {
            QCOMPARE(QString(e.what()), error);
        }
    }

    void negativePageCountStaysNegative() {
        const extract::PageSpan span = extract::ParsePageRange("", -3);
        QCOMPARE(span.Count(), -3);
    }

    void formats_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<ImageFormat>("format");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("flags");
        QTest::newRow("original, born JPEG")
            << "Original" << contract::kStoredAsJpeg << ImageFormat::Jpeg << "JPG" << 80;
        QTest::newRow("original, bilevel")
            << "Original" << contract::kBilevel << ImageFormat::Bmp << "BMP" << 0;
        QTest::newRow("original, colour")
            << "Original" << contract::kColour << ImageFormat::Bmp << "BMP" << 0;
        QTest::newRow("original none") << "Original"
                                       << "" << ImageFormat::Bmp << "BMP" << 0;
        QTest::newRow("BMP") << "BMP" << contract::kStoredAsJpeg << ImageFormat::Bmp << "BMP" << 0;
        QTest::newRow("JPEG") << "JPEG" << contract::kBilevel << ImageFormat::Jpeg << "JPG" << 80;
        QTest::newRow("JPEG-2000")
            << "JPEG-2000" << contract::kStoredAsJpeg << ImageFormat::Jpeg2000 << "JP2" << 12;
        QTest::newRow("PNG") << "PNG" << contract::kStoredAsJpeg << ImageFormat::Png << "PNG" << 0;
        QTest::newRow("TIFF") << "TIFF" << contract::kStoredAsJpeg << ImageFormat::Tiff << "TIFF"
                              << 0;
        QTest::newRow("typed gif")
            << "gif" << contract::kStoredAsJpeg << ImageFormat::Tiff << "gif" << 0;
        QTest::newRow("typed JPG")
            << "JPG" << contract::kStoredAsJpeg << ImageFormat::Tiff << "JPG" << 80;
        QTest::newRow("typed JP2")
            << "JP2" << contract::kStoredAsJpeg << ImageFormat::Tiff << "JP2" << 12;
        QTest::newRow("blank PNG")
            << " PNG" << contract::kStoredAsJpeg << ImageFormat::Tiff << " PNG" << 0;
        QTest::newRow("case matters")
            << "original" << contract::kStoredAsJpeg << ImageFormat::Tiff << "original" << 0;
        QTest::newRow("empty") << "" << contract::kStoredAsJpeg << ImageFormat::Tiff << "" << 0;
    }
    void formats() {
        QFETCH(QString, text);
        QFETCH(QString, scratch);
        QFETCH(ImageFormat, format);
        QFETCH(QString, extension);
        QFETCH(int, flags);
        const extract::OutputFormat out =
            extract::ChooseFormat(text.toStdString(), scratch.toStdString());
        QCOMPARE(out.format, format);
        QCOMPARE(QString::fromStdString(out.extension), extension);
        QCOMPARE(out.flags, flags);
    }

    void outputNames_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "/out"
                               << "img-" << 1 << "JPG"
                               << "/out/img-1.jpg";
        QTest::newRow("prefix trimmed") << "/out"
                                        << "  img- \t" << 12 << "BMP"
                                        << "/out/img-12.bmp";
        QTest::newRow("no prefix") << "/out"
                                   << "" << 3 << "JP2"
                                   << "/out/3.jp2";
        QTest::newRow("root doubles") << "/"
                                      << "" << 4 << "PNG"
                                      << "//4.png";
        QTest::newRow("four letters") << "/out"
                                      << "" << 5 << "TIFF"
                                      << "/out/5.tiff";
        QTest::newRow("no extension") << "/out"
                                      << "" << 6 << ""
                                      << "/out/6.";
        QTest::newRow("blank extension") << "/out"
                                         << "" << 7 << " PNG"
                                         << "/out/7. png";
        QTest::newRow("folder kept untrimmed") << "/out "
                                               << "a" << 8 << "BMP"
                                               << "/out /a8.bmp";
    }
    void outputNames() {
        QFETCH(QString, folder);
        QFETCH(QString, prefix);
        QFETCH(int, number);
        QFETCH(QString, extension);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(extract::OutputFileName(
                     folder.toStdString(), prefix.toStdString(), number, extension.toStdString())),
                 name);
    }

    void hints_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("hint");
        const QString keep = "Output image format: <b>Keep the original</b>";
        QTest::newRow("original") << "Original" << true << keep;
        QTest::newRow("BMP")
            << "BMP" << true
            << "Forced output image format: <b>BMP</b> - Windows Bitmap File (*.BMP)";
        QTest::newRow("JPEG")
            << "JPEG" << true
            << "Forced output image format: <b>JPEG</b> - Independent JPEG Group (*.JPG)";
        QTest::newRow("JPEG-2000")
            << "JPEG-2000" << true
            << "Forced output image format: <b>JPEG-2000</b> - JPEG-2000 File Format (*.JP2)";
        QTest::newRow("PNG with blank")
            << " PNG" << true
            << "Forced output image format: <b>PNG</b> - Portable Network Graphics (*.PNG)";
        QTest::newRow("TIFF")
            << "TIFF" << true
            << "Forced output image format: <b>TIFF</b> - Tagged Image File Format (*.TIFF)";
        QTest::newRow("typed") << "gif" << true << keep;
        QTest::newRow("empty") << "  " << false << "";
    }
    void hints() {
        QFETCH(QString, text);
        QFETCH(bool, shown);
        QFETCH(QString, hint);
        const extract::FormatHint h = extract::HintForFormat(text.toStdString());
        QCOMPARE(h.shown, shown);
        if (shown)
            QCOMPARE(QString::fromStdString(h.text), hint);
    }

    // What the tool prints about page 3, as the user is told it.
    void toolFailures_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("a picture, plain words")
            << "Error: page 3, image 2 (object 12): cannot decode it: the image data is damaged: "
               "Corrupt JPEG data: premature end of data segment\n"
            << QStringList{"page 3, image 2 (object 12): the JPEG data is cut short"};
        QTest::newRow("no object, words of its own")
            << "Error: page 3, image 1: cannot decode it: unknown colour space\n"
            << QStringList{"page 3, image 1: unknown colour space"};
        QTest::newRow("the page, then a picture")
            << "Error: page 3: cannot read the page or an image on it: x\r\n\n"
               "Error: page 3, image 4 (object 9): refused: too large\n"
            << QStringList{"page 3: cannot read the page or an image on it: x",
                           "page 3, image 4 (object 9): refused: too large"};
        QTest::newRow("a line that names its page")
            << "Error: page 3 is broken" << QStringList{"page 3 is broken"};
        QTest::newRow("another page named") << "Error: page 30, image 1: no\n"
                                            << QStringList{"page 3: page 30, image 1: no"};
        QTest::newRow("a tool that died")
            << "'/t/glimmet.bin' was ended by signal 9\n"
            << QStringList{"page 3: '/t/glimmet.bin' was ended by signal 9"};
    }
    void toolFailures() {
        QFETCH(QString, output);
        QFETCH(QStringList, named);
        QStringList got;
        for (const extract::ImageFailure& f : extract::ToolFailures(3, output.toStdString()))
            got << QString::fromStdString(extract::NamedFailure(f));
        QCOMPARE(got, named);
    }

    void failureList_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("list");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("one") << 1 << "f1";
        QTest::newRow("ten") << 10 << "f1|f2|f3|f4|f5|f6|f7|f8|f9|f10";
        QTest::newRow("eleven") << 11 << "f1|f2|f3|f4|f5|f6|f7|f8|f9|f10|and 1 more";
        QTest::newRow("forty") << 40 << "f1|f2|f3|f4|f5|f6|f7|f8|f9|f10|and 30 more";
    }
    void failureList() {
        QFETCH(int, count);
        QFETCH(QString, list);
        std::vector<std::string> failures;
        for (int i = 1; i <= count; ++i)
            failures.push_back("f" + std::to_string(i));
        const auto more = [](std::size_t n) { return "and " + std::to_string(n) + " more"; };
        QCOMPARE(QString::fromStdString(extract::ListFailures(failures, "|", more)), list);
    }
};

QTEST_APPLESS_MAIN(ExtractRulesTest)
#include "tst_extract_rules.moc"
