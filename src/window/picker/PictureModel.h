// The pictures the picker has read so far, in the job's order, each with
// its thumbnail and whether it is ticked; and the view of them a filter
// leaves.
#pragma once

#include "extract/PictureReader.h"
#include "picker/PickerRules.h"

#include <QAbstractListModel>
#include <QImage>
#include <QSortFilterProxyModel>
#include <map>
#include <vector>

namespace picker {

// A picture as it reaches the window: its facts, and its thumbnail already
// read from the tool's file (null when the picture failed).
struct ReadPicture {
    extract::PickedPicture picture;
    QImage thumbnail;
};

// A picture found to repeat an earlier one, by the rules of each picture
// once.
struct FoundRepeat {
    extract::PicturePlace picture;
    extract::PicturePlace of;
};

class PictureModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        MarksRole = Qt::UserRole + 1, // QStringList
        FailedRole,                   // bool
        CaptionRole,                  // QStringList: the lines under the thumbnail
    };

    explicit PictureModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void Append(ReadPicture read);
    void Clear();
    // Marks a picture as a repeat; false when no picture has that place.
    bool SetRepeat(const FoundRepeat& repeat);
    // The row of the picture at `place`; -1 when none.
    int RowOf(extract::PicturePlace place) const;
    // The minimum the "small" mark is measured against.
    void SetMinimum(int width, int height);

    const std::vector<extract::PickedPicture>& Pictures() const { return pictures_; }
    const std::vector<bool>& Ticked() const { return ticked_; }
    const extract::PickedPicture& Picture(int row) const { return pictures_.at(row); }
    void SetTicked(int row, bool ticked);
    // Ticks or unticks every picture in `rows` at once.
    void SetTicked(const std::vector<int>& rows, bool ticked);

private:
    std::vector<extract::PickedPicture> pictures_;
    std::vector<QImage> thumbnails_;
    std::vector<bool> ticked_;
    std::map<extract::PicturePlace, int> rows_;
    int minWidth_ = 0;
    int minHeight_ = 0;
};

// The pictures a PictureFilter leaves, in the same order.
class ShownPictures : public QSortFilterProxyModel {
    Q_OBJECT
public:
    ShownPictures(PictureModel& pictures, QObject* parent = nullptr);

    void SetFilter(const PictureFilter& filter);
    const PictureFilter& Filter() const { return filter_; }
    int SourceRow(int row) const;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    PictureModel& pictures_;
    PictureFilter filter_;
};

} // namespace picker

Q_DECLARE_METATYPE(picker::ReadPicture)
Q_DECLARE_METATYPE(picker::FoundRepeat)
