// Every image of the fixture documents, through arvenzo-extract into every
// format, comes out at its size, gray where the document holds it in gray,
// and with its exact pixels wherever the format is lossless; a JPEG or
// JPEG-2000 picture that stands on its own comes out as its own bytes.

#include "support/ImageCompare.h"
#include "support/ToolTests.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using tooltest::ExpectedImage;

class TestFidelity : public QObject {
    Q_OBJECT
    tooltest::Fixtures fx;
    QTemporaryDir temp_;

    void Start(QProcess& p, const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TEMP", temp_.path());
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(EXTRACT_PATH, args);
    }
    QByteArray Run(const QStringList& args, int& code) {
        QProcess p;
        Start(p, args);
        if (!p.waitForFinished(120000))
            return {};
        code = p.exitCode();
        return p.readAllStandardOutput();
    }
    QString PageOf(const QString& label) const { return PageOf("kept.pdf", label); }
    // The profile a PNG file holds in its iCCP chunk: a name, a method byte,
    // then the profile deflated.
    static QByteArray PngProfile(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray png = file.readAll();
        for (qsizetype at = 8; at + 12 <= png.size();) {
            const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
            const QByteArray data = png.mid(at + 8, length);
            if (png.mid(at + 4, 4) == "iCCP") {
                const QByteArray deflated = data.mid(data.indexOf('\0') + 2);
                return qUncompress(QByteArray::fromHex("00100000") + deflated);
            }
            at += 12 + length;
        }
        return {};
    }
    QString PageOf(const QString& pdf, const QString& label) const {
        for (int i = 0; i < fx.pages.size(); ++i)
            if (fx.pages[i].first == pdf && fx.labels[i] == label)
                return QString::number(fx.pages[i].second);
        return {};
    }

private slots:
    void initTestCase() {
        FreeImage_Initialise(FALSE);
        QVERIFY(
            fx.make(QStringLiteral(MAKE_FIXTURES_PATH), {"images", "fidelity", "kept", "carried"}));
    }
    void cleanupTestCase() { FreeImage_DeInitialise(); }

