// Inspection against the real vellam.bin on generated documents.
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"
#include "support/ToolTests.h"
#include "toolkit/PathEdits.h"

#include <QLineEdit>
#include <QTest>

namespace {

const QString kHeader = "Couldn't read PDF header info!\r\nProbably this file is damaged!";

std::function<void(QWidget*)> Type(const QString& text, Qt::Key key = Qt::Key_Return) {
    return [text, key](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("Value");
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, key);
    };
}

} // namespace

class RealInspectionTest : public QObject {
    Q_OBJECT
    tooltest::Fixtures fixtures_;
    std::unique_ptr<testing::TestEnvironment> env_;
    app::AppContext context_; // one for every test, as in one run of the program
    std::unique_ptr<app::TMainForm> form_;

    QString Pages() const { return form_->findChild<QLineEdit*>("sEditPageCount")->text(); }
    toolkit::TFilenameEdit* Input() const {
        return form_->findChild<toolkit::TFilenameEdit*>("sFilenameEditInput");
    }

private slots:
    void initTestCase() {
        QVERIFY(
            fixtures_.make(MAKE_FIXTURES_PATH, {"multipage", "passwords", "metadata", "damaged"}));
    }
    void init() {
        env_ = std::make_unique<testing::TestEnvironment>();
        env_->WriteArvenzoRecord();
        form_ = std::make_unique<app::TMainForm>(context_);
        context_.appFolder = std::string(TOOL_DIR) + "/";
        form_->show();
    }
    void cleanup() {
        form_.reset();
        env_.reset();
    }

    void unprotectedAndApostropheTitle_data() {
        QTest::addColumn<QString>("document");
        QTest::newRow("plain") << "multipage";
        QTest::newRow("apostrophe title") << "apostrophe";
    }
    void unprotectedAndApostropheTitle() {
        QFETCH(QString, document);
        const QString path = fixtures_.path(document + ".pdf");
        Input()->setText(path);
        QVERIFY(!Pages().isEmpty());
        QCOMPARE(Input()->text(), path);
        QCOMPARE(context_.documentPassword, std::string());
    }

    void wrongThenRightPassword() {
        testing::ModalAnswerer answerer;
        answerer.Next(Type("open says me"));
        answerer.Next(testing::Press(Qt::Key_Return));
        answerer.Next(Type("open sesame"));
        Input()->setText(fixtures_.path("user-password.pdf"));
        QCOMPARE(answerer.Seen(),
                 (QStringList{"Password needed", "Wrong password, please try it again!",
                              "Password needed"}));
        QCOMPARE(Pages(), QString("4"));
        QCOMPARE(context_.documentPassword, std::string("open sesame"));
    }

    void cancelOnTheFirstPrompt() {
        testing::ModalAnswerer answerer;
        answerer.Next(Type("", Qt::Key_Escape));
        Input()->setText(fixtures_.path("user-password.pdf"));
        QCOMPARE(answerer.Seen(), QStringList{"Password needed"});
        QCOMPARE(Input()->text(), QString());
        QCOMPARE(context_.documentPassword, std::string());
    }

    void ownerPasswordOnlyOpens() {
        Input()->setText(fixtures_.path("owner-password.pdf"));
        QCOMPARE(Pages(), QString("4"));
    }

    void damagedAndMissing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("damaged") << "damaged.pdf";
        QTest::newRow("not a pdf") << "not-a-pdf.pdf";
        QTest::newRow("missing") << "nowhere.pdf";
    }
    void damagedAndMissing() {
        QFETCH(QString, path);
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        Input()->setText(fixtures_.path(path));
        QCOMPARE(answerer.Seen(), QStringList{kHeader});
        QCOMPARE(Input()->text(), QString());
    }

    void missingToolGivesTheHeaderWarning() {
        QTemporaryDir empty;
        context_.appFolder = empty.path().toStdString() + "/";
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        Input()->setText(fixtures_.path("multipage.pdf"));
        QCOMPARE(answerer.Seen(), QStringList{kHeader});
    }
};

QTEST_MAIN(RealInspectionTest)
#include "tst_inspection_real.moc"
