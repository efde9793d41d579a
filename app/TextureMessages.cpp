#include "app/TextureMessages.h"

#include <QFile>
#include <QFileInfo>

#include "app/MessageBox.h"

namespace {

QString FileNameOf(const std::string& path)
{
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

} // namespace

void TextureMessages::ShowFailure(const std::string& message, const std::string& path)
{
    if (IsBitmapFileName(FileNameOf(path)))
        ShowMessageBox(message, "Error", MessageIcon::None);
    else
        ShowModellerMessage(message);
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
