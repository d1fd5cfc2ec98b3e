// How the program reads the vendor's version numbers and shows the newest.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace online {

// A decimal number as the vendor writes it: blanks (spaces only) around an
// optional sign, digits with an optional "." and fraction, and an optional
// exponent. Anything else, a comma or a line end included, is unreadable.
// The decimal separator is "." whatever the user's locale says.
std::optional<double> ReadVersionNumber(std::string_view text);

// True when `newest` is a higher version than `installed`, both taken as
// 32-bit floats (versions that differ only beyond that are the same).
// Raises when either is unreadable.
bool IsNewerVersion(const std::string& installed, const std::string& newest);

// The newest version for the upgrade question: integer digits without
// leading zeros, ".", two rounded decimals ("1.40", "2.00", ".50").
std::string FormatVersionNumber(float value);

// The upgrade question before translation; "%1" stands for the version.
extern const char* const kUpgradeQuestion;

// The version offered by the vendor's answer `newest`, as the question
// shows it.
std::string OfferedVersion(const std::string& newest);

// The text of the upgrade question.
std::string UpgradeQuestion(const std::string& newest);

} // namespace online
