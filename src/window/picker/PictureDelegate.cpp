#include "picker/PictureDelegate.h"

#include "picker/PictureModel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace picker {

namespace {

constexpr int kPadding = 6;
// Three lines of facts and two of marks.
constexpr int kFactLines = 3;
constexpr int kMarkLines = 2;

// The marks on as few lines as they fit, at most `lines`; the last takes
// what is left, shortened.
QStringList MarkLines(const QStringList& marks, const QFontMetrics& metrics, int width, int lines) {
    const QString separator = QStringLiteral(" · ");
    QStringList out;
    for (const QString& mark : marks) {
        if (!out.isEmpty() && (out.size() == lines ||
                               metrics.horizontalAdvance(out.back() + separator + mark) <= width))
            out.back() += separator + mark;
        else
            out << mark;
    }
    for (QString& line : out)
        line = metrics.elidedText(line, Qt::ElideRight, width);
    return out;
}

const QStyle* StyleOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

PictureDelegate::PictureDelegate(int thumbnailSize, QObject* parent)
    : QStyledItemDelegate(parent), thumbnailSize_(thumbnailSize) {}

QSize PictureDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int line = option.fontMetrics.lineSpacing();
    return {thumbnailSize_ + 2 * kPadding,
            thumbnailSize_ + 2 * kPadding + (kFactLines + kMarkLines) * line + kPadding / 2};
}

QRect PictureDelegate::CheckRect(const QStyleOptionViewItem& option, const QRect& cell) const {
    const QStyle* style = StyleOf(option);
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    return {cell.left() + kPadding / 2, cell.top() + kPadding / 2, width, height};
}

void PictureDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given,
                            const QModelIndex& index) const {
    QStyleOptionViewItem option = given;
    initStyleOption(&option, index);
    const QStyle* style = StyleOf(option);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    // The cell's background: the highlight when selected, else the view's.
    if (selected)
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    const QRect cell = option.rect;
    const QRect frame(cell.left() + kPadding, cell.top() + kPadding, thumbnailSize_,
                      thumbnailSize_);
    const QImage thumbnail = index.data(Qt::DecorationRole).value<QImage>();
    if (!thumbnail.isNull()) {
        const QSize shown = thumbnail.size().boundedTo(frame.size());
        const QSize fitted = thumbnail.size().scaled(shown, Qt::KeepAspectRatio);
        QRect at(QPoint(), fitted);
        at.moveCenter(frame.center());
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(at, thumbnail);
    } else {
        // The placeholder of a picture that could not be read.
        const int side = thumbnailSize_ / 3;
        QRect at(0, 0, side, side);
        at.moveCenter(frame.center());
        style->standardIcon(QStyle::SP_MessageBoxWarning, &option, option.widget)
            .paint(painter, at);
    }

    const QColor text =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const int line = option.fontMetrics.lineSpacing();
    QRect row(cell.left() + kPadding / 2, frame.bottom() + kPadding, cell.width() - kPadding, line);
    painter->setPen(text);
    for (const QString& caption : index.data(PictureModel::CaptionRole).toStringList()) {
        painter->drawText(row, Qt::AlignHCenter | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(caption, Qt::ElideRight, row.width()));
        row.translate(0, line);
    }
    // The marks stand out in the palette's link colour, and in bold.
    const QStringList marks = index.data(PictureModel::MarksRole).toStringList();
    if (!marks.isEmpty()) {
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(selected ? text : option.palette.color(group, QPalette::Link));
        for (const QString& shown : MarkLines(marks, QFontMetrics(bold), row.width(), kMarkLines)) {
            painter->drawText(row, Qt::AlignHCenter | Qt::AlignVCenter, shown);
            row.translate(0, line);
        }
    }

    QStyleOptionViewItem check = option;
    check.rect = CheckRect(option, cell);
    check.state &= ~QStyle::State_HasFocus;
    check.state |= index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked
                       ? QStyle::State_On
                       : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, option.widget);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = cell.adjusted(1, 1, -1, -1);
        focus.backgroundColor =
            option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

// A click on the check box ticks or unticks; elsewhere it only selects.
bool PictureDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                  const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonPress)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton ||
        !CheckRect(option, option.rect).contains(mouse->position().toPoint()))
        return false;
    if (type == QEvent::MouseButtonRelease) {
        const bool ticked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
        model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    return true; // a press or double click there neither drags nor looks closer
}

} // namespace picker
