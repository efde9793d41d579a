#include "surface/SweepMesh.h"

std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>&,
                                                       const std::vector<CVector3>&,
                                                       const std::vector<CVector3>&)
{
    return {};  // PLACEHOLDER: being written
}
