#include "editor/uiEnvelope.h"

#include "editor/K1Editor.h"
#include "k1lib/facade/Plugin.h"
#include "k1lib/params/Parameters.h"

using namespace VSTGUI;

namespace {
const CColor g_colTop(0x00, 0xD5, 0x41, 0xFF);
const CColor g_colBottom(0x00, 0x55, 0x24, 0xFF);
} // namespace

uiEnvelope::uiEnvelope(K1Editor& owner, const CRect& viewSize, IControlListener* controlListener,
                       long controlTag, CBitmap* backgroundBitmap, const CColor& lineColour)
    : CControl(viewSize, controlListener, static_cast<int32_t>(controlTag), backgroundBitmap), editor(owner),
      colour(lineColour) {}

uiEnvelope::uiEnvelope(const uiEnvelope& other)
    : CControl(other), editor(other.editor), colour(other.colour), delay(other.delay), attack(other.attack),
      decay(other.decay), sustain(other.sustain), release(other.release) {}

uiEnvelope::~uiEnvelope() = default;

void uiEnvelope::setField(float& field, float newValue) {
    // A NaN never equals anything, so it always counts as a change.
    if (field == newValue) return;
    field = newValue;
    redraw();
}

void uiEnvelope::setDelay(float newValue) {
    setField(delay, newValue);
}
void uiEnvelope::setAttack(float newValue) {
    setField(attack, newValue);
}
void uiEnvelope::setDecay(float newValue) {
    setField(decay, newValue);
}
void uiEnvelope::setSustain(float newValue) {
    setField(sustain, newValue);
}
void uiEnvelope::setRelease(float newValue) {
    setField(release, newValue);
}

float uiEnvelope::getParameter(unsigned long offset) const {
    const auto param = static_cast<k1lib::EParam>(offset + editor.getActiveSource());
    const k1lib::CParam& row = k1lib::g_params[param];
    return editor.getPlugin().getParameter(param) * row.range + row.min;
}

void uiEnvelope::updateFromParameters() {
    setDelay(getParameter(k1lib::Param_SourceS1EnvDelay));
    setAttack(getParameter(k1lib::Param_SourceS1EnvAttack));
    setDecay(getParameter(k1lib::Param_SourceS1EnvDecay));
    setSustain(getParameter(k1lib::Param_SourceS1EnvSustain));
    setRelease(getParameter(k1lib::Param_SourceS1EnvRelease));
}

void uiEnvelope::redraw() {
    setDirty(false);
    invalidRect(getViewSize());
}

void uiEnvelope::draw(CDrawContext* context) {
    const CRect& r = getViewSize();
    const double left = r.left;
    const double top = r.top;
    const double height = r.getHeight();
    const double slot = r.getWidth() / 5.0;
    const double bottom = top + height - 1;
    const double sustainY = top + (1.0 - sustain / 100.0) * (height - 1);

    CGraphicsPath* path = context->createGraphicsPath();
    double x = left + delay * slot / 100.0;
    path->beginSubpath(CPoint(x, bottom));
    x += attack * slot / 100.0;
    path->addLine(CPoint(x, top));
    x += decay * slot / 100.0;
    path->addLine(CPoint(x, sustainY));
    // The sustain plateau has a fixed width of one slot.
    x += slot;
    path->addLine(CPoint(x, sustainY));
    x += release * slot / 100.0;
    path->addLine(CPoint(x, bottom));
    path->closeSubpath();

    SharedPointer<CGradient> gradient = owned(CGradient::create(0, 1, g_colTop, g_colBottom));
    context->setDrawMode(kAntiAliasing);
    context->fillLinearGradient(path, *gradient, CPoint(left, top), CPoint(left, top + height), false);
    path->forget();
    setDirty(false);
}
