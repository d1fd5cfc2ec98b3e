// Draws a picture of the picker: its thumbnail (or a placeholder when it
// failed), a check box over its corner, the lines that say what it is and
// its marks; in the palette's own roles, so light and dark look alike.
#pragma once

#include <QStyledItemDelegate>

namespace picker {

class PictureDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // No side of a thumbnail is longer than `thumbnailSize`.
    PictureDelegate(int thumbnailSize, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Where the check box of the item drawn in `cell` stands.
    QRect CheckRect(const QStyleOptionViewItem& option, const QRect& cell) const;

private:
    int thumbnailSize_;
};

} // namespace picker
