#include "toolkit/MessageBoxes.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace toolkit {

namespace {

// What a box of each type shows: its title and its icon.
struct BoxLook {
    QString caption;
    QStyle::StandardPixmap icon;
};

BoxLook LookOf(BoxType type) {
    switch (type) {
    case BoxType::Warning:
        return {TMessageBox::tr("Warning"), QStyle::SP_MessageBoxWarning};
    case BoxType::Error:
        return {TMessageBox::tr("Error"), QStyle::SP_MessageBoxCritical};
    case BoxType::Confirm:
        return {TMessageBox::tr("Confirm"), QStyle::SP_MessageBoxQuestion};
    case BoxType::Information:
        break;
    }
    return {TMessageBox::tr("Information"), QStyle::SP_MessageBoxInformation};
}

QString ButtonCaption(Answer answer) {
    switch (answer) {
    case Answer::OK:
        return TMessageBox::tr("OK");
    case Answer::Cancel:
        return TMessageBox::tr("Cancel");
    case Answer::Yes:
        return TMessageBox::tr("Yes");
    case Answer::No:
        return TMessageBox::tr("No");
    }
    return {};
}

std::vector<Answer> Answers(ButtonSet buttons) {
    switch (buttons) {
    case ButtonSet::OK:
        return {Answer::OK};
    case ButtonSet::OKCancel:
        return {Answer::OK, Answer::Cancel};
    case ButtonSet::YesNo:
        return {Answer::Yes, Answer::No};
    case ButtonSet::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    }
    return {Answer::OK};
}

bool Has(const std::vector<Answer>& answers, Answer a) {
    return std::find(answers.begin(), answers.end(), a) != answers.end();
}

} // namespace

TMessageBox::TMessageBox(QWidget* owner, BoxType type, const QString& text, ButtonSet buttons)
    : QDialog(owner ? owner->window() : nullptr), text_(text) {
    const BoxLook look = LookOf(type);
    setObjectName(QStringLiteral("MessageBox"));
    setWindowTitle(look.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(look.icon, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);

    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* label = new QLabel(shown, this);
    label->setObjectName(QStringLiteral("MessageText"));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(12);
    body->addWidget(label, 1);

    const std::vector<Answer> answers = Answers(buttons);
    enterAnswer_ = Has(answers, Answer::OK) ? Answer::OK : Answer::Yes;
    escapeAnswer_ = Has(answers, Answer::Cancel) ? Answer::Cancel
                    : Has(answers, Answer::No)   ? Answer::No
                                                 : Answer::OK;
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (const Answer a : answers)
        row->addWidget(AddButton(a));
    row->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (QPushButton* enter = button(enterAnswer_)) {
        enter->setDefault(true);
        enter->setFocus();
    }
}

QPushButton* TMessageBox::AddButton(Answer answer) {
    auto* b = new QPushButton(ButtonCaption(answer), this);
    b->setObjectName(ButtonCaption(answer));
    b->setAutoDefault(false);
    b->setMinimumWidth(75);
    connect(b, &QPushButton::clicked, this, [this, answer] { Press(answer); });
    buttons_[static_cast<int>(answer)] = b;
    return b;
}

QPushButton* TMessageBox::button(Answer answer) const {
    return buttons_[static_cast<int>(answer)];
}

void TMessageBox::Press(Answer answer) {
    answer_ = answer;
    done(answer == Answer::OK || answer == Answer::Yes ? Accepted : Rejected);
}

void TMessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Press(enterAnswer_);
        return;
    case Qt::Key_Escape:
        Press(escapeAnswer_);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TMessageBox::closeEvent(QCloseEvent* event) {
    // The frame's close box answers Cancel, whatever the buttons.
    answer_ = Answer::Cancel;
    QDialog::closeEvent(event);
}

void CentreOver(QWidget* box, QWidget* owner) {
    box->adjustSize();
    QRect area;
    if (owner && owner->isVisible())
        area = owner->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        box->move(area.center() - box->rect().center());
}

Answer ShowMessage(QWidget* owner, BoxType type, const QString& text, ButtonSet buttons) {
    TMessageBox box(owner, type, text, buttons);
    CentreOver(&box, owner);
    box.exec();
    return box.answer();
}

QString FromProgramText(const std::string& text) {
    return QString::fromLocal8Bit(text);
}

std::string ToProgramText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace toolkit
