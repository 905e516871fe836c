// The editor view as a host drives it: attaching with a plug frame that offers a run loop,
// sizes both ways, edits reaching the host, closing and reopening, and the audio thread playing
// on while the view comes and goes. The frame has no window here (no parent window is given).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>

#include "editor/uiSingles.h"
#include "editor/uiSourceMix.h"
#include "gui/CControl.h"
#include "gui/CKnobBase.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ZykGuiTest.h"
#include "tests/vst3/Instrument.h"
#include "tests/vst3/TestHost.h"
#include "vst3/k1EditController.h"

using namespace Steinberg;
using testhost::FakeRunLoop;
using testhost::Instrument;

namespace {

// The host's side: resize requests and edits, in order; offers the run loop when it has one.
class RecordingPlugFrame : public IPlugFrame, public Vst::IComponentHandler, public Vst::IUnitHandler {
public:
    explicit RecordingPlugFrame(FakeRunLoop* runLoop) : loop(runLoop) {}

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override {
        resizes.push_back(*size);
        return view->onSize(size);
    }
    tresult PLUGIN_API beginEdit(Vst::ParamID id) override { return record('b', id, 0); }
    tresult PLUGIN_API performEdit(Vst::ParamID id, Vst::ParamValue v) override { return record('p', id, v); }
    tresult PLUGIN_API endEdit(Vst::ParamID id) override { return record('e', id, 0); }
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    tresult PLUGIN_API notifyUnitSelection(Vst::UnitID) override { return kResultOk; }
    tresult PLUGIN_API notifyProgramListChange(Vst::ProgramListID, int32) override {
        ++programListChanges;
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
        if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) ||
            FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
            *obj = static_cast<IPlugFrame*>(this);
            return kResultOk;
        }
        if (FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler::iid)) {
            *obj = static_cast<Vst::IComponentHandler*>(this);
            return kResultOk;
        }
        if (FUnknownPrivate::iidEqual(iid, Vst::IUnitHandler::iid)) {
            *obj = static_cast<Vst::IUnitHandler*>(this);
            return kResultOk;
        }
        if (loop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
            loop->addRef();
            *obj = static_cast<Linux::IRunLoop*>(loop);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    struct Edit {
        char kind;
        Vst::ParamID id;
        double value;
    };
    tresult record(char kind, Vst::ParamID id, double value) {
        edits.push_back({kind, id, value});
        return kResultOk;
    }

    FakeRunLoop* loop;
    std::vector<ViewRect> resizes;
    std::vector<Edit> edits;
    int programListChanges = 0;
};

// The newest Qtractor's resizing: resizeView sets a guard and resizes the widget, whose resize
// event fires at once: it checks the size, sets the window to the checked one and calls onSize
// with it. With the guard cleared, a view whose getSize differs from the request gets onSize
// again with the unchecked request.
class ReenteringPlugFrame : public RecordingPlugFrame {
public:
    using RecordingPlugFrame::RecordingPlugFrame;
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override {
        ++requests;
        nested += depth > 0;
        if (depth >= 64) return kResultFalse; // where the real host's stack runs out
        ViewRect checked = *size;
        view->checkSizeConstraint(&checked);
        if (!same(checked, *size)) moved.push_back(text(*size) + " -> " + text(checked));
        ++depth;
        widgetResized(view, *size);
        ViewRect now;
        view->getSize(&now);
        if (!same(now, *size)) view->onSize(size);
        --depth;
        return kResultOk;
    }
    // The user (or the window system) gives the window a size.
    void widgetResized(IPlugView* view, ViewRect size) {
        view->checkSizeConstraint(&size);
        window = size;
        view->onSize(&size);
    }
    static bool same(const ViewRect& a, const ViewRect& b) {
        return a.getWidth() == b.getWidth() && a.getHeight() == b.getHeight();
    }
    static std::string text(const ViewRect& r) {
        return std::to_string(r.getWidth()) + "x" + std::to_string(r.getHeight());
    }

    int depth = 0, requests = 0, nested = 0;
    std::vector<std::string> moved; // requests the view's own check changed
    ViewRect window;
};

class EditorView : public ::testing::Test {
protected:
    void SetUp() override { i->setComponentHandler(&plugFrame); }
    void TearDown() override {
        if (view) {
            view->removed();
            view->release();
        }
    }

