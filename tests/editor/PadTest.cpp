// The envelope view, checked by pixel columns of renders, and the source-mix pad driven by injected
// mouse events.
#include "editor/uiEnvelope.h"
#include "tests/editor/PagesFixture.h"

#include <cmath>

using namespace VSTGUI;
using k1lib::EParam;

class EnvelopeTest : public PagesTest {
protected:
    void SetUp() override {
        open(CRect(0, 0, 1280, 720));
        editor->setActiveSource(0); // the source page
        envelope = editor->getEnvelope();
        ASSERT_NE(envelope, nullptr);
        area = windowRect(envelope);
    }

    // Renders the shape; the pixels it covers are those that differ from a render without it.
    void drawShape(float delay, float attack, float decay, float sustain, float release) {
        envelope->setDelay(delay);
        envelope->setAttack(attack);
        envelope->setDecay(decay);
        envelope->setSustain(sustain);
        envelope->setRelease(release);
        with = render("envelope");
        envelope->setVisible(false);
        without = zykgui::test::renderFrame(frame());
        envelope->setVisible(true);
    }
    // The window-pixel column `slots` fifths of the view's width from its left edge.
    int columnAt(double slots) const { return static_cast<int>(area.left + slots * area.getWidth() / 5); }
    // The first covered row of a column and the number of covered rows.
    std::pair<int, int> covered(int x) const {
        int first = -1, count = 0;
        for (int y = static_cast<int>(area.top); y < static_cast<int>(area.bottom); ++y)
            if (with->getPixelRGBA(x, y) != without->getPixelRGBA(x, y)) {
                if (first < 0) first = y;
                ++count;
            }
        return {first, count};
    }
    int greenAt(int x, int y) const { return (with->getPixelRGBA(x, y) >> 16) & 0xFF; }

    uiEnvelope* envelope = nullptr;
    CRect area;
    SharedPointer<CBitmap> with, without;
};

TEST_F(EnvelopeTest, TheFillReachesTheTopAtTheEndOfTheAttack) {
    drawShape(0, 50, 50, 50, 50);
    const int height = static_cast<int>(area.getHeight());
    EXPECT_LE(covered(columnAt(0.5)).first, area.top + 1);
    EXPECT_GE(covered(columnAt(0.5)).second, height - 2);
    // Half way up the (steep) attack; a plateau at half height one slot wide; the release ends two
    // and a half slots in.
    EXPECT_NEAR(covered(columnAt(0.25)).first, area.top + height / 2, height / 10);
    EXPECT_NEAR(covered(columnAt(1.9)).first, area.top + height / 2, 2);
    EXPECT_EQ(covered(columnAt(2.75)).second, 0);
}

TEST_F(EnvelopeTest, ShapesOfExtremeValues) {
    // Full sustain and nothing else: a full-height rectangle one slot wide, light green at the top
    // and dark green at the bottom.
    drawShape(0, 0, 0, 100, 0);
    EXPECT_GE(covered(columnAt(0.1)).second, area.getHeight() - 2);
    EXPECT_EQ(covered(columnAt(1.2)).second, 0);
    EXPECT_GT(greenAt(columnAt(0.5), static_cast<int>(area.top) + 1), 0xC8);
    EXPECT_LT(greenAt(columnAt(0.5), static_cast<int>(area.bottom) - 2), 0x60);
    // No sustain: the plateau lies on the bottom line.
    drawShape(0, 50, 50, 0, 50);
    EXPECT_LE(covered(columnAt(1.5)).second, 1);
    // Everything at 100: the delay empties the first slot and the shape spans the whole width.
    drawShape(100, 100, 100, 100, 100);
    EXPECT_EQ(covered(columnAt(0.5)).second, 0);
    EXPECT_GT(covered(columnAt(4.9)).second, 0);
}

