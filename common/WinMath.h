// The arithmetic of the platform the engine's numbers were first computed on, with its exact rounding.
#pragma once

namespace lantern {

// a*b/c on a 64-bit product, rounded half away from zero; -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c);

// The framework's Round: halves go to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
long long RoundHalfEven(double v);

// Truncation toward zero.
long long Trunc(double v);

} // namespace lantern
