#include "prompts/InspectionPrompts.h"

#include "prompts/PasswordInputQuery.h"
#include "toolkit/MessageBoxes.h"

namespace inspect {

bool InspectionPrompts::AskPassword(std::string& value) {
    TMyInputQuery query;
    return query.ShowQuery("Password needed",
                           "This PDF is password protected! Please enter the password:\r\n", value);
}

void InspectionPrompts::ShowWrongPassword() {
    toolkit::ShowMessage(owner_, toolkit::BoxType::Error,
                         QStringLiteral("Wrong password, please try it again!"));
}

void InspectionPrompts::ShowHeaderWarning() {
    toolkit::ShowMessage(
        owner_, toolkit::BoxType::Warning,
        QStringLiteral("Couldn't read PDF header info!\r\nProbably this file is damaged!"));
}

} // namespace inspect
