// The main window's online commands, end to end: the real window, the
// vendor service on loopback.
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"
#include "tools/vendor-service/VendorServiceProcess.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

namespace {

const QString kWebsite = "http://tessaly.example/arvenzo.html";

} // namespace

class TestOnlineWiring : public QObject {
    Q_OBJECT

private slots:
    void showsAndPlaysTheVideoTutorial();
    void startsTheProEditionFromButtonAndMenuAlike();
};

void TestOnlineWiring::showsAndPlaysTheVideoTutorial() {
    testing::TestEnvironment environment;
    environment.WriteArvenzoRecord("2.0", kWebsite);
    testing::VendorServiceProcess service("[product 11]\nvideo = intro\nversion = 1.4\n");
    qputenv("ARVENZO_VENDOR", service.Address());
    testing::ShellRecorder shell;

    app::AppContext context;
    app::TMainForm form(context);
    form.show();
    auto* play = form.findChild<QPushButton*>("sBitBtnPlayVideo");
    auto* item = form.findChild<QAction*>("Videotutorial1");
    QTRY_VERIFY(play->isVisible());
    QVERIFY(item->isVisible());
    QCOMPARE(form.findChild<QGroupBox*>("sGroupBox1")->geometry(), QRect(6, 4, 400, 102));
    // The installed 2.0 is newer than 1.4: no question came up.
    QVERIFY(service.WaitForLog("checkversionid.php"));
    QTest::qWait(100);
    QVERIFY(!QApplication::activeModalWidget());

    play->click();
    item->trigger();
    const std::string video = kWebsite.toStdString() + "?playvideo";
    QCOMPARE(shell.Targets(), (std::vector<std::string>{video, video}));
}

void TestOnlineWiring::startsTheProEditionFromButtonAndMenuAlike() {
    testing::TestEnvironment environment;
    environment.WriteArvenzoRecord("2.0", kWebsite);
    const QString pro = environment.Root() + "/quorrin";
    testing::VendorServiceProcess::Write(pro, "ELF");
    environment.WriteRecord("Quorrin", {"InstallPath=" + pro});
    testing::ShellRecorder shell;

    app::AppContext context;
    app::TMainForm form(context);
    form.show();
    form.findChild<QPushButton*>("sBitBtnGetProVersion")->click();
    form.findChild<QAction*>("GetProVersion1")->trigger();
    QCOMPARE(shell.Targets(), (std::vector<std::string>{pro.toStdString(), pro.toStdString()}));
}

QTEST_MAIN(TestOnlineWiring)
#include "tst_online_wiring.moc"
