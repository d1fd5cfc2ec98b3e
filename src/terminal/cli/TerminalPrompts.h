// The inspection's questions, answered from the command line or the
// terminal.
#pragma once

#include "cli/Messages.h"
#include "inspect/DocumentInspection.h"
#include "platform/Terminal.h"

#include <optional>
#include <string>

namespace cli {

class TerminalPrompts : public inspect::InspectionUi {
public:
    // A password `given` on the command line gets one try; without one,
    // the terminal is asked when `mayAsk`.
    TerminalPrompts(std::optional<std::string> given, const Messages& messages, bool mayAsk)
        : given_(std::move(given)), triedGiven_(given_.has_value()), messages_(messages),
          mayAsk_(mayAsk) {}

    bool AskPassword(std::string& value) override {
        if (given_) {
            value = *given_;
            given_.reset();
            unanswered_ = value.empty();
            return !value.empty();
        }
        if (triedGiven_)
            return false;
        unanswered_ = !mayAsk_ || !platform::ReadHiddenLine("Password: ", value);
        return !unanswered_;
    }
    void ShowWrongPassword() override { messages_.Say("Wrong password, please try it again!"); }
    void ShowHeaderWarning() override {
        messages_.Say("Couldn't read PDF header info!");
        messages_.Say("Probably this file is damaged!");
    }
    void ShowTookTooLong(const std::string& path) override {
        messages_.Say(path + " took too long to read; reading it was given up");
    }
    // True when a password was needed and nobody could give one.
    bool Unanswered() const { return unanswered_; }

private:
    std::optional<std::string> given_;
    bool triedGiven_;
    const Messages& messages_;
    bool mayAsk_;
    bool unanswered_ = false;
};

} // namespace cli
