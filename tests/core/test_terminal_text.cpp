#include <gtest/gtest.h>

#include <string>

#include "core/TerminalText.h"

// A message on stderr stays one line that shows its bytes as they are.
TEST(TerminalText, EscapesWhatCouldBreakTheLineOrDriveTheTerminal)
{
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"a\nb", "a\\nb"},
        {"a\r\tb", "a\\r\\tb"},
        {std::string("x\0y", 3), "x\\x00y"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {"del\x7f", "del\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"csi\xc2\x9b" "2J", "csi\\u009b2J"},      // C1, even as valid UTF-8
        {"caf\xe9.velmora", "caf\\xe9.velmora"},   // Latin-1
        {"\x80 stray", "\\x80 stray"},
        {"over\xc0\xaf", "over\\xc0\\xaf"},        // an overlong '/'
        {"sur\xed\xa0\x80", "sur\\xed\\xa0\\x80"}, // a UTF-16 surrogate
        {"big\xf4\x90\x80\x80", "big\\xf4\\x90\\x80\\x80"},
        {"cut\xe2\x82", "cut\\xe2\\x82"},
        {"cut\xe2\x82x", "cut\\xe2\\x82x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeForTerminal(c.text), c.shown) << c.shown;
}

TEST(TerminalText, LeavesValidTextAlone)
{
    for (const std::string text : {"", "plain text: 1/2", "caf\xc3\xa9 \xe2\x82\xac \xea\xb5\xb4\xeb\xa6\xbc",
                                   "\xf0\x9f\x8e\xa8 \xc2\xa0nbsp", "\xef\xbf\xbd"})
        EXPECT_EQ(EscapeForTerminal(text), text);
}
