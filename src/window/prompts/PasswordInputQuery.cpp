#include "prompts/PasswordInputQuery.h"

#include "toolkit/MessageBoxes.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace inspect {

namespace {

constexpr int kMaxLength = 255;

// n * d / q, rounded half away from zero.
int MulDiv(int n, int d, int q) {
    return static_cast<int>(std::lround(static_cast<double>(n) * d / q));
}

QString Shown(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

QueryLayout LayoutQuery(const QFont& font, const QString& prompt, int editHeight) {
    const QFontMetrics metrics(font);
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int w = metrics.horizontalAdvance(alphabet) / 52;
    const int h = metrics.height();

    QueryLayout l{};
    const int labelLeft = MulDiv(8, w, 4);
    const int maxWidth = MulDiv(164, w, 4);
    const QRect text = metrics.boundingRect(QRect(0, 0, maxWidth, 10000),
                                            Qt::TextWordWrap | Qt::AlignLeft, Shown(prompt));
    l.label = QRect(labelLeft, MulDiv(8, h, 8), text.width(), text.height());
    l.edit = QRect(labelLeft, l.label.bottom() + 1 + 5, maxWidth, editHeight);
    const int buttonTop = l.edit.bottom() + 1 + 15;
    const int buttonWidth = MulDiv(50, w, 4);
    const int buttonHeight = MulDiv(14, h, 8);
    l.ok = QRect(MulDiv(38, w, 4), buttonTop, buttonWidth, buttonHeight);
    l.cancel = QRect(MulDiv(92, w, 4), buttonTop, buttonWidth, buttonHeight);
    l.clientWidth = MulDiv(180, w, 4);
    l.clientHeight = buttonTop + buttonHeight + 13;
    return l;
}

PasswordDialog::PasswordDialog(const QString& caption, const QString& prompt, const QString& value)
    : label_(new QLabel(this)), edit_(new QLineEdit(this)), ok_(new QPushButton(tr("OK"), this)),
      cancel_(new QPushButton(tr("Cancel"), this)) {
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    label_->setObjectName(QStringLiteral("Prompt"));
    label_->setWordWrap(true);
    label_->setText(Shown(prompt));
    label_->setBuddy(edit_);

    edit_->setObjectName(QStringLiteral("Value"));
    edit_->setMaxLength(kMaxLength);
    // Masked from the first keystroke, with "*" and no glimpse of the last
    // character typed.
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setStyleSheet(QStringLiteral(
        "QLineEdit { lineedit-password-character: 42; lineedit-password-mask-delay: 0; }"));
    edit_->setText(value);
    edit_->selectAll();
    edit_->setAccessibleName(caption);

    ok_->setObjectName(QStringLiteral("OK"));
    ok_->setDefault(true);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const QueryLayout l = LayoutQuery(font(), prompt, edit_->sizeHint().height());
    label_->setGeometry(l.label);
    edit_->setGeometry(l.edit);
    ok_->setGeometry(l.ok);
    cancel_->setGeometry(l.cancel);
    setFixedSize(l.clientWidth, l.clientHeight);
    setTabOrder(edit_, ok_);
    setTabOrder(ok_, cancel_);
    edit_->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString PasswordDialog::value() const {
    return edit_->text();
}

bool TMyInputQuery::ShowQuery(const std::string& caption, const std::string& prompt,
                              std::string& value) {
    PasswordDialog dialog(toolkit::FromProgramText(caption), toolkit::FromProgramText(prompt),
                          toolkit::FromProgramText(value));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = toolkit::ToProgramText(dialog.value());
    return true;
}

} // namespace inspect
