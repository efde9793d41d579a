#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RenderMode.h"
#include "core/WordList.h"

// Each mode's word reads back as that mode; only the exact lower-case word does.
TEST(RenderMode, WordsAndModesMatchBothWays)
{
    for (RenderMode mode : {RenderMode::Solid, RenderMode::Wireframe, RenderMode::Point})
        EXPECT_EQ(RenderModeFromWord(RenderModeWord(mode)), mode) << RenderModeWord(mode);
    EXPECT_EQ(RenderModeWords(), (std::vector<std::string>{"solid", "wireframe", "point"}));
    for (const char* word : {"", "Solid", "POINT", "shaded", "solid ", "points", "wire"})
        EXPECT_FALSE(RenderModeFromWord(word)) << word;
    EXPECT_STREQ(RenderModeWord(static_cast<RenderMode>(3)), "");
}

TEST(RenderMode, WordListsForSentencesAndUsageLines)
{
    EXPECT_EQ(ListForSentence({}), "");
    EXPECT_EQ(ListForSentence({"a"}, "\""), "\"a\"");
    EXPECT_EQ(ListForSentence({"a", "b"}), "a or b");
    EXPECT_EQ(ListForSentence(RenderModeWords(), "\""), "\"solid\", \"wireframe\" or \"point\"");
    EXPECT_EQ(ListAsChoice({"a"}), "a");
    EXPECT_EQ(ListAsChoice(RenderModeWords()), "solid|wireframe|point");
}
