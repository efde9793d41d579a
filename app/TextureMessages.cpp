#include "app/TextureMessages.h"

#include <QFile>
#include <QFileInfo>

#include "app/MessageBox.h"
#include "core/bmp/DibReader.h"

namespace {

QString FileNameOf(const std::string& path)
{
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

} // namespace

std::string TextureMessages::Failure(const TextureLoad& load, const std::string& path)
{
    const QString name = FileNameOf(path);
    if (IsBitmapFileName(name))
        return DibLoadMessage(load.result, path.c_str());
    const QString qtError = QString::fromStdString(load.qtError);
    switch (load.result) {
    case DibResult::OpenFailure:
        return tr("%1: the file is empty or cannot be read").arg(name).toStdString();
    case DibResult::UnknownFormat:
        return tr("%1: not a picture Qt can read (%2)").arg(name, qtError).toStdString();
    case DibResult::OutOfMemory:
        return tr("%1: the picture is too large (at most %2 pixels a side and %3 pixels in all)")
            .arg(name)
            .arg(kDibMaxSide)
            .arg(kDibMaxPixels)
            .toStdString();
    case DibResult::ConversionError:
        return tr("%1: the picture cannot be decoded (%2)").arg(name, qtError).toStdString();
    case DibResult::Ok:
        break;
    }
    return {};
}

void TextureMessages::ShowFailure(const TextureLoad& load, const std::string& path)
{
    if (IsBitmapFileName(FileNameOf(path)))
        ShowMessageBox(Failure(load, path), "Error", MessageIcon::None);
    else
        ShowStandardMessage(Failure(load, path));
}

std::string TextureMessages::Shrunk(const std::string& path, PictureSize size, PictureSize shown)
{
    return tr("%1: %2 x %3 pixels is more than OpenGL takes here; the texture is scaled down to %4 x %5")
        .arg(FileNameOf(path))
        .arg(size.width)
        .arg(size.height)
        .arg(shown.width)
        .arg(shown.height)
        .toStdString();
}
