#include "ToolContract.h"
#include "extract/ImageConversion.h"

#include <FreeImage.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

// Scratch file `number` of the given kind, named as the tool names it.
QString Scratch(int number, const char* kind) {
    return QString::fromStdString(contract::ScratchName(contract::kScratchRoot, number, kind));
}

// A scratch image of the given layout, written in `scratchFormat`.
QString WriteScratch(const QString& dir, const QString& name, int bpp,
                     FREE_IMAGE_FORMAT scratchFormat, FREE_IMAGE_TYPE type = FIT_BITMAP, int w = 40,
                     int h = 36, bool flat = false) {
    FIBITMAP* dib =
        type == FIT_BITMAP ? FreeImage_Allocate(w, h, bpp) : FreeImage_AllocateT(type, w, h, bpp);
    if (type == FIT_BITMAP && bpp <= 8) {
        RGBQUAD* palette = FreeImage_GetPalette(dib);
        const int colours = 1 << bpp;
        for (int i = 0; i < colours; ++i) {
            const BYTE v = static_cast<BYTE>(i * 255 / (colours - 1));
            palette[i] = RGBQUAD{v, v, v, 0};
        }
    }
    const unsigned pitch = FreeImage_GetPitch(dib);
    for (unsigned y = 0; y < FreeImage_GetHeight(dib); ++y) {
        BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
        for (unsigned i = 0; i < pitch; ++i)
            line[i] =
                flat ? BYTE(0x9c - 0x30 * (i % 3)) : static_cast<BYTE>((i * 7 + y * 13) & 0xff);
    }
    const QString path = dir + "/" + name;
    FreeImage_Save(scratchFormat, dib, path.toLocal8Bit().constData(), 0);
    FreeImage_Unload(dib);
    return path;
}

