#include "picker/PictureView.h"

#include "picker/PictureDelegate.h"

#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

namespace picker {

PictureView::PictureView(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setSpacing(4);
    // Only a few thumbnails are laid out at a time, whatever the count.
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
}

void PictureView::ToggleCurrent() {
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    const bool ticked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
    model()->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

void PictureView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        emit tickAll();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier) {
            ToggleCurrent();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid()) {
            emit lookCloser(currentIndex());
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

bool PictureView::OnCheckBox(const QModelIndex& index, const QPoint& at) const {
    const auto* delegate = qobject_cast<const PictureDelegate*>(itemDelegate());
    if (!delegate)
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return delegate->CheckRect(option, visualRect(index)).contains(at);
}

// A double click on the check box is two clicks on it, which the delegate
// takes; anywhere else on a picture it looks closer.
void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (event->button() == Qt::LeftButton && index.isValid() && !OnCheckBox(index, at)) {
        emit lookCloser(index);
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void PictureView::startDrag(Qt::DropActions) {
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !fileMaker_)
        return;
    // Making the file lets the window go on; the view may go meanwhile.
    QPointer<PictureView> self(this);
    const QString path = fileMaker_(index);
    if (!self || path.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    QDrag drag(this);
    drag.setMimeData(data);
    const QVariant thumbnail = index.data(Qt::DecorationRole);
    if (const QImage image = thumbnail.value<QImage>(); !image.isNull())
        drag.setPixmap(QPixmap::fromImage(image.scaled(64, 64, Qt::KeepAspectRatio)));
    drag.exec(Qt::CopyAction, Qt::CopyAction);
}

} // namespace picker
