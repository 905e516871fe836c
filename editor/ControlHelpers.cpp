#include "editor/ControlHelpers.h"

#include "gui/vstgui/vstgui.h"
#include "k1lib/params/Parameters.h"
#include "log/Log.h"

#include <cmath>
#include <memory>

using namespace VSTGUI;

void ControlHelpers::getViewsByCustomViewName(ViewsByName& map, CView* view) {
    if (!view) return;
    uint32_t size = 0;
    if (view->getAttributeSize(kCViewCustomViewNameAttribute, size) && size > 0) {
        std::vector<char> buffer(size + 1, 0);
        uint32_t got = 0;
        if (view->getAttribute(kCViewCustomViewNameAttribute, size, buffer.data(), got) && buffer[0] != 0)
            map[buffer.data()].push_back(view);
    }
    if (CViewContainer* container = view->asViewContainer())
        for (uint32_t i = 0; i < container->getNbViews(); ++i)
            getViewsByCustomViewName(map, container->getView(i));
}

template <class T> T* ControlHelpers::initView(const ViewsByName& map, const std::string& name) {
    const auto found = map.find(name);
    if (found == map.end()) {
        k1lib::log("initView", 37, "Failed to find view named ", name);
        return nullptr;
    }
    for (CView* view : found->second)
        if (auto* typed = dynamic_cast<T*>(view)) return typed;
    k1lib::log("initView", 49, "View named ", name, " not found as required type");
    return nullptr;
}

template CView* ControlHelpers::initView<CView>(const ViewsByName&, const std::string&);
template CViewContainer* ControlHelpers::initView<CViewContainer>(const ViewsByName&, const std::string&);
template CKickButton* ControlHelpers::initView<CKickButton>(const ViewsByName&, const std::string&);
template CTextEdit* ControlHelpers::initView<CTextEdit>(const ViewsByName&, const std::string&);
template CTextLabel* ControlHelpers::initView<CTextLabel>(const ViewsByName&, const std::string&);
template CKnobBase* ControlHelpers::initView<CKnobBase>(const ViewsByName&, const std::string&);
template COptionMenu* ControlHelpers::initView<COptionMenu>(const ViewsByName&, const std::string&);

bool ControlHelpers::initKnob(const ViewsByName& map, CKnobBase*& knob, CTextLabel*& label,
                              const std::string& name) {
    knob = initView<CKnobBase>(map, name);
    label = initView<CTextLabel>(map, name);
    return knob && label;
}

void ControlHelpers::addTitle(COptionMenu* menu, const char* text) {
    menu->addEntry(new CMenuItem(text, "", 0, nullptr, CMenuItem::kTitle));
}

void ControlHelpers::addRangeAsSubmenu(COptionMenu* menu, k1lib::EParam p, const char* title, int first,
                                       int last) {
    auto sub = owned(new COptionMenu());
    for (int v = first - 1; v <= last - 1; ++v) {
        CMenuItem* item = sub->addEntry(k1lib::g_params[p].formatValue(p, static_cast<float>(v)));
        item->setTag(v);
    }
    menu->addEntry(sub, title);
}

void ControlHelpers::addParameterRangeAsMenuEntries(COptionMenu* menu, k1lib::EParam p) {
    const int min = static_cast<int>(k1lib::g_params[p].min);
    const int max = static_cast<int>(k1lib::g_params[p].max);
    for (int v = min; v <= max; ++v)
        menu->addEntry(k1lib::g_params[p].formatValue(p, static_cast<float>(v)));
}

std::string ControlHelpers::getItemTextByTag(COptionMenu* menu, int tag) {
    if (!menu) return {};
    for (int32_t i = 0; i < menu->getNbEntries(); ++i) {
        CMenuItem* item = menu->getEntry(i);
        if (COptionMenu* sub = item->getSubmenu()) {
            std::string text = getItemTextByTag(sub, tag);
            if (!text.empty()) return text;
        } else if (item->getTag() == tag) {
            return item->getTitle().getString();
        }
    }
    return {};
}
