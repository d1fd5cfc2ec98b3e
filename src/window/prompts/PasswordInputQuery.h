// A small modal dialog that asks for one line of text and shows each typed
// character as "*".
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace inspect {

// The dialog's geometry, worked out from the font's average character.
struct QueryLayout {
    int clientWidth, clientHeight;
    QRect label, edit, ok, cancel;
};
QueryLayout LayoutQuery(const QFont& font, const QString& prompt, int editHeight);

class TMyInputQuery {
public:
    // True when closed with OK; `value` then holds the text exactly as
    // typed. Cancel, Escape and the close box give false and leave `value`.
    bool ShowQuery(const std::string& caption, const std::string& prompt, std::string& value);
};

// The dialog itself; built anew for every question.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(const QString& caption, const QString& prompt, const QString& value);
    QString value() const;
    QLineEdit* edit() const { return edit_; }

private:
    QLabel* label_;
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace inspect