    k1EditController* create() {
        view = static_cast<k1EditController*>(i->createView("editor"));
        if (view) view->setFrame(&plugFrame);
        return view;
    }
    bool attach() { return view->attached(nullptr, "X11EmbedWindowID") == kResultTrue; }
    static std::pair<int32, int32> sizeOf(IPlugView* v) {
        ViewRect r;
        v->getSize(&r);
        return {r.getWidth(), r.getHeight()};
    }
    // Volume shown by the panel's control for it.
    float shownVolume() const {
        return view->getEditor()->controls[k1lib::Param_Volume]->getValueNormalized();
    }

    LogCapture log;
    zykgui::test::ScriptedDialogs dialogs;
    zykgui::test::ManualClock clock;
    // The host's objects outlive the instrument, which lets go of the handler when it terminates.
    FakeRunLoop loop;
    RecordingPlugFrame plugFrame{&loop};
    Instrument i;
    k1EditController* view = nullptr;
};

} // namespace

TEST_F(EditorView, SizesFromTheDefaultThroughEditorAndHostResizes) {
    ASSERT_TRUE(create());
    ViewRect r;
    ASSERT_EQ(view->getSize(&r), kResultOk);
    EXPECT_EQ(std::make_tuple(r.left, r.top, r.right, r.bottom), std::make_tuple(0, 0, 1024, 576));
    ASSERT_TRUE(attach());
    ASSERT_EQ(plugFrame.resizes.size(), 1u); // the frame's size, told once on attaching
    EXPECT_EQ(plugFrame.resizes[0].getWidth(), 1024);

    view->getEditor()->changeZoom(0.5);
    EXPECT_EQ(sizeOf(view), std::make_pair(1280, 720));
    EXPECT_EQ(plugFrame.resizes.size(), 2u); // the editor's own resize asks the host once

    // A host's drag lands on the editor's rule: 16:9 between 640x360 and 2560x1440.
    EXPECT_EQ(view->canResize(), kResultTrue);
    for (auto [w, h, ew, eh] :
         {std::array<int32, 4>{1000, 1000, 1000, 563}, {100, 100, 640, 360}, {4000, 3000, 2560, 1440}}) {
        ViewRect proposed(0, 0, w, h);
        EXPECT_EQ(view->checkSizeConstraint(&proposed), kResultTrue);
        EXPECT_EQ(std::make_pair(proposed.getWidth(), proposed.getHeight()), std::make_pair(ew, eh))
            << w << "x" << h;
    }
    ViewRect hostSize(0, 0, 1600, 900);
    EXPECT_EQ(view->onSize(&hostSize), kResultOk);
    EXPECT_EQ(sizeOf(view), std::make_pair(1600, 900));
    EXPECT_EQ(view->onSize(nullptr), kInvalidArgument);
    EXPECT_EQ(sizeOf(view), std::make_pair(1600, 900));
}

// Whatever the user does, a host that re-enters the view from its own resizeView is asked at
// most once per action, never from inside its call, and only for sizes the view's check keeps.
TEST_F(EditorView, AReenteringHostIsAskedOnlyOnceAndOnlyForCheckedSizes) {
    ReenteringPlugFrame host(&loop);
    ASSERT_TRUE(create());
    view->setFrame(&host);
    ASSERT_TRUE(attach());
    VSTGUI::CFrame* frame = view->getEditor()->getFrame();
    VSTGUI::CView* grip = view->getEditor()->getViewsByName().at("resizeHandle").front();
    VSTGUI::CPoint start = grip->getViewSize().getCenter();
    host.requests = 0;
    frame->platformOnMouseDown(grip->localToFrame(start), VSTGUI::kLButton);
    for (auto [x, y] : {std::pair{900, 500}, {700, 400}, {1100, 640}, {1300, 760}, {1617, 903}}) {
        const int before = host.requests;
        frame->platformOnMouseMoved({double(x), double(y)}, VSTGUI::kLButton);
        EXPECT_LE(host.requests - before, 1) << "moving to " << x << "," << y;
        EXPECT_EQ(sizeOf(view), std::make_pair(host.window.getWidth(), host.window.getHeight()));
    }
    frame->platformOnMouseUp({1617, 903}, VSTGUI::kLButton);
    EXPECT_GE(host.requests, 4);
    EXPECT_EQ(host.nested, 0);
    EXPECT_TRUE(host.moved.empty()) << host.moved.front();

    // Window sizes the host sets, on the rule or off it, are final: the view asks nothing back.
    for (auto [w, h] : {std::pair{909, 511}, {1000, 1000}, {641, 361}, {700, 300}}) {
        host.requests = 0;
        host.widgetResized(view, ViewRect(0, 0, w, h));
        EXPECT_EQ(host.requests, 0) << w << "x" << h;
        EXPECT_EQ(sizeOf(view), std::make_pair(host.window.getWidth(), host.window.getHeight()));
    }
}

