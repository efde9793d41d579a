#pragma once

#include <QFont>
#include <QSize>

#include "app/DialogUnits.h"

// The dialog's font and the pixel sizes it gives the dialog's controls. The
// command line lays out the 3D view with the same functions as the dialog,
// so a picture rendered without a window has the view's size.

// Maps the dialog's Korean face to whichever Gulim-like face is installed.
void InstallDialogFontSubstitutes();
// The dialog's font, before any substitution.
QFont DialogFont();
// The dialog base units of a font, as the dialog manager computes them.
DialogBaseUnits DialogBaseUnitsOf(const QFont& font);
// The 3D view's client size in pixels, laid out in the dialog's font.
QSize SurfaceViewSize();