TEST_F(EnvelopeTest, RedrawsOnlyWhenAValueChanges) {
    // Source 2 gets source 1's envelope, so switching sources changes no value.
    for (unsigned p = k1lib::Param_SourceS1EnvDelay; p <= k1lib::Param_SourceS1EnvRelease; p += 4)
        plugin.setParameter(static_cast<EParam>(p + 1), plugin.getParameter(static_cast<EParam>(p)));
    envelope->updateFromParameters();
    envelope->setDirty(false);
    editor->setActiveSource(1);
    envelope->setAttack(envelope->getParameter(k1lib::Param_SourceS1EnvAttack));
    EXPECT_FALSE(envelope->isDirty());

    const float changed = plugin.getParameter(k1lib::Param_SourceS2EnvAttack) > 0.5f ? 0.1f : 0.9f;
    plugin.setParameter(k1lib::Param_SourceS2EnvAttack, changed);
    editor->onParamChanged(k1lib::Param_SourceS2EnvAttack, changed);
    EXPECT_TRUE(envelope->isDirty());
}

class SourceMixTest : public PagesTest {
protected:
    CView* handle() const { return view("throttle"); }
    // The handle's centre relative to the pad's centre, in pad units.
    CPoint offsetFromCentre() const { return handle()->getViewSize().getCenter() - CPoint(160, 160); }
    void setMix(float mix12, float mix34) {
        plugin.setParameter(k1lib::Param_SourceMix12, mix12);
        plugin.setParameter(k1lib::Param_SourceMix34, mix34);
        editor->onParamChanged(k1lib::Param_SourceMix34, mix34);
    }
    const double diagonal = 123 / std::sqrt(2.0);
};

TEST_F(SourceMixTest, ParametersPlaceTheHandleInsideTheCircleAndARightClickCentresIt) {
    EXPECT_NEAR(offsetFromCentre().x, 0, 1e-3);
    EXPECT_NEAR(offsetFromCentre().y, 0, 1e-3);
    // The bottom-right corner lies outside the circle: the handle goes back along the diagonal.
    setMix(1, 1);
    EXPECT_NEAR(offsetFromCentre().x, diagonal, 1e-3);
    EXPECT_NEAR(offsetFromCentre().y, diagonal, 1e-3);
    EXPECT_TRUE(listener.changes.empty()) << "placing from the parameters sends nothing";

    click(handle(), kMButton);
    EXPECT_TRUE(listener.changes.empty());
    click(handle(), kRButton);
    const std::vector<std::pair<EParam, float>> centred{{k1lib::Param_SourceMix12, 0.5f},
                                                        {k1lib::Param_SourceMix34, 0.5f}};
    EXPECT_EQ(listener.changes, centred);
    EXPECT_NEAR(offsetFromCentre().x, 0, 1e-3);
}

TEST_F(SourceMixTest, ADragClampsToTheCircleAndSendsBothValuesPerMove) {
    const CPoint beyondCorner = windowRect(view("throttleArea")).getBottomRight() + CPoint(200, 200);
    zykgui::test::drag(frame(), centre(handle()), beyondCorner, 5);
    EXPECT_NEAR(offsetFromCentre().x, diagonal, 0.5);
    EXPECT_NEAR(offsetFromCentre().y, diagonal, 0.5);
    render("sourcemix_corner");
    ASSERT_EQ(listener.changes.size(), 10u);
    for (size_t i = 0; i < listener.changes.size(); ++i) {
        EXPECT_EQ(listener.changes[i].first, i % 2 ? k1lib::Param_SourceMix34 : k1lib::Param_SourceMix12);
        EXPECT_GE(listener.changes[i].second, 0.f);
        EXPECT_LE(listener.changes[i].second, 1.f);
    }
    const float corner = static_cast<float>((160 + diagonal - 37) / 246);
    EXPECT_NEAR(listener.changes[9].second, corner, 0.003);

    // At zoom 0.5 the handle still centres under the pointer.
    open(CRect(0, 0, 1280, 720));
    const CPoint target = centre(view("throttleArea")) + CPoint(20, -30);
    zykgui::test::drag(frame(), centre(handle()), target, 3);
    EXPECT_NEAR(centre(handle()).x, target.x, 1e-6);
    EXPECT_NEAR(centre(handle()).y, target.y, 1e-6);
}