TEST_F(EditorView, ClosingLetsGoOfTheEditorAndReopeningKeepsTheLastSize) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    EXPECT_EQ(loop.timers.size(), 1u);
    EXPECT_EQ(loop.interval, 10u);
    ViewRect hostSize(0, 0, 1280, 720);
    view->onSize(&hostSize);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(view->getEditor(), nullptr);
    EXPECT_TRUE(loop.timers.empty()); // everything registered is unregistered

    // The facade reports a parameter change; a facade still pointing at the deleted editor would
    // be a use after free (the sanitizer build sees it).
    testhost::OutputBlock block(64);
    testhost::ParameterChanges changes;
    changes.add(k1lib::Param_Volume, {{0, 0.3}});
    i.run(block, nullptr, &changes);

    ASSERT_TRUE(attach());
    EXPECT_EQ(sizeOf(view), std::make_pair(1280, 720));
    VSTGUI::CRect frameSize;
    view->getEditor()->getFrame()->getSize(frameSize);
    EXPECT_EQ(frameSize.getWidth(), 1280);
}

TEST_F(EditorView, OneViewAtATimeAndOnlyForTheEditorName) {
    EXPECT_EQ(i->createView("other"), nullptr);
    EXPECT_EQ(i->createView(nullptr), nullptr);
    ASSERT_TRUE(create());
    EXPECT_EQ(i->createView("editor"), nullptr);
    ASSERT_TRUE(attach());
    ViewRect hostSize(0, 0, 1600, 900);
    view->onSize(&hostSize);
    view->removed();
    view->release();
    view = nullptr;
    ASSERT_TRUE(create()); // destroying the view let the processor make a new one
    EXPECT_EQ(sizeOf(view), std::make_pair(1600, 900)); // at the size the last window closed with
}

TEST_F(EditorView, APanelEditIsOneCompleteHostEditAndShowsAtOnce) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    view->changeParameter(k1lib::Param_Volume, 0.75f);
    ASSERT_EQ(plugFrame.edits.size(), 3u);
    EXPECT_EQ(plugFrame.edits[0].kind, 'b');
    EXPECT_EQ(plugFrame.edits[1].kind, 'p');
    EXPECT_EQ(plugFrame.edits[1].id, static_cast<Vst::ParamID>(k1lib::Param_Volume));
    EXPECT_FLOAT_EQ(static_cast<float>(plugFrame.edits[1].value), 0.75f);
    EXPECT_EQ(plugFrame.edits[2].kind, 'e');
    // The echo reaches the panel on the next idle tick, driven from the host's run loop.
    clock.advance(100);
    loop.tick();
    EXPECT_FLOAT_EQ(shownVolume(), 0.75f);
}

// What the host saw, one letter per call (b begin, p perform, e end), for the given parameters.
std::string editsOf(const std::vector<RecordingPlugFrame::Edit>& edits, std::vector<Vst::ParamID> ids) {
    std::string kinds;
    for (const auto& e : edits)
        if (std::find(ids.begin(), ids.end(), e.id) != ids.end()) kinds += e.kind;
    return kinds;
}

