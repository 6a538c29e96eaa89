#include "ReportFixture.h"

#include "platform/ProfileFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ReportLayout, LayoutFromTheProfileIsTakenWholeOrNotAtAll) {
    TempDir folder;
    ProfileFile profile(folder.file("propertys.ini"));
    const auto loaded = [&profile](const std::string& value, std::vector<int>& shown,
                                   std::vector<int>& widths) {
        ReportFixture fixture;
        CReportCtrl& control = fixture.control;
        for (int subItem = 0; subItem < 4; ++subItem) {
            control.DeactivateSubItem(subItem);
        }
        if (!value.empty()) {
            profile.WriteString("Settings", "ReportCtrl", value);
        }
        const bool result = control.LoadLayout(profile, "Settings", "ReportCtrl");
        shown = ShownSubItems(control);
        widths.clear();
        for (int subItem = 0; subItem < 4; ++subItem) {
            ReportSubItem definition;
            control.GetSubItem(subItem, definition);
            widths.push_back(definition.width);
        }
        return result;
    };
    std::vector<int> shown;
    std::vector<int> widths;
    EXPECT_FALSE(loaded("", shown, widths)) << "no entry";
    EXPECT_TRUE(loaded("(4,1,20,300,300,150,3)", shown, widths)) << "one column shown";
    EXPECT_EQ(shown, std::vector<int>{3});
    EXPECT_EQ(widths, (std::vector<int>{20, 300, 300, 150}));
    EXPECT_TRUE(loaded("[4;2;5;-6;7;19;2;0]", shown, widths)) << "any separator serves";
    EXPECT_EQ(shown, (std::vector<int>{2, 0}));
    EXPECT_EQ(widths, (std::vector<int>{5, -6, 7, 19})) << "widths are taken as saved";
    for (const char* ignored :
         {"(3,2,20,300,150,1,2)", "(4,0,20,300,300,150)", "(4,2,20,300,300,150,1"}) {
        EXPECT_FALSE(loaded(ignored, shown, widths)) << ignored;
        EXPECT_TRUE(shown.empty()) << ignored;
        EXPECT_EQ(widths, (std::vector<int>{28, 120, 120, 120})) << ignored;
    }
}
