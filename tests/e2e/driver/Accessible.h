// What a screen reader finds in another program's window, through the system's accessibility interface,
// and the keyboard as a user without a mouse drives it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace yardrive {

// One line per accessible object shown in the window's client area, depth first, indented by two blanks
// per level: role, name, value and states, separated by tabs. A child window stands for its client
// area; hidden objects and what lies in them are left out.
std::vector<std::string> AccessibleTree(HWND window);

// The control that has the keyboard in the window's thread (nullptr: none), and the line its
// accessible object gives.
HWND FocusOf(HWND window);
std::string DescribeAccessible(HWND control);

// Brings the window to the front and types each key as the keyboard would: a name (tab, enter,
// escape, space, up, down, left, right, home, end, pgup, pgdn, f4) or a single letter, each after
// any of "shift+", "alt+" and "ctrl+". Throws std::invalid_argument for a name it does not know.
void TypeKeys(HWND window, const std::vector<std::string>& keys);

} // namespace yardrive
