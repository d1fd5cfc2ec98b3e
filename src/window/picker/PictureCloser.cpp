#include "picker/PictureCloser.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace picker {

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent) {
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
}

void PictureCanvas::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

// Fitted to the canvas, either way; at its own size the canvas is the
// picture's size.
QRect PictureCanvas::Drawn() const {
    if (picture_.isNull())
        return {};
    QRect at(QPoint(), picture_.size().scaled(size(), Qt::KeepAspectRatio));
    at.moveCenter(rect().center());
    return at;
}

void PictureCanvas::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect at = Drawn();
    // Shrunk, it is smoothed; enlarged, each pixel stays a sharp square.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, at.width() < picture_.width());
    painter.drawImage(at, picture_);
}

PictureCloser::PictureCloser(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("PictureCloser"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("CloserArea"));
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Dark);
    canvas_ = new PictureCanvas;
    canvas_->setObjectName(QStringLiteral("CloserPicture"));
    area_->setWidget(canvas_);
    area_->setWidgetResizable(true);

    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("CloserState"));
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    facts_ = new QLabel(this);
    facts_->setObjectName(QStringLiteral("CloserFacts"));
    facts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    facts_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    actualSize_ = new QCheckBox(tr("&Actual size (1:1)"), this);
    actualSize_->setObjectName(QStringLiteral("CloserActualSize"));
    connect(actualSize_, &QCheckBox::toggled, this, &PictureCloser::ShowActualSize);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloserClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(facts_);
    side->addStretch();
    side->addWidget(actualSize_);
    auto* top = new QHBoxLayout;
    top->addWidget(area_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(state_);
    layout->addWidget(buttons);

    const QSize screen =
        owner && owner->screen() ? owner->screen()->availableSize() : QSize(1024, 768);
    resize(screen * 3 / 4);
}

void PictureCloser::Await(const QString& name, const QString& facts) {
    setWindowTitle(name);
    area_->setAccessibleName(name);
    facts_->setText(facts);
    canvas_->SetPicture({});
    state_->setText(tr("Making the picture…"));
    state_->show();
}

void PictureCloser::Show(QImage picture) {
    canvas_->SetPicture(std::move(picture));
    ShowActualSize(actualSize_->isChecked());
    state_->clear();
    state_->hide();
}

void PictureCloser::Fail(const QString& failure) {
    canvas_->SetPicture({});
    state_->setText(failure);
    state_->show();
}

bool PictureCloser::ActualSize() const {
    return actualSize_->isChecked();
}

const QImage& PictureCloser::Picture() const {
    return canvas_->Picture();
}

// At its own size the picture scrolls; fitted, it follows the window.
void PictureCloser::ShowActualSize(bool actual) {
    area_->setWidgetResizable(!actual);
    if (actual && !canvas_->Picture().isNull())
        canvas_->resize(canvas_->Picture().size());
    canvas_->update();
}

} // namespace picker
