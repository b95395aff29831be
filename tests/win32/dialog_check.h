#pragma once
// Checks of a dialog as it stands on the screen: texts that do not fit their
// control, access keys, and the controls the keyboard reaches. Each returns
// one line per problem, naming the control and its text; none is a pass.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/bindings.h"

namespace dialogcheck {

// Every visible static text, push button, check box, option button and
// group box whose text, measured with the control's own font, needs more
// room than the control gives it. `names` names controls by their IDs.
std::vector<std::string> CutTexts(HWND dialog, const std::vector<ui::Binding>& names = {});

// Two visible controls sharing an access key, and a label whose key does
// not lead to the control that follows it (the field it labels).
std::vector<std::string> AccessKeyClashes(HWND dialog, const std::vector<ui::Binding>& names = {});

// Enabled visible controls that take input and that neither Tab nor, inside
// a group of option buttons, the arrow keys reach.
std::vector<std::string> UnreachedByKeyboard(HWND dialog, const std::vector<ui::Binding>& names = {});

// The access key of a control's text: the character after the first single
// "&", upper-cased; 0 when there is none ("&&" shows an "&").
wchar_t AccessKey(const std::wstring& text);

// A visible top-level window of this process that holds a control of that
// ID; null when there is none.
HWND VisibleWindowWith(int controlId);

// Types a key into the control with the focus the way the keyboard does:
// posted to it, for the message loop and its dialog manager to handle.
void PressKey(HWND dialog, WPARAM key);

// Fit and access keys of one window as it stands, each problem prefixed
// with where it was seen.
void CheckWindow(HWND window, const std::string& where, const std::vector<ui::Binding>& names,
                 std::vector<std::string>& problems);

// The problems, one per indented line, for a failure message.
std::string Joined(const std::vector<std::string>& lines);

}  // namespace dialogcheck
