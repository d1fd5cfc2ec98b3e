#include "support/TestSupport.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/PathEdits.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <stdexcept>

using toolkit::Answer;
using toolkit::BoxType;
using toolkit::ButtonSet;

Q_DECLARE_METATYPE(toolkit::ButtonSet)
Q_DECLARE_METATYPE(toolkit::Answer)

class ToolkitTest : public QObject {
    Q_OBJECT
private slots:
    void boxAnswers_data() {
        QTest::addColumn<ButtonSet>("buttons");
        QTest::addColumn<testing::BoxAction>("action");
        QTest::addColumn<Answer>("answer");
        const auto enter = testing::Press(Qt::Key_Return);
        const auto escape = testing::Press(Qt::Key_Escape);
        const auto close = testing::CloseBox();
        QTest::newRow("OK: Enter") << ButtonSet::OK << enter << Answer::OK;
        QTest::newRow("OK: Escape") << ButtonSet::OK << escape << Answer::OK;
        QTest::newRow("OK: close box") << ButtonSet::OK << close << Answer::Cancel;
        QTest::newRow("OKCancel: Enter") << ButtonSet::OKCancel << enter << Answer::OK;
        QTest::newRow("OKCancel: Escape") << ButtonSet::OKCancel << escape << Answer::Cancel;
        QTest::newRow("OKCancel: close box") << ButtonSet::OKCancel << close << Answer::Cancel;
        QTest::newRow("OKCancel: click Cancel")
            << ButtonSet::OKCancel << testing::Click("Cancel") << Answer::Cancel;
        QTest::newRow("YesNo: Enter") << ButtonSet::YesNo << enter << Answer::Yes;
        QTest::newRow("YesNo: Escape") << ButtonSet::YesNo << escape << Answer::No;
        QTest::newRow("YesNo: close box") << ButtonSet::YesNo << close << Answer::Cancel;
        QTest::newRow("YesNo: click No") << ButtonSet::YesNo << testing::Click("No") << Answer::No;
        QTest::newRow("YesNoCancel: Escape") << ButtonSet::YesNoCancel << escape << Answer::Cancel;
        QTest::newRow("YesNoCancel: Enter") << ButtonSet::YesNoCancel << enter << Answer::Yes;
    }
    void boxAnswers() {
        QFETCH(ButtonSet, buttons);
        QFETCH(testing::BoxAction, action);
        QFETCH(Answer, answer);
        testing::ModalAnswerer answerer;
        answerer.Next(action);
        QCOMPARE(toolkit::ShowMessage(nullptr, BoxType::Confirm, "Sure?", buttons), answer);
    }

    void boxCaptionsAndButtons() {
        const struct {
            BoxType type;
            const char* caption;
        } rows[] = {{BoxType::Warning, "Warning"},
                    {BoxType::Error, "Error"},
                    {BoxType::Information, "Information"},
                    {BoxType::Confirm, "Confirm"}};
        for (const auto& row : rows) {
            toolkit::TMessageBox box(nullptr, row.type, "t", ButtonSet::YesNoCancel);
            QCOMPARE(box.windowTitle(), QString(row.caption));
            QCOMPARE(box.button(Answer::Yes)->text(), QString("Yes"));
            QCOMPARE(box.button(Answer::No)->text(), QString("No"));
            QCOMPARE(box.button(Answer::Cancel)->text(), QString("Cancel"));
            QVERIFY(!box.button(Answer::OK));
        }
    }

