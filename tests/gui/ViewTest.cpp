// View state: attributes, visibility, background invalidation, copies, the container tree.
#include "tests/gui/GuiTestHelpers.h"
#include "tests/support/ZykGuiTest.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace VSTGUI;

TEST(GuiView, CustomViewNameAttributeRoundTrips) {
    auto view = owned(new CView(CRect(0, 0, 10, 10)));
    uint32_t size = 0;
    EXPECT_FALSE(view->getAttributeSize(kCViewCustomViewNameAttribute, size));
    const char name[] = "throttle";
    ASSERT_TRUE(view->setAttribute(kCViewCustomViewNameAttribute, sizeof(name), name));
    ASSERT_TRUE(view->getAttributeSize(kCViewCustomViewNameAttribute, size));
    EXPECT_EQ(size, sizeof(name)) << "stored with its NUL";
    char small[4];
    uint32_t outSize = 0;
    EXPECT_FALSE(view->getAttribute(kCViewCustomViewNameAttribute, sizeof(small), small, outSize))
        << "a buffer that is too small gets nothing";
    char buffer[32];
    ASSERT_TRUE(view->getAttribute(kCViewCustomViewNameAttribute, sizeof(buffer), buffer, outSize));
    EXPECT_STREQ(buffer, "throttle");
}

TEST(GuiView, TooltipTextIsReadSafelyEvenWithoutItsNul) {
    auto view = owned(new CView(CRect(0, 0, 10, 10)));
    view->setTooltipText("Coarse");
    EXPECT_EQ(view->getTooltipText(), "Coarse");
    view->setAttribute(kCViewTooltipAttribute, 3, "abc");
    EXPECT_EQ(view->getTooltipText(), "abc");
    view->setTooltipText(nullptr);
    EXPECT_TRUE(view->getTooltipText().empty());
}

TEST(GuiView, BackgroundChangeInvalidatesOnlyWhenItChanges) {
    auto frame = owned(new CFrame(CRect(0, 0, 100, 100), nullptr));
    auto* view = new CView(CRect(10, 10, 20, 20));
    frame->addView(view);
    auto context = COffscreenContext::create(frame, 100, 100);
    frame->paintDirtyRegion(context);
    auto bitmap = owned(guitest::makeStrip(10, 10, 2, {kRedCColor, kGreenCColor}));
    view->setBackground(bitmap);
    EXPECT_TRUE(frame->hasDirtyRegion());
    frame->paintDirtyRegion(context);
    view->setBackground(bitmap);
    EXPECT_FALSE(frame->hasDirtyRegion());
    EXPECT_EQ(bitmap->getNbReference(), 2) << "the view holds one reference";
}

TEST(GuiView, ContainerCopyCopiesItsChildren) {
    auto container = owned(new CViewContainer(CRect(0, 0, 100, 100)));
    auto* label = new CTextLabel(CRect(1, 2, 30, 20), "SECTION 1");
    container->addView(label);
    const char name[] = "uiMulti";
    label->setAttribute(kCViewCustomViewNameAttribute, sizeof(name), name);
    auto copy = owned(static_cast<CViewContainer*>(container->newCopy()));
    ASSERT_EQ(copy->getNbViews(), 1u);
    auto* copied = dynamic_cast<CTextLabel*>(copy->getView(0));
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, label);
    EXPECT_EQ(copied->getText(), "SECTION 1");
    EXPECT_EQ(copied->getViewSize(), label->getViewSize());
    uint32_t size = 0;
    EXPECT_TRUE(copied->getAttributeSize(kCViewCustomViewNameAttribute, size));
    EXPECT_EQ(copied->getParentView(), copy.get());
}

TEST(GuiView, AddingAViewWithAParentIsRefused) {
    auto a = owned(new CViewContainer(CRect(0, 0, 10, 10)));
    auto b = owned(new CViewContainer(CRect(0, 0, 10, 10)));
    auto* child = new CView(CRect(0, 0, 5, 5));
    ASSERT_TRUE(a->addView(child));
    child->remember();
    EXPECT_FALSE(b->addView(child)) << "the reference passed in is released";
    EXPECT_EQ(child->getNbReference(), 1);
    EXPECT_EQ(child->getParentView(), a.get());
    EXPECT_FALSE(a->addView(nullptr));
    EXPECT_TRUE(a->isChild(child));
    EXPECT_EQ(a->getView(5), nullptr);
}
