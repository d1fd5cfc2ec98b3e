// Every image of the fixture documents, through arvenzo-extract into every
// format, comes out at its size, gray where the document holds it in gray,
// and with its exact pixels wherever the format is lossless.

#include "support/ImageCompare.h"
#include "support/ToolTests.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using tooltest::ExpectedImage;

class TestFidelity : public QObject {
    Q_OBJECT
    tooltest::Fixtures fx;
    QTemporaryDir temp_;

private slots:
    void initTestCase() {
        FreeImage_Initialise(FALSE);
        QVERIFY(fx.make(QStringLiteral(MAKE_FIXTURES_PATH), {"images", "fidelity"}));
    }
    void cleanupTestCase() { FreeImage_DeInitialise(); }

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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TEMP", temp_.path());
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(EXTRACT_PATH, {"-f", format, fx.path(pdf), out.path()});
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
};

QTEST_GUILESS_MAIN(TestFidelity)
#include "tst_fidelity.moc"