// The format a scratch file of that name is written in.
FREE_IMAGE_FORMAT ScratchFormat(const QString& name) {
    return name.endsWith(contract::kBilevel)        ? FIF_PBMRAW
           : name.endsWith(contract::kGray)         ? FIF_PGMRAW
           : name.endsWith(contract::kStoredAsJpeg) ? FIF_PPMRAW
           : name.endsWith(".png")                  ? FIF_PNG
                                                    : FIF_BMP;
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
    extract::FreeImageSession session_;

private slots:
    void everyLayoutIntoEveryFormat_data() {
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("expected"); // FreeImage format found in the output
        QTest::addColumn<QString>("suffix");
        const struct {
            QString scratch;
            int bpp;
            FREE_IMAGE_TYPE type;
            FREE_IMAGE_FORMAT writeAs;
        } layouts[] = {{Scratch(0, contract::kBilevel), 1, FIT_BITMAP, FIF_PBMRAW},
                       {Scratch(1, contract::kGray), 8, FIT_BITMAP, FIF_PGMRAW},
                       {Scratch(2, contract::kStoredAsJpeg), 24, FIT_BITMAP, FIF_PPMRAW},
                       {Scratch(3, contract::kColour), 32, FIT_BITMAP, FIF_BMP},
                       {Scratch(4, contract::kGray), 16, FIT_UINT16, FIF_PGMRAW},
                       {Scratch(5, ".png"), 48, FIT_RGB16, FIF_PNG}};
        const struct {
            const char* text;
            FREE_IMAGE_FORMAT fif;
            const char* suffix;
        } formats[] = {{"BMP", FIF_BMP, "bmp"},
                       {"JPEG", FIF_JPEG, "jpg"},
                       {"PNG", FIF_PNG, "png"},
                       {"TIFF", FIF_TIFF, "tiff"},
                       {"JPEG-2000", FIF_JP2, "jp2"}};
        for (const auto& l : layouts)
            for (const auto& f : formats)
                QTest::newRow(qPrintable(QString("%1 to %2").arg(l.scratch, f.text)))
                    << l.scratch << l.bpp << int(l.type) << f.text << int(f.fif) << f.suffix;
        QTest::newRow("original ppm") << Scratch(6, contract::kStoredAsJpeg) << 24
                                      << int(FIT_BITMAP) << "Original" << int(FIF_JPEG) << "jpg";
        // A gray picture the tool found stored as JPEG: a gray map under
        // the JPEG picture's name.
        QTest::newRow("original gray ppm")
            << Scratch(8, contract::kStoredAsJpeg) << 8 << int(FIT_BITMAP) << "Original"
            << int(FIF_JPEG) << "jpg";
        QTest::newRow("original alpha") << Scratch(7, contract::kColour) << 32 << int(FIT_BITMAP)
                                        << "Original" << int(FIF_BMP) << "bmp";
    }
    void everyLayoutIntoEveryFormat() {
        QFETCH(QString, scratch);
        QFETCH(int, bpp);
        QFETCH(int, type);
        QFETCH(QString, format);
        QFETCH(int, expected);
        QFETCH(QString, suffix);
        QTemporaryDir dir;
        QDir().mkdir(dir.filePath("out"));
        const FREE_IMAGE_FORMAT writeAs = ScratchFormat(scratch);
        const QString path = WriteScratch(dir.path(), scratch, bpp, writeAs, FREE_IMAGE_TYPE(type));
        QVERIFY(QFile::exists(path));
        const extract::ConversionSettings settings{format.toStdString(),
                                                   dir.filePath("out").toStdString(), " p-"};
        QVERIFY(extract::ConvertExtractedImage(path.toStdString(), 7, settings));
        QVERIFY(!QFile::exists(path));
        const QString out = dir.filePath("out/p-7." + suffix);
        QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"p-7." + suffix});
        QCOMPARE(int(FreeImage_GetFileType(out.toLocal8Bit().constData(), 0)), expected);
        FIBITMAP* back =
            FreeImage_Load(FREE_IMAGE_FORMAT(expected), out.toLocal8Bit().constData(), 0);
        QVERIFY(back);
        QCOMPARE(FreeImage_GetWidth(back), 40u);
        QCOMPARE(FreeImage_GetHeight(back), 36u);
        // Gray stays one channel in every format: a gray map, a bilevel
        // scan or 16-bit gray never comes out as colour.
        const bool grayIn = bpp == 1 || bpp == 8 || bpp == 16;
        const FREE_IMAGE_COLOR_TYPE colour = FreeImage_GetColorType(back);
        const bool grayOut =
            (colour == FIC_MINISBLACK || colour == FIC_MINISWHITE) && FreeImage_GetBPP(back) <= 16;
        QCOMPARE(grayOut, grayIn);
        FreeImage_Unload(back);
    }

    // Icons, bullets and rules are smaller than the 32 pixels a side that
    // FreeImage's JPEG-2000 writer needs; they come out all the same, in
    // their own layout and colour.
    void smallPicturesIntoJpeg2000_data() {
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("backBpp");
        QTest::newRow("one pixel of gray")
            << Scratch(0, contract::kGray) << 8 << int(FIT_BITMAP) << 1 << 1 << 8;
        QTest::newRow("bullet in colour")
            << Scratch(0, contract::kStoredAsJpeg) << 24 << int(FIT_BITMAP) << 10 << 8 << 24;
        QTest::newRow("rule, 300 by 2")
            << Scratch(0, contract::kStoredAsJpeg) << 24 << int(FIT_BITMAP) << 300 << 2 << 24;
        QTest::newRow("31 high, with alpha")
            << Scratch(0, contract::kColour) << 32 << int(FIT_BITMAP) << 64 << 31 << 32;
        QTest::newRow("bilevel") << Scratch(0, contract::kBilevel) << 1 << int(FIT_BITMAP) << 13
                                 << 9 << 8;
        QTest::newRow("16-bit gray")
            << Scratch(0, contract::kGray) << 16 << int(FIT_UINT16) << 7 << 20 << 8;
    }
    void smallPicturesIntoJpeg2000() {
        QFETCH(QString, scratch);
        QFETCH(int, bpp);
        QFETCH(int, type);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, backBpp);
        QTemporaryDir dir;
        const FREE_IMAGE_FORMAT writeAs = ScratchFormat(scratch);
        const bool flat = bpp == 24;
        const QString path =
            WriteScratch(dir.path(), scratch, bpp, writeAs, FREE_IMAGE_TYPE(type), w, h, flat);
        const extract::ConversionSettings settings{"JPEG-2000", dir.path().toStdString(), ""};
        QVERIFY(extract::ConvertExtractedImage(path.toStdString(), 1, settings));
        const QByteArray out = dir.filePath("1.jp2").toLocal8Bit();
        QCOMPARE(int(FreeImage_GetFileType(out, 0)), int(FIF_JP2));
        FIBITMAP* back = FreeImage_Load(FIF_JP2, out, 0);
        QVERIFY(back);
        QCOMPARE(int(FreeImage_GetWidth(back)), w);
        QCOMPARE(int(FreeImage_GetHeight(back)), h);
        QCOMPARE(int(FreeImage_GetBPP(back)), backBpp);
        if (flat) {
            RGBQUAD pixel{};
            FreeImage_GetPixelColor(back, unsigned(w) / 2, unsigned(h) / 2, &pixel);
            // Lossy at 12 to 1, but never another colour.
            QVERIFY(std::abs(pixel.rgbBlue - 0x9c) <= 6);
            QVERIFY(std::abs(pixel.rgbGreen - 0x6c) <= 6);
            QVERIFY(std::abs(pixel.rgbRed - 0x3c) <= 6);
        }
        FreeImage_Unload(back);
    }

    // The tool's bitmaps, graymaps and pixmaps come out with the pixels
    // FreeImage itself reads from them, odd widths and header comments too;
    // a short or odd one is not passed off as an image.
    void toolScratchFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QByteArray bits("P4\n13 3\n");
        bits.append("\x81\x07\xff\x00\x55\xaa", 6);
        QByteArray gray("P5\n5 2\n255\n");
        gray.append("\x00\x10\x80\xf0\xff\x01\x02\x03\x04\x05", 10);
        QByteArray rgb("P6\n# made by hand\n3 2\n255\n");
        for (int i = 0; i < 18; ++i)
            rgb.append(static_cast<char>(i * 14));
        QTest::newRow("bitmap, 13 wide") << Scratch(0, contract::kBilevel) << bits << true;
        QTest::newRow("graymap, 5 wide") << Scratch(0, contract::kGray) << gray << true;
        QTest::newRow("pixmap with a comment")
            << Scratch(0, contract::kStoredAsJpeg) << rgb << true;
        QTest::newRow("bitmap cut short")
            << Scratch(0, contract::kBilevel) << bits.chopped(1) << false;
        QTest::newRow("pixmap cut short")
            << Scratch(0, contract::kStoredAsJpeg) << rgb.chopped(3) << false;
        QTest::newRow("header only")
            << Scratch(0, contract::kGray) << QByteArray("P5\n5 2\n255\n") << false;
    }
    void toolScratchFiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QTemporaryDir dir;
        const QString scratch = dir.filePath(name);
        QFile f(scratch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const QByteArray scratchPath = scratch.toLocal8Bit();
        FIBITMAP* reference = FreeImage_Load(FreeImage_GetFileType(scratchPath, 0), scratchPath, 0);
        const extract::ConversionSettings settings{"PNG", dir.path().toStdString(), ""};
        QCOMPARE(extract::ConvertExtractedImage(scratch.toStdString(), 1, settings), readable);
        QVERIFY(!QFile::exists(scratch));
        if (!readable) {
            FreeImage_Unload(reference);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
            return;
        }
        QVERIFY(reference);
        FIBITMAP* out = FreeImage_Load(FIF_PNG, dir.filePath("1.png").toLocal8Bit(), 0);
        QVERIFY(out);
        FIBITMAP* a = FreeImage_ConvertTo32Bits(reference);
        FIBITMAP* b = FreeImage_ConvertTo32Bits(out);
        QCOMPARE(FreeImage_GetBPP(out), FreeImage_GetBPP(reference));
        QCOMPARE(FreeImage_GetWidth(b), FreeImage_GetWidth(a));
        QCOMPARE(FreeImage_GetHeight(b), FreeImage_GetHeight(a));
        for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
            QVERIFY(std::equal(FreeImage_GetScanLine(a, y),
                               FreeImage_GetScanLine(a, y) + FreeImage_GetWidth(a) * 4,
                               FreeImage_GetScanLine(b, y)));
        for (FIBITMAP* d : {reference, out, a, b})
            FreeImage_Unload(d);
    }

    void unreadableScratchFailsAndIsDeleted() {
        QTemporaryDir dir;
        const QString scratch = dir.filePath(Scratch(0, contract::kStoredAsJpeg));
        QFile f(scratch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not an image");
        f.close();
        const extract::ConversionSettings settings{"PNG", dir.path().toStdString(), ""};
        QVERIFY(!extract::ConvertExtractedImage(scratch.toStdString(), 1, settings));
        QVERIFY(!QFile::exists(scratch));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }

    void failedSaveKeepsTheFileThatWasThere() {
        QTemporaryDir dir;
        QFile old(dir.filePath("1.png"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier run");
        old.close();
        const QString scratch = dir.filePath(Scratch(0, contract::kStoredAsJpeg));
        QFile f(scratch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const extract::ConversionSettings settings{"PNG", dir.path().toStdString(), ""};
        QVERIFY(!extract::ConvertExtractedImage(scratch.toStdString(), 1, settings));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier run"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"1.png"});
    }

    void successReplacesWithoutAsking() {
        QTemporaryDir dir;
        QFile old(dir.filePath("1.bmp"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier run");
        old.close();
        const QString scratch =
            WriteScratch(dir.path(), Scratch(0, contract::kStoredAsJpeg), 24, FIF_PPMRAW);
        const extract::ConversionSettings settings{"Original", dir.path().toStdString(), ""};
        QVERIFY(!extract::ConvertExtractedImage(scratch.toStdString(), 1, settings) == false);
        QVERIFY(QFile::exists(dir.filePath("1.jpg")));
        QVERIFY(extract::ConvertExtractedImage(
            WriteScratch(dir.path(), Scratch(1, contract::kBilevel), 1, FIF_PBMRAW).toStdString(),
            1, settings));
        QCOMPARE(FreeImage_GetFileType(dir.filePath("1.bmp").toLocal8Bit().constData(), 0),
                 FIF_BMP);
    }

    // The document's own bytes are copied as they are and take their name
    // as every encoded file does.
    void keptBytesAreCopied_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("noClobber");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("named");
        const QByteArray jpeg("\xff\xd8 the document's JPEG \xff\xd9");
        const auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
        row("Original, over an earlier file") << "Original" << contract::kKeptJpeg << jpeg << false
                                              << int(extract::Converted::Written) << "1.jpg";
        row("JPEG, name taken, no-clobber") << "JPEG" << contract::kKeptJpeg << jpeg << true
                                            << int(extract::Converted::Kept) << "1.jpg";
        row("JPEG-2000") << "JPEG-2000" << contract::kKeptJpx << QByteArray("jp2 file") << false
                         << int(extract::Converted::Written) << "1.jp2";
        row("nothing to copy") << "Original" << contract::kKeptJpeg << QByteArray() << false
                               << int(extract::Converted::Failed) << "1.jpg";
    }
    void keptBytesAreCopied() {
        QFETCH(QString, format);
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, noClobber);
        QFETCH(int, outcome);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QFile old(dir.filePath(named));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier run");
        old.close();
        QTemporaryDir scratchDir;
        const QString scratch = scratchDir.filePath(Scratch(0, qPrintable(kind)));
        QFile f(scratch);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const extract::ConversionSettings settings{format.toStdString(), dir.path().toStdString(),
                                                   "", noClobber, 5};
        std::string target;
        QCOMPARE(int(extract::ConvertImage(scratch.toStdString(), "1", settings, target)), outcome);
        QCOMPARE(QString::fromStdString(target), dir.filePath(named));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(),
                 outcome == int(extract::Converted::Written) ? bytes : QByteArray("earlier run"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{named});
        QVERIFY(!QFile::exists(scratch));
    }

    void missingFolderFails() {
        QTemporaryDir dir;
        const QString scratch =
            WriteScratch(dir.path(), Scratch(0, contract::kStoredAsJpeg), 24, FIF_PPMRAW);
        const extract::ConversionSettings settings{"PNG", dir.filePath("gone").toStdString(), ""};
        QVERIFY(!extract::ConvertExtractedImage(scratch.toStdString(), 1, settings));
        QVERIFY(!QFile::exists(scratch));
    }
};

QTEST_APPLESS_MAIN(ConversionTest)
#include "tst_conversion.moc"
