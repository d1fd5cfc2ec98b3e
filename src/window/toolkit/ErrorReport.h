// The last line of defence of every handler: whatever a handler throws ends
// here, in one error box titled with the program's name, and the program
// goes on.
#pragma once

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace toolkit {

// The text of the report: the message, with a full stop added when it ends
// in a character after "." in the code table.
QString GeneralErrorText(const QString& message);

// A message of the program's own, in the user's language where it is one of
// the fixed ones; anything else (a message naming a file) as it is.
QString ProgramMessage(const QString& message);

// Shows the application-titled error box with the single button OK.
void ShowGeneralError(QWidget* owner, const QString& message);

// Runs `handler`, reporting anything it throws.
template <class Handler> void Guarded(QWidget* owner, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        ShowGeneralError(owner, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowGeneralError(owner, QStringLiteral("Unknown error")); // translated there
    }
}

} // namespace toolkit
