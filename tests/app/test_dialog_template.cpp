#include <gtest/gtest.h>

#include <iterator>

#include "app/DialogTemplate.h"

TEST(DialogTemplate, ControlsInTabOrderWithUniqueIds)
{
    const int expectedOrder[] = {1006, 1008, 1012, 1015, 1016, 1017, 1018, 1014, 1009,
                                 1010, 1011, 1007, 1002, 1005, 1003, 1013, -1};
    ASSERT_EQ(kMainDialogControls.size(), std::size(expectedOrder));
    for (std::size_t i = 0; i < kMainDialogControls.size(); ++i) {
        EXPECT_EQ(kMainDialogControls[i].id, expectedOrder[i]);
        // Every control lies inside the dialog.
        const ControlTemplate& c = kMainDialogControls[i];
        EXPECT_LE(c.x + c.width, kDialogWidthDlu);
        EXPECT_LE(c.y + c.height, kDialogHeightDlu);
        EXPECT_EQ(c.tabStop, c.kind == ControlKind::PushButton || c.kind == ControlKind::Edit);
    }
    EXPECT_EQ(kMainDialogControls[9].width, 41);  // "Wireframe" is one unit narrower
}
