// The file selector under VSTGUI's names; it asks the current zykgui::Dialogs.
#pragma once

#include "gui/CBaseObject.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace VSTGUI {

class CFrame;

class CFileExtension {
public:
    CFileExtension(UTF8StringPtr description, UTF8StringPtr extension, UTF8StringPtr mimeType = nullptr,
                   int32_t macType = 0, UTF8StringPtr uti = nullptr);

    const std::string& getDescription() const { return description; }
    const std::string& getExtension() const { return extension; }
    bool operator==(const CFileExtension& o) const { return extension == o.extension; }

private:
    std::string description;
    std::string extension;
    std::string mimeType;
};

class CNewFileSelector : public CBaseObject {
public:
    enum Style { kSelectFile, kSelectSaveFile, kSelectDirectory };
    using CallbackFunc = std::function<void(CNewFileSelector*)>;

    // Null for a style this platform does not offer (directories).
    static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);

    void setTitle(UTF8StringPtr title);
    void addFileExtension(const CFileExtension& extension);
    void setDefaultExtension(const CFileExtension& extension);

    // Runs the dialog modally, then calls `callback` (also when nothing was chosen).
    bool run(CallbackFunc&& callback);
    uint32_t getNumSelectedFiles() const { return static_cast<uint32_t>(selected.size()); }
    // Null beyond the chosen files.
    UTF8StringPtr getSelectedFile(uint32_t index) const;

private:
    CNewFileSelector(CFrame* parent, Style style);

    CFrame* frame;
    Style style;
    std::string title;
    std::vector<CFileExtension> extensions;
    std::string defaultExtension;
    std::vector<std::string> selected;
};

} // namespace VSTGUI
