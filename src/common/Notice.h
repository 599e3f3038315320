// Notice.h - the notice panel over the main window's top-left corner.
//
// It shows one text with a kind header and colour and stays until it is
// clicked. The window sizes the panel to its word-wrapped label.
#pragma once

#include <string>

#include "common/MainControls.h"
#include "common/UiServices.h"

namespace merivac {

// Shows the panel with the kind's header and colour, the text and the
// closing line. A kind outside 0..3 keeps the header and colour it had.
void ShowNotice(MainControls& controls, const std::string& text, int kind);

// A click on the panel or its label hides it.
void MessagePanelClick(MainControls& controls);

}  // namespace merivac
