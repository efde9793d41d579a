#pragma once

#include <QCoreApplication>
#include <string>

#include "views/TextureFile.h"

// What the user is told about a texture file, in the modeller's boxes and
// on the command line alike (English there: it installs no translations).
class TextureMessages {
    Q_DECLARE_TR_FUNCTIONS(TextureMessages)

public:
    // Why the picture at `path` was not read: for a bitmap its reader's own
    // message, for any other picture the file's name and what is wrong.
    static std::string Failure(const TextureLoad& load, const std::string& path);
    // Shows that: a bitmap's message in the reader's "Error" box, any other
    // in the application's standard box.
    static void ShowFailure(const TextureLoad& load, const std::string& path);
    // That the picture at `path`, of `size`, is shown smaller, at `shown`.
    static std::string Shrunk(const std::string& path, PictureSize size, PictureSize shown);
};
