// A drop-down list of fixed choices that a screen reader announces by its
// name, with the chosen item as its value. Qt's own description of a list on
// this system gives the chosen item for both, so the list was heard as
// "Original combo box". Its face narrows where the widest item would
// otherwise be cut.
#pragma once

#include <QComboBox>
#include <optional>

namespace toolkit {

class ChoiceBox : public QComboBox {
    Q_OBJECT
public:
    explicit ChoiceBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitItems();
    int WidestItem() const;

    std::optional<QFont> face_; // the face it was given
};

} // namespace toolkit
