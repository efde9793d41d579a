#include "app/FileFilters.h"

#include <QCoreApplication>
#include <string>

#include "core/export/MeshFormats.h"

namespace {

// The filters MeshExportFilters makes from the registry, as lupdate must find
// them to keep their translations (it reads the sources, not the registry).
[[maybe_unused]] constexpr const char* kTranslatedFilters[] = {
    QT_TRANSLATE_NOOP("DesignFiles", "glTF Binary (*.glb)"),
    QT_TRANSLATE_NOOP("DesignFiles", "Wavefront OBJ (*.obj)"),
    QT_TRANSLATE_NOOP("DesignFiles", "Binary STL (*.stl)"),
    QT_TRANSLATE_NOOP("DesignFiles", "3D Manufacturing Format (*.3mf)"),
};

} // namespace

QStringList MeshExportFilters()
{
    QStringList filters;
    for (const MeshFormatInfo& info : MeshFormats()) {
        const std::string filter = std::string(info.fileKind) + " (*." + info.extension + ")";
        filters << QCoreApplication::translate("DesignFiles", filter.c_str());
    }
    return filters;
}
