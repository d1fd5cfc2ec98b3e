#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "prompts/PasswordInputQuery.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class PasswordTest : public QObject {
    Q_OBJECT
private slots:
    void typedTextIsMaskedAndReturnedExactly() {
        testing::ModalAnswerer answerer;
        QString shown;
        answerer.Next([&](QWidget* d) {
            auto* edit = d->findChild<QLineEdit*>("Value");
            QVERIFY(edit->hasFocus());
            QTest::keyClicks(edit, " a b ");
            shown = edit->displayText();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        std::string value;
        QVERIFY(inspect::TMyInputQuery().ShowQuery("Password needed", "Enter:\r\n", value));
        QCOMPARE(value, std::string(" a b "));
        QCOMPARE(shown, QString("*****"));
    }

    void emptyOkIsTrue() {
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Click("OK"));
        std::string value;
        QVERIFY(inspect::TMyInputQuery().ShowQuery("c", "p", value));
        QCOMPARE(value, std::string());
    }

    void closingWithoutOkLeavesValue_data() {
        QTest::addColumn<testing::BoxAction>("action");
        QTest::newRow("Cancel") << testing::Click("Cancel");
        QTest::newRow("Escape") << testing::Press(Qt::Key_Escape);
        QTest::newRow("close box") << testing::CloseBox();
    }
    void closingWithoutOkLeavesValue() {
        QFETCH(testing::BoxAction, action);
        testing::ModalAnswerer answerer;
        answerer.Next([action](QWidget* d) {
            QTest::keyClicks(d->findChild<QLineEdit*>("Value"), "typed");
            testing::ModalAnswerer::Act(d, action);
        });
        std::string value = "before";
        QVERIFY(!inspect::TMyInputQuery().ShowQuery("c", "p", value));
        QCOMPARE(value, std::string("before"));
    }

    void initialValueSelectedAndReplaced() {
        testing::ModalAnswerer answerer;
        answerer.Next([](QWidget* d) {
            auto* edit = d->findChild<QLineEdit*>("Value");
            QCOMPARE(edit->displayText(), QString("***"));
            QCOMPARE(edit->selectedText(), QString("old"));
            QTest::keyClicks(edit, "n");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        std::string value = "old";
        QVERIFY(inspect::TMyInputQuery().ShowQuery("c", "p", value));
        QCOMPARE(value, std::string("n"));
    }

    void the256thCharacterIsRefused() {
        testing::ModalAnswerer answerer;
        answerer.Next([](QWidget* d) {
            auto* edit = d->findChild<QLineEdit*>("Value");
            QTest::keyClicks(edit, QString(256, 'k'));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        std::string value;
        QVERIFY(inspect::TMyInputQuery().ShowQuery("c", "p", value));
        QCOMPARE(value.size(), std::size_t{255});
    }

    void layoutFollowsTheFont() {
        QFont font;
        font.setPointSize(8);
        const QString longPrompt = QString("word ").repeated(60);
        const auto shortLayout = inspect::LayoutQuery(font, "short", 20);
        const auto longLayout = inspect::LayoutQuery(font, longPrompt, 20);
        QVERIFY(longLayout.label.width() <= longLayout.edit.width());
        QVERIFY(longLayout.label.height() > shortLayout.label.height());
        const int drop = longLayout.label.height() - shortLayout.label.height();
        QCOMPARE(longLayout.edit.top() - shortLayout.edit.top(), drop);
        QCOMPARE(longLayout.ok.top() - shortLayout.ok.top(), drop);
        QCOMPARE(longLayout.ok.top(), longLayout.edit.bottom() + 1 + 15);
        QCOMPARE(longLayout.cancel.top(), longLayout.ok.top());
        QCOMPARE(longLayout.clientHeight, longLayout.cancel.bottom() + 1 + 13);
        QVERIFY(longLayout.cancel.left() > longLayout.ok.right());
    }

    void otherWindowsStayUnmasked() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::AppContext context;
        app::TMainForm form(context);
        form.show();
        auto* range = form.findChild<QLineEdit*>("sEditPageRange");
        range->setText("1-5");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Escape));
        std::string value;
        inspect::TMyInputQuery().ShowQuery("c", "p", value);
        for (const char* name : {"sEditPageRange", "sEditOutputPrefix", "sEditPageCount"})
            QCOMPARE(form.findChild<QLineEdit*>(name)->echoMode(), QLineEdit::Normal);
        QCOMPARE(range->displayText(), QString("1-5"));
    }
};

QTEST_MAIN(PasswordTest)
#include "tst_password.moc"
