#include <gtest/gtest.h>

#include <stdexcept>

#include "applet/basApplet.h"

using namespace basApplet;

namespace {

TEST(CplApplet, AnswersEveryMessageOfTheControlPanel) {
    struct Case {
        std::uint32_t message;
        std::intptr_t applet;
        std::int32_t result;
    };
    const Case cases[] = {
        {kCplInit, 0, 1},   {kCplGetCount, 0, 1}, {kCplInquire, 0, 0},    {kCplInquire, 1, 1},
        {kCplSelect, 0, 0}, {kCplStop, 0, 0},     {kCplExit, 0, 0},       {kCplNewInquire, 0, 1},
        {9, 0, 0},          {10, 0, 0},           {0xFFFFFFFF, 0, 0},
    };
    for (const Case& c : cases) {
        AppletInfo info{-1, -1, -1, -1};
        int shown = 0;
        std::int32_t r = CplApplet(c.message, c.applet, reinterpret_cast<std::intptr_t>(&info), [&] { ++shown; });
        EXPECT_EQ(r, c.result) << "message " << c.message << " applet " << c.applet;
        EXPECT_EQ(shown, 0) << "message " << c.message;
        bool filled = c.message == kCplInquire && c.applet == 0;
        // Copies: the record is packed, its fields are not aligned.
        std::int32_t icon = info.idIcon, name = info.idName, text = info.idInfo;
        std::intptr_t data = info.lData;
        EXPECT_EQ(icon, filled ? 2 : -1) << "message " << c.message << " applet " << c.applet;
        EXPECT_EQ(name, filled ? 2 : -1);
        EXPECT_EQ(text, filled ? 3 : -1);
        EXPECT_EQ(data, filled ? 0 : -1);
    }
    // No record to fill is not a crash.
    EXPECT_EQ(CplApplet(kCplInquire, 0, 0, {}), 0);
}

TEST(CplApplet, DoubleClickShowsTheDialogAndSwallowsItsErrors) {
    int shown = 0;
    EXPECT_EQ(CplApplet(kCplDblClk, 0, 0, [&] { ++shown; }), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(CplApplet(kCplDblClk, 0, 0, [] { throw std::runtime_error("no dialog"); }), 0);
    EXPECT_EQ(CplApplet(kCplDblClk, 0, 0, [] { throw 42; }), 0);
}

}  // namespace
