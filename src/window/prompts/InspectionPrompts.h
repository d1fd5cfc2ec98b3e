// The boxes and the password prompt of document inspection.
#pragma once

#include "inspect/DocumentInspection.h"

class QWidget;

namespace inspect {

class InspectionPrompts : public InspectionUi {
public:
    explicit InspectionPrompts(QWidget* owner) : owner_(owner) {}
    bool AskPassword(std::string& value) override;
    void ShowWrongPassword() override;
    void ShowHeaderWarning() override;
    void ShowTookTooLong(const std::string& path) override;

private:
    QWidget* owner_;
};

} // namespace inspect
