#include "app/DialogUnits.h"

#include <cstdint>

namespace {

// a * b / c rounded half away from zero, like the Win32 MulDiv.
int MulDiv(int a, int b, int c)
{
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + half;
    const std::int64_t quotient = magnitude / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -quotient : quotient);
}

} // namespace

DialogBaseUnits ComputeDialogBaseUnits(int lettersExtent, int fontHeight)
{
    return {(lettersExtent / 26 + 1) / 2, fontHeight};
}

int DialogUnitsToPixelsX(int dlu, const DialogBaseUnits& base)
{
    return MulDiv(dlu, base.x, 4);
}

int DialogUnitsToPixelsY(int dlu, const DialogBaseUnits& base)
{
    return MulDiv(dlu, base.y, 8);
}

PixelRect MapDialogRect(int x, int y, int width, int height, const DialogBaseUnits& base)
{
    // Windows maps the corners, so the size is the difference of the mapped edges.
    const int left = DialogUnitsToPixelsX(x, base);
    const int top = DialogUnitsToPixelsY(y, base);
    return {left, top, DialogUnitsToPixelsX(x + width, base) - left,
            DialogUnitsToPixelsY(y + height, base) - top};
}