    // Each file of carried.pdf, in each format that holds them, carries the
    // resolution its picture is drawn at (to the format's precision; 72
    // where it is drawn at no size) and, where its samples are in the
    // profile's colours, the document's profile byte for byte.
    void filesCarryWhatTheDocumentKnows_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("ppi");
        QTest::addColumn<QString>("profile"); // carried-PROFILE.icc; empty for none
        struct Page {
            const char* label;
            double ppi;
            const char* profile;
        };
        const Page pages[] = {
            {"rgb-300", 300, "rgb-300"},
            {"gray-twice", 150, "gray-twice"},
            {"cmyk", 300, ""},
            {"turned", 300, ""},
            {"flipped", 300, ""},
            {"no-extent", 72, ""},
            {"jpeg-without", 300, "jpeg-without"},
            {"odd-profile", 300, "odd-profile"},
        };
        for (const QString format : {"PNG", "TIFF", "JPEG", "BMP"})
            for (const Page& page : pages) {
                const QString label = page.label;
                // BMP holds no profile; PNG's writer refuses the odd one; a
                // JPEG kept as its own bytes stays as it is.
                const bool kept = format == "JPEG" && label == "jpeg-without";
                const bool holds =
                    format != "BMP" && !kept && !(format == "PNG" && label == "odd-profile");
                QTest::addRow("%s %s", qPrintable(format), page.label)
                    << format << label << (kept ? 72.0 : page.ppi)
                    << QString(holds ? page.profile : "");
            }
    }
    void filesCarryWhatTheDocumentKnows() {
        QFETCH(QString, format);
        QFETCH(QString, label);
        QFETCH(double, ppi);
        QFETCH(QString, profile);
        QTemporaryDir out;
        const QString page = PageOf("carried.pdf", label);
        int code = -1;
        Run({"-q", "-f", format, "-r", page, fx.path("carried.pdf"), out.path()}, code);
        QCOMPARE(code, 0);
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QByteArray path = QFile::encodeName(out.filePath(files.front()));
        const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.constData(), 0);
        FIBITMAP* dib = FreeImage_Load(fif, path.constData(), 0);
        QVERIFY(dib);
        const double x = FreeImage_GetDotsPerMeterX(dib) * 0.0254;
        const double y = FreeImage_GetDotsPerMeterY(dib) * 0.0254;
        const FIICCPROFILE* icc = FreeImage_GetICCProfile(dib);
        // FreeImage does not read a PNG's profile back.
        const QByteArray carried = fif == FIF_PNG ? PngProfile(out.filePath(files.front()))
                                                  : QByteArray(static_cast<const char*>(icc->data),
                                                               icc->data ? icc->size : 0);
        FreeImage_Unload(dib);
        QVERIFY2(qAbs(x - ppi) <= 0.5 && qAbs(y - ppi) <= 0.5,
                 qPrintable(QString("%1 x %2").arg(x).arg(y)));
        QFile document(fx.path("carried-" + profile + ".icc"));
        QCOMPARE(carried, profile.isEmpty() || !document.open(QIODevice::ReadOnly)
                              ? QByteArray()
                              : document.readAll());
    }

    // The listing and the manifest say the same of a picture: where each use
    // stands, and its profile by description and digest, held or not.
    void jsonSaysWhereAndWhichProfile_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("box"); // the first use's
        QTest::addColumn<double>("rotation");
        QTest::addColumn<bool>("flipped");
        QTest::addColumn<int>("uses");
        QTest::addColumn<bool>("carried"); // of a profile, where there is one
        QTest::addRow("rgb, PNG") << "rgb-300"
                                  << "PNG"
                                  << "10 20 34 32" << 0.0 << false << 1 << true;
        QTest::addRow("rgb, BMP") << "rgb-300"
                                  << "BMP"
                                  << "10 20 34 32" << 0.0 << false << 1 << false;
        QTest::addRow("drawn twice") << "gray-twice"
                                     << "TIFF"
                                     << "10 20 58 44" << 0.0 << false << 2 << true;
        QTest::addRow("cmyk made RGB") << "cmyk"
                                       << "PNG"
                                       << "10 20 34 32" << 0.0 << false << 1 << false;
        QTest::addRow("turned") << "turned"
                                << "PNG"
                                << "38 20 50 44" << 90.0 << false << 1 << false;
        QTest::addRow("flipped") << "flipped"
                                 << "PNG"
                                 << "36 20 60 32" << 180.0 << true << 1 << false;
        QTest::addRow("kept without") << "jpeg-without"
                                      << "JPEG"
                                      << "10 20 34 32" << 0.0 << false << 1 << false;
    }
    void jsonSaysWhereAndWhichProfile() {
        QFETCH(QString, label);
        QFETCH(QString, format);
        QFETCH(QString, box);
        QFETCH(double, rotation);
        QFETCH(bool, flipped);
        QFETCH(int, uses);
        QFETCH(bool, carried);
        QTemporaryDir out;
        const QStringList asked{"-f", format, "-r", PageOf("carried.pdf", label)};
        int code = -1;
        const QByteArray listed =
            Run(asked + QStringList{"--list", "--json", fx.path("carried.pdf")}, code);
        QCOMPARE(code, 0);
        Run(asked + QStringList{"-q", "--manifest", fx.path("carried.pdf"), out.path()}, code);
        QCOMPARE(code, 0);
        QFile manifest(out.filePath("manifest.jsonl"));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = manifest.readAll().split('\n');
        QFile icc(fx.path("carried-" + label + ".icc"));
        const QByteArray digest =
            icc.open(QIODevice::ReadOnly)
                ? QCryptographicHash::hash(icc.readAll(), QCryptographicHash::Sha256).toHex()
                : QByteArray();
        for (const QByteArray& line : {listed.trimmed(), lines.value(1)}) {
            const QJsonObject row = QJsonDocument::fromJson(line).object();
            const QJsonArray placements = row["placements"].toArray();
            QCOMPARE(placements.size(), uses);
            const QJsonObject first = placements.first().toObject();
            QStringList corners;
            for (const QJsonValue v : first["box"].toArray())
                corners << QString::number(v.toDouble());
            QCOMPARE(corners.join(' '), box);
            QCOMPARE(first["rotation"].toDouble(), rotation);
            QCOMPARE(first["flipped"].toBool(), flipped);
            const QJsonObject profile = row["profile"].toObject();
            QCOMPARE(profile["sha256"].toString().toLatin1(), digest);
            if (!digest.isEmpty()) {
                QCOMPARE(profile["description"].toString(), "Arvenzo " + label);
                QCOMPARE(profile["carried"].toBool(), carried);
            }
        }
    }

    void everyImageInEveryFormat_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("format");
        for (const char* pdf : {"images.pdf", "fidelity.pdf"})
            for (const char* format : {"Original", "BMP", "JPEG", "JPEG-2000", "PNG", "TIFF"})
                QTest::addRow("%s %s", pdf, format) << pdf << format;
    }
    void everyImageInEveryFormat() {
        QFETCH(QString, pdf);
        QFETCH(QString, format);
        QTemporaryDir out;
        QProcess p;
        Start(p, {"-f", format, fx.path(pdf), out.path()});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());

        QList<ExpectedImage> want;
        for (const ExpectedImage& e : fx.images)
            if (e.pdf == pdf)
                want << e;
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), want.size());
        for (int i = 0; i < want.size(); ++i) {
            const bool jpeg = format == "JPEG" || (format == "Original" && want[i].ext == "ppm");
            const QString suffix = format == "Original"    ? (jpeg ? "jpg" : "bmp")
                                   : format == "JPEG"      ? "jpg"
                                   : format == "JPEG-2000" ? "jp2"
                                                           : format.toLower();
            const QString name = QString("%1.%2").arg(i + 1).arg(suffix);
            const tooltest::Decoded got = tooltest::readBack(out.filePath(name));
            QVERIFY2(got.w == want[i].w && got.h == want[i].h, qPrintable(name + ": wrong size"));
            // JPEG has no alpha: a translucent picture comes out laid over white.
            if (jpeg && tooltest::translucent(want[i].rgba))
                continue;
            if (jpeg || format == "JPEG-2000") {
                QVERIFY2(got.gray == tooltest::opaqueGray(want[i].rgba),
                         qPrintable(name + ": wrong number of channels"));
                continue; // lossy: the pixels are the writer's
            }
            const QString diff = tooltest::pixelDifference(want[i], got);
            QVERIFY2(diff.isEmpty(), qPrintable(name + ": " + diff));
        }
    }

    // The written file against the picture's data in the document, and the
    // listing of the same run against the file.
    void keepsTheDocumentsOwnBytes_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<QString>("outcome"); // kept, encoded or refused
        auto row = [](const char* name, const char* label, const char* format, const char* quality,
                      const char* outcome) {
            QTest::newRow(name) << QString(label) << QString(format) << QString(quality)
                                << QString(outcome);
        };
        row("gray", "gray", "Original", "80", "kept");
        row("RGB as JPEG, whatever the quality", "rgb", "JPEG", "10", "kept");
        row("Adobe CMYK, inverted by Decode", "cmyk-adobe", "Original", "80", "kept");
        row("progressive", "progressive", "Original", "80", "kept");
        row("Flate over DCT", "flate-over-dct", "JPEG", "80", "kept");
        row("JPEG-2000 codestream", "jpx-codestream", "JPEG-2000", "80", "kept");
        row("JPEG-2000 in Original", "jpx-codestream", "Original", "80", "encoded");
        row("JPEG as PNG", "rgb", "PNG", "80", "encoded");
        row("inverting Decode", "inverting-decode", "Original", "80", "encoded");
        row("soft mask", "soft-mask", "JPEG", "80", "encoded");
        row("Indexed over DCT", "indexed", "Original", "80", "encoded");
        row("size disagrees", "size-disagrees", "Original", "80", "refused");
    }
    void keepsTheDocumentsOwnBytes() {
        QFETCH(QString, label);
        QFETCH(QString, format);
        QFETCH(QString, quality);
        QFETCH(QString, outcome);
        const QString page = PageOf(label);
        QVERIFY(!page.isEmpty());
        QFile stored(fx.path("kept-" + label + ".bin"));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray data = stored.readAll();

        QTemporaryDir out;
        int code = -1;
        Run({"-r", page, "-f", format, "--quality", quality, fx.path("kept.pdf"), out.path()},
            code);
        const QStringList files = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
        int listed = -1;
        const QStringList rows =
            QString::fromUtf8(
                Run({"--json", "-r", page, "-f", format, fx.path("kept.pdf")}, listed))
                .split('\n')
                .filter("{");
        if (outcome == "refused") {
            QCOMPARE(code, 1);
            QCOMPARE(files, QStringList());
            QCOMPARE(rows.size(), 0);
            return;
        }
        QCOMPARE(code, 0);
        QCOMPARE(files.size(), 1);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows[0].contains("\"output\":\"" + outcome + "\""), qPrintable(rows[0]));
        QFile written(out.filePath(files[0]));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        const tooltest::Decoded got = tooltest::readBack(written.fileName());
        QCOMPARE(QList<int>({got.w, got.h}), QList<int>({64, 48}));
        if (outcome == "encoded") {
            QVERIFY(!bytes.contains(data));
        } else if (files[0].endsWith(".jp2")) {
            // A bare codestream gains the boxes of a JP2 file, itself untouched.
            QVERIFY(bytes.startsWith(QByteArray("\0\0\0\x0cjP  ", 8)));
            QVERIFY(bytes.endsWith(data));
        } else {
            QCOMPARE(files[0], QString("1.jpg"));
            QVERIFY(bytes == data);
        }
    }

    void qualitySetsTheEncoding() {
        qint64 size[2] = {};
        for (int i = 0; i < 2; ++i) {
            QTemporaryDir out;
            int code = -1;
            Run({"-r", PageOf("flate"), "-f", "jpeg", "--quality", i ? "95" : "20",
                 fx.path("kept.pdf"), out.path()},
                code);
            QCOMPARE(code, 0);
            size[i] = QFileInfo(out.filePath("1.jpg")).size();
        }
        QVERIFY2(size[0] > 0 && size[0] < size[1], qPrintable(QString::number(size[0])));
    }
};

QTEST_GUILESS_MAIN(TestFidelity)
#include "tst_fidelity.moc"
