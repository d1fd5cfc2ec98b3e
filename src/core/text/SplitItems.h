#pragma once

#include <string>
#include <vector>

namespace text {

// Cuts `text` into items at any character of `separators` and at line ends.
// Characters of `blanks` (and line ends) are skipped at the start of an
// item. A single or double quote opens a stretch, ended by the same quote,
// in which separators and line ends do not cut; the quotes stay in the item.
// Empty items are dropped.
std::vector<std::string> SplitItems(const std::string& text, const std::string& separators,
                                    const std::string& blanks);

} // namespace text
