// The editor's controls: parameter values shown on the views, and user actions turned into parameter
// changes, page switches and play-mode changes.
#include "editor/K1Editor.h"

#include "editor/k1EditorListener.h"
#include "editor/uiEnvelope.h"
#include "editor/uiMulti.h"
#include "editor/uiMultilevelOptionMenu.h"
#include "editor/uiSourceMix.h"
#include "k1lib/constants/K1Constants.h"
#include "k1lib/facade/Plugin.h"
#include "log/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace VSTGUI;
using namespace k1lib;

namespace {
constexpr unsigned long kSourceParamsBegin = Param_SourceS1Mute; // 27: per-source parameters start
constexpr unsigned long kSourceParamsEnd = Param_SourceS4FreqKeyScaleToFreq; // 106: and end
// Per-source parameters come in groups of one per source, S1 first.
constexpr unsigned long kSourceGroupSize = kSourceCount;
constexpr unsigned long kSourceParamCount = kSourceParamsEnd - kSourceParamsBegin + 1; // 80
// A source's key-tracking switch lies this many parameters after its coarse value.
constexpr unsigned long kKeyTrackAfterCoarse = Param_SourceS1KeyTrack - Param_SourceS1Coarse;
constexpr int kCoarseNoteCount = 128; // the coarse value is a note 0..127
constexpr int kCoarseCentre = 84;     // the coarse note of no transposition

bool inRange(EParam p, EParam first, EParam last) {
    return p >= first && p <= last;
}
float plainOf(EParam p, float normalised) {
    return normalised * g_params[p].range + g_params[p].min;
}
float normalisedOf(EParam p, float plain) {
    return std::clamp((plain - g_params[p].min) * g_params[p].rangeInv, 0.f, 1.f);
}
// Integer parameters travel as floats: round, so that 57/99 x 99 = 56.99999 still means 57.
int roundedPlain(EParam p, float normalised) {
    return static_cast<int>(std::lround(plainOf(p, normalised)));
}

// Name characters the K1 can store are 32..127; a UTF-8 sequence or a control character becomes one
// blank. At most ten characters are kept.
std::string cleanName(const std::string& text) {
    std::string name;
    for (unsigned char c : text) {
        if (name.size() == kNameLength) break;
        if (c >= 0x80 && c < 0xC0) continue; // continuation byte of a character already replaced
        name.push_back(c >= 32 && c < 0x80 ? static_cast<char>(c) : ' ');
    }
    return name;
}

void show(CView* view, bool visible) {
    if (view) view->setVisible(visible);
}
} // namespace

void K1Editor::setParameterFromUi(EParam param, float value) const {
    if (param >= kParamCount) return;
    if (listener) listener->changeParameter(param, value);
    // False when sysex sending is off or the value is not one; nothing more to do either way.
    plugin.sendParameterChangeAsSysex(param, value);
}

void K1Editor::beginParameterGesture(EParam param) const {
    if (param < kParamCount && listener) listener->beginParameterGesture(param);
}

void K1Editor::endParameterGesture(EParam param) const {
    if (param < kParamCount && listener) listener->endParameterGesture(param);
}

void K1Editor::onProgramChosen() const {
    if (listener) listener->changeProgram();
}

void K1Editor::endWheelEditsExcept(const CControl* touched) {
    // A run of wheel notches is one edit until the wheel rests, or until another control is touched.
    for (CControl* control : controls)
        if (auto* knob = dynamic_cast<CKnobBase*>(control); knob && knob != touched && knob->isWheelEditing())
            knob->endWheelEdit();
}

void K1Editor::controlBeginEdit(CControl* control) {
    endWheelEditsExcept(control);
    const std::optional<EParam> p = boundParameterOf(control);
    if (!p || controlGestures.count(control)) return;
    controlGestures[control] = *p;
    beginParameterGesture(*p);
}

void K1Editor::controlEndEdit(CControl* control) {
    const auto open = controlGestures.find(control);
    if (open == controlGestures.end()) return;
    const EParam p = open->second;
    controlGestures.erase(open);
    endParameterGesture(p);
}

float K1Editor::defaultValueOf(EParam param) const {
    // One default per control: the one the host declared, which its "reset to default" gives.
    const std::optional<float> declared = listener ? listener->getDefaultValue(param) : std::nullopt;
    return declared ? *declared : ParameterControls::defaultValueOf(param);
}

std::optional<EParam> K1Editor::boundParameterOf(const CControl* control) const {
    if (!control) return std::nullopt;
    for (unsigned long p = 0; p < kParamCount; ++p)
        if (control == kickButtons[p] || control == optionMenus[p] || control == controls[p])
            return static_cast<EParam>(p);
    return std::nullopt;
}

void K1Editor::swapSources(int a, int b) {
    if (!plugin.swapSources(static_cast<size_t>(a), static_cast<size_t>(b)))
        k1lib::log("swapSources", 65, "Refusing to swap sources ", a, " and ", b);
}

