#pragma once
#include <cstdint>
#include <functional>

// The Control Panel's side of the applet: the messages its entry answers.
namespace basApplet {

// The Control Panel's messages, by their numbers.
enum CplMessage : std::uint32_t {
    kCplInit = 1,
    kCplGetCount = 2,
    kCplInquire = 3,
    kCplSelect = 4,
    kCplDblClk = 5,
    kCplStop = 6,
    kCplExit = 7,
    kCplNewInquire = 8,
};

// The record CPL_INQUIRE fills, in the platform's own layout: three 32-bit
// resource ids and the applet's pointer-sized user data, packed.
#pragma pack(push, 1)
struct AppletInfo {
    std::int32_t idIcon;
    std::int32_t idName;
    std::int32_t idInfo;
    std::intptr_t lData;
};
#pragma pack(pop)

inline constexpr std::int32_t kIconId = 2;
inline constexpr std::int32_t kNameId = 2;
inline constexpr std::int32_t kInfoId = 3;

// The applet entry's answer to one message. `showDialog` runs for a
// double-click and returns when the dialog closes; whatever it throws is
// dropped there, so the Control Panel never sees it.
std::int32_t CplApplet(std::uint32_t message, std::intptr_t lParam1, std::intptr_t lParam2,
                       const std::function<void()>& showDialog);

}  // namespace basApplet
