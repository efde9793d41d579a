#pragma once

// Dialog units to pixels, as the classic Windows dialog manager computes
// them from the dialog font.
struct DialogBaseUnits {
    int x;  // average character width in pixels
    int y;  // font height in pixels
};

// `lettersExtent` is the advance of the 52 letters "A..Za..z" in the font.
DialogBaseUnits ComputeDialogBaseUnits(int lettersExtent, int fontHeight);

struct PixelRect {
    int x, y, width, height;
};

int DialogUnitsToPixelsX(int dlu, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int dlu, const DialogBaseUnits& base);
PixelRect MapDialogRect(int x, int y, int width, int height, const DialogBaseUnits& base);