TEST_F(EditorView, AGestureIsOneHostEditFromPressToRelease) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    K1Editor& editor = *view->getEditor();
    const VSTGUI::CButtonState left(VSTGUI::kLButton);

    VSTGUI::CControl* knob = editor.controls[k1lib::Param_Volume];
    ASSERT_NE(knob, nullptr);
    VSTGUI::CPoint at = knob->getViewSize().getCenter();
    knob->onMouseDown(at, left);
    for (int step = 1; step <= 4; ++step) {
        VSTGUI::CPoint to(at.x, at.y - 20.0 * step);
        knob->onMouseMoved(to, left);
    }
    knob->onMouseUp(at, left);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}), "bppppe");
    EXPECT_EQ(plugFrame.edits.size(), 6u); // nothing else went to the host

    plugFrame.edits.clear(); // a wheel turn is a gesture of its own, ended when the wheel rests
    knob->onWheel(at, VSTGUI::kMouseWheelAxisY, 1.0f, VSTGUI::CButtonState());
    clock.advance(VSTGUI::CKnobBase::kWheelRestMs);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}), "bpe");

    plugFrame.edits.clear(); // a menu choice is one edit
    VSTGUI::COptionMenu* shape = editor.optionMenus[k1lib::Param_LfoShape];
    ASSERT_NE(shape, nullptr);
    shape->setValue(2.0f);
    shape->valueChanged();
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_LfoShape}), "bpe");

    plugFrame.edits.clear(); // the pad's drag: one edit of each of its two values
    uiSourceMix* pad = editor.getSourceMix();
    ASSERT_NE(pad, nullptr);
    pad->viewOnMouseDown(nullptr, {}, left);
    pad->viewOnMouseMoved(nullptr, {10, 10}, left);
    pad->viewOnMouseMoved(nullptr, {20, 30}, left);
    pad->viewOnMouseUp(nullptr, {20, 30}, left);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_SourceMix12}), "bppe");
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_SourceMix34}), "bppe");

    plugFrame.edits.clear(); // a window closed in the middle of a drag still ends the edit
    knob->onMouseDown(at, left);
    VSTGUI::CPoint up(at.x, at.y - 40.0);
    knob->onMouseMoved(up, left);
    view->removed();
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}), "bpe");
}

// One default per control: Ctrl+click gives the value the host declared (a new instance's),
// which is what the host's "reset to default" gives too, on the common page and a source's.
TEST_F(EditorView, CtrlClickResetsEveryKnobToTheHostsDefault) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    K1Editor& editor = *view->getEditor();
    int knobs = 0;
    for (unsigned long source : {0ul, 2ul}) { // a source's views move to its parameters
        editor.setActiveSource(source);
        for (uint32_t p = 0; p < k1lib::kParamCount; ++p) {
            auto* knob = dynamic_cast<VSTGUI::CKnobBase*>(editor.controls[p]);
            if (!knob) continue;
            Vst::ParameterInfo info{};
            ASSERT_EQ(i->getParameterInfo(static_cast<int32>(p), info), kResultOk);
            plugFrame.edits.clear();
            VSTGUI::CPoint at = knob->getViewSize().getCenter();
            knob->onMouseDown(at, VSTGUI::CButtonState(VSTGUI::kLButton | VSTGUI::kControl));
            ++knobs;
            ASSERT_EQ(editsOf(plugFrame.edits, {p}), "bpe") << p;
            EXPECT_NEAR(plugFrame.edits[1].value, info.defaultNormalizedValue, 1e-6) << p;
        }
    }
    EXPECT_GT(knobs, 20); // Volume among them: 47 for a new instance, 100 in the table
}

// Touch automation records only between beginEdit and endEdit, and nothing for a gesture that
// ends within one round of the host's GUI: wheel notches on one knob are one gesture until the
// wheel has rested half a second, or another control is touched.
TEST_F(EditorView, WheelNotchesAreOneGestureUntilTheWheelRests) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    K1Editor& editor = *view->getEditor();
    VSTGUI::CControl* volume = editor.controls[k1lib::Param_Volume];
    VSTGUI::CControl* speed = editor.controls[k1lib::Param_LfoSpeed];
    ASSERT_TRUE(volume && speed);
    VSTGUI::CPoint at = volume->getViewSize().getCenter();
    auto notch = [&](VSTGUI::CControl* knob, float distance) {
        knob->onWheel(at, VSTGUI::kMouseWheelAxisY, distance, VSTGUI::CButtonState());
        clock.advance(120); // a steady turn
    };
    for (int n = 0; n < 8; ++n)
        notch(volume, n < 6 ? 1.0f : -1.0f);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}), "bpppppppp");
    clock.advance(VSTGUI::CKnobBase::kWheelRestMs - 120 - 20);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}).back(), 'p');
    clock.advance(40);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume}), "bppppppppe");

    plugFrame.edits.clear(); // turning another knob ends the first one's gesture at once
    notch(volume, 1.0f);
    notch(speed, 1.0f);
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_Volume, k1lib::Param_LfoSpeed}), "bpebp");
    plugFrame.edits.clear(); // and so does pressing any other control
    editor.kickButtons[k1lib::Param_SourceS1Mute]->onMouseDown(at, VSTGUI::CButtonState(VSTGUI::kLButton));
    EXPECT_EQ(editsOf(plugFrame.edits, {k1lib::Param_LfoSpeed}), "e");
}

