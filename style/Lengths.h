// Lengths to pixels and font sizes to points.
#pragma once

#include "common/Str.h"

#include <array>

namespace lantern {

// The screen's pixels per logical inch.
int ScreenPixelsPerInch();

// A leading decimal number and the unit after it (1em -> 1, "em"; 1.5e3px -> 1.5, "e3px"). Fails when the text
// does not start with a number.
bool SplitNumberUnit(u16v text, double& number, u16& unit);

// Pixels, truncated toward zero; `def` when the text is no length. A bare number is n pixels, or n x base when
// `relative` is set.
int ConvertLength(u16v text, bool relative, int base, int def, int exSize, int emSize);

// Points. A bare number is pixels; keywords step through FontSizeSteps (one step larger in quirks mode).
double ConvertFontSize(u16v text, bool quirks, double parentSize);

// One step larger (+1) or smaller (-1) on the FontSizeSteps scale.
double StepFontSize(int direction, double size);

// The HTML font size scale, steps 1..7 in points (index 0 unused), for normal and preformatted text.
const std::array<double, 8>& FontSizeSteps();
const std::array<double, 8>& PreFontSizeSteps();
// Recompute both scales from the viewer's default font size (points).
void SetFontSizeSteps(double defaultSize);

// The document default size, recorded when the default style sheet is built; what unknown sizes give.
double DocumentDefaultFontSize();
void SetDocumentDefaultFontSize(double size);

} // namespace lantern
