#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "platform/Processes.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kNoVersion = "Could not determinated the application's\r\nversion number!\r\n\r\n"
                           "Please re-install this software!\r\n";
const QString kNoWebsite = "Could not determinated the application's\r\nwebsite!\r\n\r\n"
                           "Please re-install this software!\r\n";

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void installRecord_data() {
        QTest::addColumn<QStringList>("record"); // empty: no record at all
        QTest::addColumn<QString>("box");        // empty: no box
        QTest::newRow("no record") << QStringList{} << kNoVersion;
        QTest::newRow("no version") << QStringList{"Website=http://w/"} << kNoVersion;
        QTest::newRow("no website") << QStringList{"Version=2.0"} << kNoWebsite;
        QTest::newRow("website not a string")
            << QStringList{"Version=2.0", "Website=dword:1"} << kNoWebsite;
        QTest::newRow("complete") << QStringList{"Version=2.0", "Website=http://w/"} << QString();
    }
    void installRecord() {
        QFETCH(QStringList, record);
        QFETCH(QString, box);
        testing::TestEnvironment env;
        if (!record.isEmpty())
            env.WriteRecord("Arvenzo", record);
        testing::ModalAnswerer answerer;
        if (!box.isEmpty())
            answerer.Next(testing::Click("OK"));
        app::AppContext context;
        app::TMainForm form(context);
        QCOMPARE(answerer.Seen(), box.isEmpty() ? QStringList{} : QStringList{box});
        QCOMPARE(form.Terminating(), !box.isEmpty());
        if (box.isEmpty()) {
            QCOMPARE(context.version, std::string("2.0"));
            QCOMPARE(context.website, std::string("http://w/"));
        }
        // The rest of start-up still ran.
        QCOMPARE(form.windowTitle(), QString("Arvenzo"));
        QCOMPARE(context.websiteDomain, std::string("tessaly.example"));
        QCOMPARE(context.feedbackAddress, std::string("mailto:feedback@tessaly.example"));
        QCoreApplication::processEvents(); // the queued quit must not linger
    }

    void programFolders() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::AppContext context;
        app::TMainForm form(context);
        QCOMPARE(QString::fromStdString(context.workFolder), env.Temp() + "/Arvenzo/");
        QVERIFY(QFileInfo(env.Temp() + "/Arvenzo").isDir());
        QCOMPARE(QString::fromStdString(context.appFolder),
                 QCoreApplication::applicationDirPath() + "/");
    }

    void tempWithTrailingSeparator() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        qputenv("TEMP", (env.Temp() + "/").toLocal8Bit());
        app::AppContext context;
        app::TMainForm form(context);
        QCOMPARE(QString::fromStdString(context.workFolder), env.Temp() + "//Arvenzo/");
    }

    void exitEmptiesScratchFolder() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::AppContext context;
        auto form = std::make_unique<app::TMainForm>(context);
        const QString work = QString::fromStdString(context.workFolder);
        for (const char* name : {"tmp-000.ppm", "tmp-001.pbm", "tmp-1000.pgm", ".keep"})
            Touch(work + name);
        QDir(work).mkdir("sub");
        Touch(work + "sub/inner.ppm");
        form->show();
        form->findChild<QAction*>("Exit")->trigger();
        QVERIFY(!form->isVisible());
        QCOMPARE(
            QDir(work).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
            (QStringList{".keep", "sub"}));
        QVERIFY(QFile::exists(work + "sub/inner.ppm"));
        // Destroying the window afterwards finds nothing more to do.
        Touch(work + "late.ppm");
        form.reset();
        QVERIFY(!QFile::exists(work + "late.ppm"));
    }

    // What windows ended by force left goes at the next start: the scratch
    // folders of their own, and the files in the shared one. A live
    // window's folder stays.
    void leftScratchGoes() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        const QString shared = env.Temp() + "/Arvenzo";
        const QString ended = env.Temp() + "/Arvenzo-2hwch-1-abc123"; // no such process
        const QString live =
            env.Temp() + "/Arvenzo-" + QString::fromStdString(platform::ProcessMark()) + "-abc123";
        for (const QString& folder : {shared, ended, live}) {
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(QFile::setPermissions(folder,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            Touch(folder + "/tmp-000.ppm");
        }
        Touch(shared + "/~7-tmp-001.bmp");
        app::AppContext context;
        app::TMainForm form(context);
        QCOMPARE(QString::fromStdString(context.workFolder), shared + "/");
        QVERIFY(!QFileInfo::exists(ended));
        QVERIFY(QFileInfo::exists(live + "/tmp-000.ppm"));
        QCOMPARE(QDir(shared).entryList(QDir::Files), QStringList());
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
