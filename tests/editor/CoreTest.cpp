#include "EditorFixture.h"

TEST_F(EditorTest, OpensWithoutMissingViews) {
    ASSERT_NE(frame(), nullptr);
    EXPECT_EQ(log.lines().front(), "K1Editor@87: Opening GUI");
    for (const std::string& line : log.lines())
        EXPECT_EQ(line.find("initView"), std::string::npos) << line;
}