    void generalErrorFullStop_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Access denied"
                                << "Access denied.";
        QTest::newRow("has a stop") << "Done."
                                    << "Done.";
        QTest::newRow("exclamation") << "Stop!"
                                     << "Stop!";
        QTest::newRow("digit") << "List index out of bounds (3"
                               << "List index out of bounds (3.";
        QTest::newRow("closing bracket") << "(3)"
                                         << "(3)";
        QTest::newRow("slash") << "a/"
                               << "a/.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void generalErrorFullStop() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(toolkit::GeneralErrorText(message), shown);
    }

    void guardedReportsAndGoesOn() {
        QApplication::setApplicationDisplayName("Arvenzo");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Click("OK"));
        bool after = false;
        toolkit::Guarded(nullptr,
                         [] { throw std::runtime_error("'x' is not a valid integer value"); });
        after = true;
        QVERIFY(after);
        QCOMPARE(answerer.Seen(), QStringList{"'x' is not a valid integer value."});
        QCOMPARE(answerer.Titles(), QStringList{"Arvenzo"});
    }

    void pathEditRaisesChangeOnlyOnRealChange() {
        toolkit::TDirectoryEdit edit;
        QSignalSpy changed(&edit, &toolkit::PathEdit::changed);
        edit.setText("/tmp");
        edit.setText("/tmp");
        edit.setText("");
        QCOMPARE(changed.count(), 2);
        QVERIFY(edit.lineEdit()->isReadOnly());
    }

    void longPathIsNotCut() {
        toolkit::TFilenameEdit edit;
        const QString path = "/" + QString(400, 'a') + ".pdf";
        edit.setText(path);
        QCOMPARE(edit.text(), path);
    }

    void filePicker_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pick"); // empty: cancelled
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("after");
        const char* const rows[][5] = {
            {"starts at the text", "/d/a.pdf", "/d/b.pdf", "/d/a.pdf", "/d/b.pdf"},
            {"cancel keeps the text", "/d/a.pdf", "", "/d/a.pdf", "/d/a.pdf"},
            {"cancel on empty stays empty", "", "", "", ""}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3])
                                  << QString(row[4]);
    }
    void filePicker() {
        QFETCH(QString, text);
        QFETCH(QString, pick);
        QFETCH(QString, start);
        QFETCH(QString, after);
        toolkit::TFilenameEdit edit;
        edit.setText(text);
        QString seenStart;
        QString textDuringAfter = "unset";
        connect(&edit, &toolkit::PathEdit::afterDialog, [&] { textDuringAfter = edit.text(); });
        edit.setPicker([&](QWidget*, const QString& s) -> std::optional<QString> {
            seenStart = s;
            return pick.isEmpty() ? std::nullopt : std::optional<QString>(pick);
        });
        edit.pressBrowseButton();
        QCOMPARE(seenStart, start);
        QCOMPARE(textDuringAfter, text); // the text is set after the event
        QCOMPARE(edit.text(), after);
    }

    void filePickerRemembersLastChoice() {
        toolkit::TFilenameEdit edit;
        QStringList starts;
        QStringList picks{"/d/one.pdf", ""};
        edit.setPicker([&](QWidget*, const QString& s) -> std::optional<QString> {
            starts << s;
            const QString p = picks.takeFirst();
            return p.isEmpty() ? std::nullopt : std::optional<QString>(p);
        });
        edit.pressBrowseButton();
        edit.setText("");
        edit.pressBrowseButton();
        QCOMPARE(starts, (QStringList{"", "/d/one.pdf"}));
        QCOMPARE(edit.text(), QString());
    }

    void folderPicker() {
        QTemporaryDir a;
        QTemporaryDir b;
        toolkit::TDirectoryEdit edit;
        QStringList starts;
        QStringList picks{a.path(), "", "", ""};
        edit.setPicker([&](QWidget*, const QString& s) -> std::optional<QString> {
            starts << s;
            const QString p = picks.takeFirst();
            return p.isEmpty() ? std::nullopt : std::optional<QString>(p);
        });
        edit.pressBrowseButton(); // chooses a
        QCOMPARE(edit.text(), a.path());
        edit.setText("");
        edit.pressBrowseButton(); // cancelled: the last choice comes back
        QCOMPARE(edit.text(), a.path());
        edit.setText(b.path() + "/gone");
        edit.pressBrowseButton(); // cancelled on a missing folder: emptied
        QCOMPARE(edit.text(), QString());
        edit.setText(b.path());
        edit.pressBrowseButton(); // cancelled on an existing folder: kept
        QCOMPARE(edit.text(), b.path());
        QCOMPARE(starts, (QStringList{"", a.path(), "", b.path()}));
    }

    void dropTakesFirstFile() {
        toolkit::TFilenameEdit edit;
        edit.resize(300, 21);
        edit.show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("/d/first.txt"), QUrl::fromLocalFile("/d/second.pdf"),
                      QUrl::fromLocalFile("/d/third.pdf")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &drop);
        QCOMPARE(edit.text(), QString("/d/first.txt"));
    }
};

QTEST_MAIN(ToolkitTest)
#include "tst_toolkit.moc"
