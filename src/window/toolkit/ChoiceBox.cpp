#include "toolkit/ChoiceBox.h"

#include "toolkit/Fonts.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QStyleOptionComboBox>

namespace toolkit {

namespace {

class SpokenChoiceBox : public QAccessibleWidget {
public:
    explicit SpokenChoiceBox(QWidget* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return Box()->currentText();
        return QAccessibleWidget::text(kind); // the name given, else the label's
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = Box()->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    // The dropped-down list, so that its items can be read while it is open.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Box()->view() ? 0 : -1;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction())
            Box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* SpokenChoiceBoxes(const QString& className, QObject* object) {
    if (object && object->isWidgetType() &&
        className == QLatin1String(ChoiceBox::staticMetaObject.className()))
        return new SpokenChoiceBox(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
    static const bool described = [] {
        QAccessible::installFactory(SpokenChoiceBoxes);
        return true;
    }();
    Q_UNUSED(described);
}

void ChoiceBox::showEvent(QShowEvent* event) {
    FitItems();
    QComboBox::showEvent(event);
}

void ChoiceBox::FitItems() {
    if (!face_)
        face_ = font();
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const int room =
        style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
            .width();
    for (const QFont& face : NarrowingFaces(*face_)) {
        setFont(face);
        if (WidestItem() <= room)
            return;
    }
}

int ChoiceBox::WidestItem() const {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
    return widest;
}

} // namespace toolkit
