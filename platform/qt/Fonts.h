#pragma once
// The model's fonts as Qt fonts. The program is laid out for Tahoma and Times New Roman at fixed
// pixel sizes; where those are missing, metric-compatible or close faces stand in.
#include "ui/Control.h"

#include <QFont>

namespace platform::qt {

// Registers Tahoma from the Wine font folder when it is installed. Safe to call more than once.
void loadBundledFonts();

// The family actually used for a model font name, regular or bold.
QString resolvedFamily(const std::string& name, bool bold = false);

QFont qtFont(const ui::Font& font);

} // namespace platform::qt