void K1Editor::setButtonImage(CView* button, CBitmap* image) {
    if (!button || !image || button->getBackground() == image) return;
    button->setBackground(image);
    button->invalid();
}

void K1Editor::setSmallButtonActive(CKickButton* button, bool on) {
    setButtonImage(button, on ? bitmapSmallOn : bitmapSmallOff);
}

void K1Editor::setLargeButtonActive(CKickButton* button, bool on) {
    setButtonImage(button, on ? bitmapLargeOn : bitmapLargeOff);
}

void K1Editor::updateMultilevelOptionMenuFromParam(uiMultilevelOptionMenu* menu, EParam param, float value) {
    if (!menu || param >= kParamCount) return;
    menu->setTitle(ControlHelpers::getItemTextByTag(menu->getMenu(), roundedPlain(param, value)));
}

void K1Editor::onParamChanged(EParam p, float v) {
    if (p >= kParamCount) return;
    const float plain = plainOf(p, v);
    if ((p == Param_SourceMix12 || p == Param_SourceMix34) && sourceMix)
        sourceMix->onSourceMixParametersChanged();
    if (CControl* control = controls[p]) {
        if (inRange(p, Param_SourceS1EnvDelay, Param_SourceS4EnvRelease) && envelope)
            envelope->updateFromParameters();
        if (inRange(p, Param_SourceS1Coarse, Param_SourceS4Coarse))
            // The coarse knob works in plain units over a narrower range than the parameter's.
            control->setValue(std::clamp(plain, control->getMin(), control->getMax()));
        else
            control->setValueNormalized(v);
    }
    if (COptionMenu* menu = optionMenus[p]) {
        if (uiMultilevelOptionMenu* multilevel = multilevelOptionMenus[p])
            updateMultilevelOptionMenuFromParam(multilevel, p, v);
        else if (menu->getNbEntries() > 0)
            // Entries are one per value: pick the entry by its rounded position.
            menu->setValue(std::round(std::clamp(v, 0.f, 1.f) * menu->getRange()));
    }
    if (CKickButton* button = kickButtons[p]) {
        const bool set = v != 0.f;
        if (inRange(p, Param_SourceS1Mute, Param_SourceS4Mute)) {
            if (CBitmap* image = set ? bitmapSmallRed : bitmapSmallOff) button->setBackground(image);
        } else if (inRange(p, Param_SourceS1KeyTrack, Param_SourceS4KeyTrack)) {
            setLargeButtonActive(button, set);
            showKeyTracking(static_cast<EParam>(p - kKeyTrackAfterCoarse), set);
        } else if (inRange(p, Param_SourceS1VibABend, Param_SourceS4PressureToFreq)) {
            setLargeButtonActive(button, set);
        } else {
            setSmallButtonActive(button, set);
        }
    }
    if (CTextLabel* label = labels[p]) {
        if (inRange(p, Param_SourceS1Coarse, Param_SourceS4Coarse)) {
            const long n = std::lround(plain) - kCoarseCentre;
            char text[16];
            std::snprintf(text, sizeof text, n > 0 ? "+%ld" : "%ld", n);
            label->setText(text);
        } else {
            label->setText(g_params[p].formatValue(p, plain));
        }
    }
    if (multi) multi->onParamChanged(p, v);
}

// With key tracking the coarse value is a knob in semitones; without, a note from the menu with step
// buttons.
void K1Editor::showKeyTracking(EParam coarseParam, bool keyTrack) {
    show(optionMenus[coarseParam], !keyTrack);
    show(controls[coarseParam], keyTrack);
    show(labels[coarseParam], keyTrack);
    for (CView* view : {static_cast<CView*>(btCoarseDec), static_cast<CView*>(btCoarseInc), btCoarseDecText,
                        btCoarseIncText})
        show(view, !keyTrack);
}

void K1Editor::valueChanged(CControl* control) {
    if (!control) return;
    endWheelEditsExcept(control);
    if (control == editSingleName) return onNameEdited(editSingleName, Param_Name01, true);
    if (control == editMultiName) return onNameEdited(editMultiName, Param_MultiName01, false);
    if (control->getValue() < 0.5f && onButtonReleased(control)) return;
    if (onPageButton(control)) return;
    onBoundControl(control);
}

void K1Editor::onNameEdited(CTextEdit* field, EParam firstParam, bool single) {
    const std::string name = cleanName(field->getText().getString());
    for (unsigned long i = 0; i < kNameLength; ++i) {
        const auto c = static_cast<unsigned char>(i < name.size() ? name[i] : ' ');
        const auto param = static_cast<EParam>(firstParam + i);
        setParameterFromUi(param, normalisedOf(param, c));
    }
    // The panel, the host and the K1 all get the same cleaned name.
    if (name != field->getText().getString()) field->setText(name);
    if (single)
        plugin.setCurrentSingleName(name);
    else
        plugin.setCurrentMultiName(name);
}

