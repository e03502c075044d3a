// The X selections the edit box shares text through: the clipboard (the
// CLIPBOARD selection: copy, cut and paste) and the primary selection (the
// text last selected, which the middle button pastes). We read other
// programs' text, and hold ours for them while we own a selection.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <string>

namespace platform::x11 {

enum class Selection { clipboard, primary };

// The selection's text as UTF-8: ours while we own it, else asked of its
// owner on behalf of `requestor` (one of our X windows). Nothing when no
// program offers text within a second. Other events that arrive meanwhile
// stay queued for the program.
std::optional<std::string> selectionText(Selection which, ::Window requestor);

// Makes `owner` (one of our X windows) the selection's owner with `utf8`
// as its text, or only changes the text while it owns it already. Other
// programs are answered from the text until one of them takes the
// selection; `lost` is called then.
void offerSelection(Selection which, ::Window owner, std::string utf8,
                    std::function<void()> lost = {});
// Gives the selection up when `owner` holds it.
void withdrawSelection(Selection which, ::Window owner);

// Another program asks for the text of a selection we own, or has taken one.
void answerSelectionRequest(const XSelectionRequestEvent& request);
void noteSelectionCleared(const XSelectionClearEvent& event);

}  // namespace platform::x11
