// What screen readers are told of the toolkit's windows. A window answers WM_GETOBJECT for its client
// area with the system's standard accessible object for it, wrapped so that the control may say more:
// a name where the system finds none (an edit whose label is drawn by its parent, not a window), a role
// and a value the system cannot know (a bar painted by the program is a progress bar at 45%), and
// parts without windows of their own (labels, pictures, gauges; a check list's items with their marks).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace yar {

// What a control says beyond the standard object: each empty field keeps the standard answer.
struct TAccessibleFacts {
    std::string Name;
    long Role = 0;  // ROLE_SYSTEM_*
    long State = 0; // STATE_SYSTEM_* flags added to the standard ones
    std::string Value;
};

// A part of a window without a window of its own, where it lies in the window's client area.
struct TAccessibleElement {
    TAccessibleFacts Facts;
    RECT Bounds{};
};

// Asked afresh on every question, as the window's controls change under a screen reader.
class TAccessibleSource {
public:
    // Facts of the window itself.
    virtual TAccessibleFacts AccessibleFacts() const = 0;
    // Its windowless parts, after the standard object's children (child windows).
    virtual std::vector<TAccessibleElement> AccessibleElements() const { return {}; }
    // True when the parts take the place of the standard object's children (a list drawn by the
    // program, whose items the standard object would tell without their marks).
    virtual bool ElementsReplaceChildren() const { return false; }
    // The default action of part index (0-based): false when the part has none.
    virtual bool DoElementAction(int /*index*/) { return false; }

protected:
    TAccessibleSource() = default;
    ~TAccessibleSource() = default;
    TAccessibleSource(const TAccessibleSource&) = default;
    TAccessibleSource& operator=(const TAccessibleSource&) = default;
};

// Finds the source of a window again; nullptr once the window's control has gone.
using TAccessibleLookup = TAccessibleSource* (*)(HWND window);

// The answer to WM_GETOBJECT: for the client area an object over the system's standard one; 0 for
// any other object, or where the system's accessibility library cannot be had, so that the window's
// class answers as it would without the toolkit.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, TAccessibleLookup lookup);

// The value a progress bar says: the whole percent of min..max done, rounded down ("45%"); "0%" for
// an empty range.
std::string PercentValue(int position, int min, int max);

// The text a screen reader says for a caption: its & marks gone ("&&" stands for one &), the letter
// they marked being the keyboard shortcut instead, and no blanks around it.
std::string AccessibleText(const std::string& caption);

// A VARIANT holding a long: a child id, a role or a state as the interface passes them.
VARIANT LongVariant(long value);

} // namespace yar
