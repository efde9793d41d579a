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
    const QFontMetrics metrics(font);
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
