#include "core/WordList.h"

std::string ListForSentence(const std::vector<std::string>& words, std::string_view quote)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            text += i + 1 == words.size() ? " or " : ", ";
        text.append(quote).append(words[i]).append(quote);
    }
    return text;
}

std::string ListAsChoice(const std::vector<std::string>& words)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text.append(i > 0 ? "|" : "").append(words[i]);
    return text;
}
