#include "gui/CNewFileSelector.h"

#include "gui/Dialogs.h"

namespace VSTGUI {

CFileExtension::CFileExtension(UTF8StringPtr descriptionText, UTF8StringPtr extensionText,
                               UTF8StringPtr mimeTypeText, int32_t, UTF8StringPtr)
    : description(descriptionText ? descriptionText : ""), extension(extensionText ? extensionText : ""),
      mimeType(mimeTypeText ? mimeTypeText : "") {}

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) {
    if (style == kSelectDirectory) return nullptr;
    return new CNewFileSelector(parent, style);
}

CNewFileSelector::CNewFileSelector(CFrame* parent, Style selectorStyle)
    : frame(parent), style(selectorStyle) {}

void CNewFileSelector::setTitle(UTF8StringPtr text) {
    title = text ? text : "";
}

void CNewFileSelector::addFileExtension(const CFileExtension& extension) {
    extensions.push_back(extension);
}

void CNewFileSelector::setDefaultExtension(const CFileExtension& extension) {
    defaultExtension = extension.getExtension();
    for (const auto& known : extensions)
        if (known == extension) return;
    extensions.push_back(extension);
}

bool CNewFileSelector::run(CallbackFunc&& callback) {
    zykgui::FileRequest request;
    request.save = style == kSelectSaveFile;
    request.title = title;
    for (const auto& e : extensions)
        request.types.push_back({e.getDescription(), e.getExtension()});
    request.defaultExtension = defaultExtension;
    selected.clear();
    std::string path = zykgui::Dialogs::current().chooseFile(frame, request);
    if (!path.empty()) selected.push_back(std::move(path));
    if (callback) callback(this);
    return !selected.empty();
}

UTF8StringPtr CNewFileSelector::getSelectedFile(uint32_t index) const {
    return index < selected.size() ? selected[index].c_str() : nullptr;
}

} // namespace VSTGUI
