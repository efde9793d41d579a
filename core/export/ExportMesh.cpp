#include "core/export/ExportMesh.h"

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "core/export/SolidMesh.h"

Result<IndexedMesh> BuildExportMesh(const std::vector<CVector3>& profileControls,
                                    const std::vector<CVector3>& pathControls, const ExportOptions& options)
{
    if (Result<void> checked = CheckExportOptions(options); !checked)
        return Failure{checked.Error()};
    const SweepSettings& settings = options.sweep;
    // With the default settings, the same samples and sweep as the program
    // builds after every edit.
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profileControls, samples, params, settings.intervalsPerSpan);
    const SweepProfile laid = LayProfile(samples, pathControls, profileControls, settings);
    if (options.caps || options.thickness > 0.0)
        return BuildSolidMesh(laid, pathControls, options);
    return BuildSurfaceMesh(laid, pathControls, settings);
}
