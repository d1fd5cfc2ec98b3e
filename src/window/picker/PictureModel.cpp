#include "picker/PictureModel.h"

#include "toolkit/MessageBoxes.h"

#include <algorithm>

namespace picker {

PictureModel::PictureModel(QObject* parent) : QAbstractListModel(parent) {}

int PictureModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(pictures_.size());
}

QVariant PictureModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const std::size_t row = static_cast<std::size_t>(index.row());
    const extract::PickedPicture& picture = pictures_[row];
    const extract::ListedImage& facts = picture.facts;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return SpokenName(facts);
    case CaptionRole:
        return QStringList{PickerTexts::tr("Page %1, picture %2").arg(facts.page).arg(facts.onPage),
                           QStringLiteral("%1 × %2 · %3")
                               .arg(facts.width)
                               .arg(facts.height)
                               .arg(EncodingName(facts.encoding)),
                           ColoursName(facts)};
    case Qt::DecorationRole:
        return thumbnails_[row];
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return FactsText(picture, minWidth_, minHeight_);
    case Qt::CheckStateRole:
        return ticked_[row] ? Qt::Checked : Qt::Unchecked;
    case MarksRole:
        return Marks(picture, minWidth_, minHeight_);
    case FailedRole:
        return facts.failed || !picture.failure.empty();
    default:
        return {};
    }
}

bool PictureModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount())
        return false;
    SetTicked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags PictureModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void PictureModel::Append(ReadPicture read) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows_.emplace(extract::PicturePlace{read.picture.facts.page, read.picture.facts.onPage}, row);
    pictures_.push_back(std::move(read.picture));
    thumbnails_.push_back(std::move(read.thumbnail));
    ticked_.push_back(false);
    endInsertRows();
}

void PictureModel::Clear() {
    beginResetModel();
    pictures_.clear();
    thumbnails_.clear();
    ticked_.clear();
    rows_.clear();
    endResetModel();
}

bool PictureModel::SetRepeat(const FoundRepeat& repeat) {
    const int row = RowOf(repeat.picture);
    if (row < 0)
        return false;
    pictures_[static_cast<std::size_t>(row)].repeatOf = repeat.of;
    emit dataChanged(index(row), index(row),
                     {MarksRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    return true;
}

int PictureModel::RowOf(extract::PicturePlace place) const {
    const auto found = rows_.find(place);
    return found == rows_.end() ? -1 : found->second;
}

void PictureModel::SetMinimum(int width, int height) {
    if (width == minWidth_ && height == minHeight_)
        return;
    minWidth_ = width;
    minHeight_ = height;
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1),
                         {MarksRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void PictureModel::SetTicked(int row, bool ticked) {
    if (row < 0 || row >= rowCount() || ticked_[static_cast<std::size_t>(row)] == ticked)
        return;
    ticked_[static_cast<std::size_t>(row)] = ticked;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
}

void PictureModel::SetTicked(const std::vector<int>& rows, bool ticked) {
    int first = rowCount(), last = -1;
    for (int row : rows) {
        if (row < 0 || row >= rowCount() || ticked_[static_cast<std::size_t>(row)] == ticked)
            continue;
        ticked_[static_cast<std::size_t>(row)] = ticked;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= first)
        emit dataChanged(index(first), index(last), {Qt::CheckStateRole});
}

ShownPictures::ShownPictures(PictureModel& pictures, QObject* parent)
    : QSortFilterProxyModel(parent), pictures_(pictures) {
    setSourceModel(&pictures);
}

void ShownPictures::SetFilter(const PictureFilter& filter) {
    filter_ = filter;
    invalidateRowsFilter();
}

int ShownPictures::SourceRow(int row) const {
    return mapToSource(index(row, 0)).row();
}

bool ShownPictures::filterAcceptsRow(int row, const QModelIndex&) const {
    return Shown(pictures_.Picture(row), filter_);
}

} // namespace picker
