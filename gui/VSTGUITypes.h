// Small enumerations and identifiers shared by views, drawing and the frame.
#pragma once

#include <cstdint>

namespace VSTGUI {

// View attribute identifiers are four-character codes.
using CViewAttributeID = uint32_t;
// The custom-view name a description gives a view (a NUL-terminated string).
constexpr CViewAttributeID makeAttributeID(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
           uint8_t(d);
}
constexpr CViewAttributeID kCViewCustomViewNameAttribute = makeAttributeID('u', 'i', 'c', 'v');
constexpr CViewAttributeID kCViewTooltipAttribute = makeAttributeID('c', 'v', 't', 't');

enum class BitmapInterpolationQuality : uint32_t { kDefault = 0, kLow = 1, kMedium = 2, kHigh = 3 };

enum CDrawModeFlags : uint32_t { kAliasing = 0, kAntiAliasing = 1, kNonIntegralMode = 0xF000000 };
using CDrawMode = uint32_t;

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

enum class PlatformType : int32_t {
    kHWND,
    kWindowRef,
    kNSView,
    kUIView,
    kHWNDTopLevel,
    kX11EmbedWindowID,
    kDefaultNative = kX11EmbedWindowID
};

// Platform-specific frame options; none are needed here.
struct IPlatformFrameConfig {
    virtual ~IPlatformFrameConfig() = default;
};

} // namespace VSTGUI
