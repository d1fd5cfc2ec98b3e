// Every message box of the program: caption and icon by type, fixed button
// captions, Enter on OK (else Yes), Escape on Cancel (else No, else OK), and
// the close box always answering Cancel.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QAbstractButton;
class QPushButton;

namespace toolkit {

enum class BoxType { Warning, Error, Information, Confirm };
enum class ButtonSet { OK, OKCancel, YesNo, YesNoCancel };
enum class Answer { OK, Cancel, Yes, No };

class TMessageBox : public QDialog {
    Q_OBJECT
public:
    TMessageBox(QWidget* owner, BoxType type, const QString& text, ButtonSet buttons);

    QString text() const { return text_; }
    Answer answer() const { return answer_; }
    // The button that answers `answer`, or null when the box has none.
    QPushButton* button(Answer answer) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Press(Answer answer);
    QPushButton* AddButton(Answer answer);

    QString text_;
    Answer answer_ = Answer::Cancel;
    Answer enterAnswer_ = Answer::OK;
    Answer escapeAnswer_ = Answer::OK;
    QPushButton* buttons_[4] = {};
};

// Places `box` centred over `owner`'s window, or over the screen when there
// is none to be seen.
void CentreOver(QWidget* box, QWidget* owner);

// Shows a box modally, centred over `owner` (or the screen when null), and
// returns the answer.
Answer ShowMessage(QWidget* owner, BoxType type, const QString& text,
                   ButtonSet buttons = ButtonSet::OK);

// The program keeps its texts as 8-bit strings in the system's code page;
// the widgets want Unicode.
QString FromProgramText(const std::string& text);
std::string ToProgramText(const QString& text);

} // namespace toolkit
