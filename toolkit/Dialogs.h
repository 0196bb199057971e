// Message boxes: the plain box captioned with the application title, and the kinds with an icon,
// their own caption and a chosen set of buttons.
#pragma once

#include "toolkit/Forms.h"

#include <string>
#include <vector>

namespace yar {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
// Buttons appear in this order, whatever order they are asked for in.
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };

// The text, captioned with the application title, without an icon, with one OK button.
void ShowMessage(const std::string& text);

// A modal box with the type's icon and caption ("Warning", "Error", "Information", "Confirm") and
// the given buttons; returns the mr value of the button pressed. Escape and the close box count as
// Cancel, else No, else OK, whichever the box has.
int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons);

// The captions the boxes show.
std::string MsgDlgCaption(TMsgDlgType type);
std::string MsgDlgButtonCaption(TMsgDlgBtn button);
int MsgDlgButtonResult(TMsgDlgBtn button);

// The control ids of the input box.
constexpr int kInputQueryPromptId = 100;
constexpr int kInputQueryEditId = 101;

// A modal input box: the caption, the prompt above an edit holding value, OK and Cancel (Enter
// confirms, Escape cancels). True when confirmed, with value holding the text as typed; false
// leaves value as it was.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

} // namespace yar