// Mode, page and step buttons act on the release of the kick button.
bool K1Editor::onButtonReleased(CControl* control) {
    if (control == btModeSingle) {
        plugin.setPlayMode(PlayMode_Single);
    } else if (control == btModeMulti) {
        plugin.setPlayMode(PlayMode_Multi);
    } else if (control == btEdit) {
        setModeEdit(!isEditMode());
    } else if (control == btSystem) {
        setModeSystem(!(modeEditSystem && modeEditSystem->isVisible()));
    } else if (control == btWaveDec || control == btWaveInc) {
        stepParameter(static_cast<EParam>(Param_SourceS1Wave + activeSource), control == btWaveInc ? 1 : -1,
                      kWaveCount);
    } else if (control == btCoarseDec || control == btCoarseInc) {
        stepParameter(static_cast<EParam>(Param_SourceS1Coarse + activeSource),
                      control == btCoarseInc ? 1 : -1, kCoarseNoteCount);
    } else {
        return false;
    }
    return true;
}

bool K1Editor::onPageButton(CControl* control) {
    for (unsigned long s = 0; s < btEditSource.size(); ++s) {
        if (control == btEditSource[s]) {
            setActiveSource(s);
            return true;
        }
    }
    if (control != btEditCommon) return false;
    setEditModeCommon();
    return true;
}

void K1Editor::stepParameter(EParam param, int delta, int modulo) {
    const int current = roundedPlain(param, plugin.getParameter(param));
    const int next = ((current + delta) % modulo + modulo) % modulo;
    setParameterFromUi(param, normalisedOf(param, static_cast<float>(next)));
}

void K1Editor::onBoundControl(CControl* control) {
    for (unsigned long p = 0; p < kParamCount; ++p) {
        const auto param = static_cast<EParam>(p);
        if (control == kickButtons[p]) {
            // Bound kick buttons toggle on the press notification; the release sends nothing.
            if (control->getValue() > 0.5f)
                setParameterFromUi(param, plugin.getParameter(param) > 0.5f ? 0.f : 1.f);
            return;
        }
        if (control == optionMenus[p]) {
            if (uiMultilevelOptionMenu* multilevel = multilevelOptionMenus[p]) {
                int32_t index = -1;
                COptionMenu* sub = multilevel->getMenu()->getLastItemMenu(index);
                const CMenuItem* item = sub ? sub->getEntry(index) : nullptr;
                // Entries of a multilevel menu carry the plain value as their tag.
                if (item && item->getTag() >= 0)
                    setParameterFromUi(param, normalisedOf(param, float(item->getTag())));
                return;
            }
            const float value = control->getValueNormalized();
            if (param == Param_AmpModS1S2 || param == Param_AmpModS3S4) {
                // Amplitude modulation by the pair's other source (value 2) swaps the pair's order.
                const int before = roundedPlain(param, plugin.getParameter(param));
                const int after = roundedPlain(param, value);
                if ((before == 2) != (after == 2)) {
                    if (param == Param_AmpModS1S2)
                        swapSources(0, 1);
                    else
                        swapSources(2, 3);
                }
            }
            setParameterFromUi(param, value);
            return;
        }
        if (control == controls[p]) {
            if (inRange(param, Param_SourceS1Coarse, Param_SourceS4Coarse))
                setParameterFromUi(param, normalisedOf(param, control->getValue()));
            else
                setParameterFromUi(param, control->getValueNormalized());
            return;
        }
    }
}

void K1Editor::setActiveSource(unsigned long s) {
    if (s >= kSourceGroupSize) return;
    setModeEdit(true);
    show(editCommon, false);
    show(editSource, true);
    setButtonImage(btEditCommon, bitmapSmallOff);
    for (unsigned long i = 0; i < btEditSource.size(); ++i)
        setSmallButtonActive(btEditSource[i], i == s);
    if (s == activeSource) return;
    activeSource = s;
    moveSourceViews(s);
    for (unsigned long p = kSourceParamsBegin + s; p <= kSourceParamsEnd; p += kSourceGroupSize) {
        const auto param = static_cast<EParam>(p);
        applyDefaultValue(param);
        onParamChanged(param, plugin.getParameter(param));
    }
    if (envelope) envelope->updateFromParameters();
    if (editSource) editSource->invalid();
}

// The panel has one set of source views (the mutes excepted): they move to the slots of the source
// shown, group by group of four parameters.
void K1Editor::moveSourceViews(unsigned long s) {
    auto move = [s](auto& table) {
        for (unsigned long k = kSourceGroupSize; k < kSourceParamCount; ++k) { // the mutes stay
            const unsigned long from = kSourceParamsBegin + k;
            const unsigned long to = kSourceParamsBegin + (k / kSourceGroupSize) * kSourceGroupSize + s;
            if (!table[from] || to == from) continue;
            table[to] = table[from];
            table[from] = nullptr;
        }
    };
    move(kickButtons);
    move(controls);
    move(optionMenus);
    move(labels);
    move(multilevelOptionMenus);
}
