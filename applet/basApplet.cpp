#include "applet/basApplet.h"

namespace basApplet {

std::int32_t CplApplet(std::uint32_t message, std::intptr_t lParam1, std::intptr_t lParam2,
                       const std::function<void()>& showDialog) {
    switch (message) {
        case kCplInit:
        case kCplGetCount:
        case kCplNewInquire:  // the host then asks with CPL_INQUIRE
            return 1;
        case kCplInquire: {
            // There is one applet, number 0; a null record gets nothing.
            if (lParam1 != 0) return 1;
            if (lParam2 != 0) *reinterpret_cast<AppletInfo*>(lParam2) = {kIconId, kNameId, kInfoId, 0};
            return 0;
        }
        case kCplDblClk:
            try {
                if (showDialog) showDialog();
            } catch (...) {
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace basApplet
