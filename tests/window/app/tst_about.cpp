#include "WindowTests.h"
#include "about/UnitAboutDialog.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QTest>

class AboutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window_;

    void OpenAbout(std::function<void(QWidget*)> step) {
        testing::ModalAnswerer answerer;
        answerer.Next(std::move(step));
        window_->form->findChild<QAction*>("About1")->trigger();
    }

private slots:
    void init() {
        window_ = std::make_unique<WindowUnderTest>("2.5");
        window_->form->show();
    }
    void cleanup() { window_.reset(); }

    void showsTheTexts() {
        QString caption, name, link, copyright, licence;
        OpenAbout([&](QWidget* about) {
            QTRY_COMPARE(about->windowTitle(), QString("About Arvenzo"));
            caption = about->windowTitle();
            name = about->findChild<QLabel*>("sLabelSoftwareName")->text();
            link = about->findChild<QLabel*>("sLabel2")->text();
            copyright = about->findChild<QLabel*>("sLabel1")->text();
            licence = about->findChild<QLabel*>("sLabelLicense")->text();
            QCOMPARE(about->size(), QSize(414, 262));
            QTest::keyClick(about, Qt::Key_Escape);
        });
        QCOMPARE(name, QString("Arvenzo 2.5"));
        QCOMPARE(link, QString("http://tessaly.example/"));
        QCOMPARE(copyright, QString("Copyright \u00a9 2026 Tessaly."));
        QCOMPARE(licence, QString("Arvenzo is free software under the GNU AGPL,\n"
                                  "version 3 or later, and comes without warranty."));
        QVERIFY(window_->shell.Targets().empty());
    }

    void licenceLinkOpensTheLicence() {
        OpenAbout([](QWidget* about) {
            QTest::mouseClick(about->findChild<QWidget*>("sLabelLicenseLink"), Qt::LeftButton);
        });
        QCOMPARE(window_->shell.Targets(),
                 std::vector<std::string>{"https://www.gnu.org/licenses/agpl-3.0.html"});
    }

    void closingOpensNothing_data() {
        QTest::addColumn<testing::BoxAction>("action");
        QTest::newRow("OK") << testing::Click("OK");
        QTest::newRow("Escape") << testing::Press(Qt::Key_Escape);
        QTest::newRow("Enter") << testing::Press(Qt::Key_Return);
        QTest::newRow("close box") << testing::CloseBox();
    }
    void closingOpensNothing() {
        QFETCH(testing::BoxAction, action);
        testing::ModalAnswerer answerer;
        answerer.Next(action);
        window_->form->findChild<QAction*>("About1")->trigger();
        QCOMPARE(answerer.Pending(), 0);
        QVERIFY(window_->shell.Targets().empty());
    }

    void everyLinkOpensTheWebsiteOnce_data() {
        QTest::addColumn<QString>("link");
        for (const char* name :
             {"ImageAppLogo", "sLabelSoftwareName", "sLabel1", "sLabel2", "sLabelDescription"})
            QTest::newRow(name) << name;
    }
    void everyLinkOpensTheWebsiteOnce() {
        QFETCH(QString, link);
        // The page opened is the install record's, not the address shown.
        window_->context.website = "http://elsewhere.example/page";
        OpenAbout([&](QWidget* about) {
            QTest::mouseClick(about->findChild<QWidget*>(link), Qt::LeftButton);
        });
        QCOMPARE(window_->shell.Targets(),
                 std::vector<std::string>{"http://elsewhere.example/page"});
        // The click does not carry over to the next showing.
        OpenAbout([](QWidget* about) { QTest::keyClick(about, Qt::Key_Escape); });
        QCOMPARE(window_->shell.Targets().size(), std::size_t{1});
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