// A preset chosen in the panel is the user's edit of the program parameter, for hosts that save
// only edits; it is not echoed as an output change, and the host sending it back loads nothing.
TEST_F(EditorView, APresetChosenInThePanelIsOneHostEditOfTheProgram) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    testhost::OutputBlock block(64);
    testhost::ParameterChanges drain;
    i.run(block, nullptr, nullptr, &drain);
    view->getEditor()->getBrowser()->setProgram(5);
    ASSERT_EQ(i->getPlugin().getCurrentSingleIndex(), 5u);
    ASSERT_EQ(editsOf(plugFrame.edits, {k1AudioProcessor::kProgramParam}), "bpe");
    EXPECT_DOUBLE_EQ(plugFrame.edits[1].value, 5.0 / 1351.0);
    view->getEditor()->getBrowser()->setProgram(5); // the one playing: nothing to tell
    EXPECT_EQ(plugFrame.edits.size(), 3u);

    testhost::ParameterChanges echo;
    echo.add(k1AudioProcessor::kProgramParam, {{0, 5.0 / 1351.0}});
    testhost::ParameterChanges out;
    i.run(block, nullptr, &echo, &out);
    testhost::ParameterChanges later;
    i.run(block, nullptr, nullptr, &later);
    for (const auto* changes : {&out, &later})
        for (Vst::ParamID id : changes->ids())
            EXPECT_NE(id, k1AudioProcessor::kProgramParam);
    EXPECT_EQ(i->getPlugin().getCurrentSingleIndex(), 5u);
}

TEST_F(EditorView, HostValuesAndDeferredCallsRunFromTheRunLoop) {
    ASSERT_TRUE(create());
    ASSERT_TRUE(attach());
    EXPECT_EQ(i->setParamNormalized(k1lib::Param_Volume, 0.25), kResultOk);
    clock.advance(99);
    loop.tick();
    EXPECT_NE(shownVolume(), 0.25f); // not before the 100 ms idle tick
    clock.advance(1);
    loop.tick();
    EXPECT_FLOAT_EQ(shownVolume(), 0.25f);

    // A renamed Single: the program list's refresh is deferred to the user-interface thread and
    // runs from the editor's run-loop timer.
    i->getPlugin().setCurrentSingleName("RENAMED");
    EXPECT_EQ(plugFrame.programListChanges, 0);
    loop.tick();
    EXPECT_EQ(plugFrame.programListChanges, 1);
}

TEST_F(EditorView, AHostWithoutRunLoopIsRefused) {
    RecordingPlugFrame noLoop(nullptr);
    ASSERT_TRUE(create());
    view->setFrame(&noLoop);
    EXPECT_EQ(view->attached(nullptr, "X11EmbedWindowID"), kResultFalse);
    EXPECT_EQ(view->getEditor(), nullptr);
    const auto lines = log.lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("The host offers no run loop; the editor cannot open") != std::string::npos;
    }));
    EXPECT_EQ(view->attached(nullptr, "HWND"), kResultFalse);
    view->setFrame(&plugFrame);
    EXPECT_TRUE(attach());
}

// The audio thread plays notes and parameter changes while the view opens and closes.
TEST(EditorViewThread, OpeningAndClosingWhileTheAudioThreadPlays) {
    LogCapture log;
    zykgui::test::ScriptedDialogs dialogs;
    FakeRunLoop loop;
    RecordingPlugFrame plugFrame(&loop);
    Instrument i;
    i->setComponentHandler(&plugFrame);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        testhost::OutputBlock block(128);
        for (int n = 0; !stop; ++n) {
            testhost::EventList notes;
            notes.noteOn(static_cast<int16>(48 + n % 24), 0.8f, 0);
            testhost::ParameterChanges changes;
            changes.add(k1lib::Param_Volume, {{0, (n % 100) / 100.0}});
            i.run(block, &notes, &changes);
        }
    });
    for (int round = 0; round < 6; ++round) {
        auto* view = static_cast<k1EditController*>(i->createView("editor"));
        ASSERT_NE(view, nullptr);
        view->setFrame(&plugFrame);
        ASSERT_EQ(view->attached(nullptr, "X11EmbedWindowID"), kResultTrue);
        loop.tick();
        view->getEditor()->idle();
        view->removed();
        view->release();
    }
    stop = true;
    audio.join();
}
