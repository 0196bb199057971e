// An edit for a directory with a small button beside it that opens the system's folder browser.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"

#include <functional>
#include <string>

namespace yar {

// Asks the user for a folder: owner is the window the question belongs to, title the text above
// the folders, path the folder to start at and, on true, the one chosen. False: cancelled.
using TBrowseForFolder = std::function<bool(HWND owner, const std::string& title, std::string& path)>;

// The system's folder browser (SHBrowseForFolderA). Where the shell offers it, it has an edit for
// a typed path and a button that makes a new folder; a typed path that does not exist is made after
// asking. Where it does not (COM cannot start on this thread), the plain browser.
bool BrowseForFolder(HWND owner, const std::string& title, std::string& path);

// The edit fills the control but for a square button at its right; the button's tooltip shows
// ButtonHint. The button asks BrowseFunction for a folder, starting at the text, and puts the
// answer into the edit.
class TDirectoryEdit : public TWinControl {
public:
    explicit TDirectoryEdit(TWinControl* parent, const TBounds& bounds = {0, 0, 145, 21});
    ~TDirectoryEdit() override;

    // The edit's text.
    std::string Text() const override { return FEdit.Text(); }
    void SetText(const std::string& text) override { FEdit.SetText(text); }

    const std::string& ButtonHint() const { return FButtonHint; }
    // The button's caption, "..." unless set: a language whose font shows three dots wider sets its own.
    void SetButtonCaption(const std::string& caption) { FButton.SetCaption(caption); }
    void SetButtonHint(const std::string& hint);
    const std::string& DialogTitle() const { return FDialogTitle; }
    void SetDialogTitle(const std::string& title) { FDialogTitle = title; }

    TEdit& Edit() { return FEdit; }
    TButton& Button() { return FButton; }

    // What the button does: asks for a folder; true when one was chosen and put into the edit.
    bool Browse();
    // The system's folder browser unless replaced.
    TBrowseForFolder BrowseFunction = BrowseForFolder;

    // Both parts follow the control's enabling and font.
    void SetEnabled(bool enabled) override;

protected:
    void Resized() override;
    void FontChanged() override;

private:
    void LayOut();

    TEdit FEdit;
    TButton FButton;
    HWND FToolTip = nullptr;
    std::string FButtonHint;
    std::string FDialogTitle = "Select a directory:";
};

} // namespace yar
