#pragma once

#include <QCoreApplication>
#include <string>

#include "app/TextureFile.h"

// What the user is told about a texture file, in the modeller's boxes and
// on the command line alike (English there: it installs no translations).
class TextureMessages {
    Q_DECLARE_TR_FUNCTIONS(TextureMessages)

public:
    // Shows why the picture at `path` was not read (LoadTextureFile's
    // message): a bitmap's in the reader's "Error" box, any other in the
    // application's standard box.
    static void ShowFailure(const std::string& message, const std::string& path);
    // That the picture at `path`, of `size`, is shown smaller, at `shown`.
    static std::string Shrunk(const std::string& path, PictureSize size, PictureSize shown);
};
