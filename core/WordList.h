#pragma once

#include <string>
#include <string_view>
#include <vector>

// `words` for a sentence: "a", "a or b", "a, b or c"; each between `quote`s
// when one is given.
std::string ListForSentence(const std::vector<std::string>& words, std::string_view quote = "");

// `words` as the choice of a usage line: "a|b|c".
std::string ListAsChoice(const std::vector<std::string>& words);
