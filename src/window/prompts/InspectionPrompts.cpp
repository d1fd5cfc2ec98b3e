#include "prompts/InspectionPrompts.h"

#include "prompts/PasswordInputQuery.h"
#include "toolkit/MessageBoxes.h"

#include <QCoreApplication>

namespace inspect {

bool InspectionPrompts::AskPassword(std::string& value) {
    TMyInputQuery query;
    const auto text = [](const char* english) {
        return toolkit::ToProgramText(
            QCoreApplication::translate("inspect::InspectionPrompts", english));
    };
    return query.ShowQuery(
        text(QT_TRANSLATE_NOOP("inspect::InspectionPrompts", "Password needed")),
        text(QT_TRANSLATE_NOOP("inspect::InspectionPrompts",
                               "This PDF is password protected! Please enter the password:\r\n")),
        value);
}

void InspectionPrompts::ShowWrongPassword() {
    toolkit::ShowMessage(owner_, toolkit::BoxType::Error,
                         QCoreApplication::translate("inspect::InspectionPrompts",
                                                     "Wrong password, please try it again!"));
}

void InspectionPrompts::ShowHeaderWarning() {
    toolkit::ShowMessage(owner_, toolkit::BoxType::Warning,
                         QCoreApplication::translate(
                             "inspect::InspectionPrompts",
                             "Couldn't read PDF header info!\r\nProbably this file is damaged!"));
}

void InspectionPrompts::ShowTookTooLong(const std::string&) {
    toolkit::ShowMessage(
        owner_, toolkit::BoxType::Warning,
        QCoreApplication::translate("inspect::InspectionPrompts",
                                    "This PDF took too long to read!\r\nReading it was given up."));
}

} // namespace inspect
