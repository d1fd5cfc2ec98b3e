#include "toolkit/PathEdits.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

namespace toolkit {

namespace {

constexpr int kButtonWidth = 22;

std::optional<QString> PickFile(QWidget* parent, const QString& start) {
    QFileDialog dialog(parent, PathEdit::tr("Open"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(TFilenameEdit::Filter());
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (!start.isEmpty()) {
        const QFileInfo info(start);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<QString> PickFolder(QWidget* parent, const QString& start) {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, PathEdit::tr("Browse for Folder"), start.isEmpty() ? desktop : start);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

} // namespace

PathEdit::PathEdit(Picker picker, QWidget* parent)
    : QWidget(parent), line_(new QLineEdit(this)), browse_(new QToolButton(this)),
      picker_(std::move(picker)) {
    // Read-only: the user cannot type, paste or cut. No length limit here,
    // since code may set any path and a cut path would name another file.
    line_->setReadOnly(true);
    line_->setCursor(Qt::PointingHandCursor);
    line_->setAcceptDrops(false);
    line_->installEventFilter(this);
    browse_->setText(QStringLiteral("..."));
    browse_->setAccessibleName(tr("Browse"));
    browse_->setCursor(Qt::ArrowCursor);
    connect(line_, &QLineEdit::textChanged, this, &PathEdit::changed);
    connect(browse_, &QToolButton::clicked, this, &PathEdit::pressBrowseButton);
}

QString PathEdit::text() const {
    return line_->text();
}

void PathEdit::setText(const QString& text) {
    if (text != line_->text())
        line_->setText(text);
}

void PathEdit::setSpokenNames(const QString& text, const QString& browse) {
    line_->setAccessibleName(text);
    browse_->setAccessibleName(browse);
}

void PathEdit::pressBrowseButton() {
    const QString start = PickerStart(lastChosen_);
    const std::optional<QString> chosen = picker_(this, start);
    if (chosen)
        lastChosen_ = *chosen;
    emit afterDialog();
    setText(chosen ? *chosen : TextAfterCancel(start));
}

bool PathEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            line_->rect().contains(mouse->position().toPoint()))
            emit clicked();
    }
    return QWidget::eventFilter(watched, event);
}

void PathEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    line_->setGeometry(0, 0, width() - kButtonWidth, height());
    browse_->setGeometry(width() - kButtonWidth, 0, kButtonWidth, height());
}

TFilenameEdit::TFilenameEdit(QWidget* parent) : PathEdit(PickFile, parent) {
    setAcceptDrops(true);
}

QString TFilenameEdit::Filter() {
    return tr("Portable Document Format (*.pdf)");
}

QString TFilenameEdit::PickerStart(const QString& lastChosen) const {
    const QString current = text();
    const bool isFileName = !current.isEmpty() && !QFileInfo(current).fileName().isEmpty();
    return isFileName ? current : lastChosen;
}

QString TFilenameEdit::TextAfterCancel(const QString&) const {
    return text();
}

void TFilenameEdit::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !event->mimeData()->urls().isEmpty() &&
        event->mimeData()->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TFilenameEdit::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    setText(QDir::toNativeSeparators(urls.constFirst().toLocalFile()));
}

TDirectoryEdit::TDirectoryEdit(QWidget* parent) : PathEdit(PickFolder, parent) {}

QString TDirectoryEdit::PickerStart(const QString& lastChosen) const {
    const QString start = text().isEmpty() ? lastChosen : text();
    return QFileInfo(start).isDir() ? start : QString();
}

// A folder that is gone is not kept.
QString TDirectoryEdit::TextAfterCancel(const QString& start) const {
    return start;
}

} // namespace toolkit
