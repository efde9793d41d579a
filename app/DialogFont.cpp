#include "app/DialogFont.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>

#include "app/DialogTemplate.h"

void InstallDialogFontSubstitutes()
{
    QFont::insertSubstitutions(QString::fromUtf8(kDialogFontFace),
                               {QStringLiteral("Gulim"), QStringLiteral("Baekmuk Gulim"),
                                QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
}

QFont DialogFont()
{
    QFont font(QString::fromUtf8(kDialogFontFace));
    font.setPointSize(kDialogFontPoints);
    return font;
}

DialogBaseUnits DialogBaseUnitsOf(const QFont& font)
{
    // Measured as the classic dialog manager measures it: hinted glyphs
    // without smoothing (bitmap strikes where the font has them). The
    // toolkit turns hinting off when it scales the display, which would
    // narrow the units and change the dialog's proportions with the scale.
    QFont measured(font);
    measured.setHintingPreference(QFont::PreferFullHinting);
    measured.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(measured);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return ComputeDialogBaseUnits(letters, metrics.ascent() + metrics.descent());
}

QSize SurfaceViewSize()
{
    const DialogBaseUnits units = DialogBaseUnitsOf(DialogFont());
    for (const ControlTemplate& control : kMainDialogControls) {
        if (control.id == IDC_VIEWPORT2) {
            const PixelRect rect = MapDialogRect(control.x, control.y, control.width, control.height, units);
            return QSize(rect.width, rect.height);
        }
    }
    return QSize();
}
