#include "core/export/MeshPlacement.h"

namespace {

CVector3 TurnYUpToZUp(const CVector3& v)
{
    return CVector3(v.x, -v.z, v.y);
}

}  // namespace

void PlaceExportMesh(IndexedMesh& mesh, double scale, UpAxis up)
{
    if (scale != 1.0)
        for (MeshVertex& vertex : mesh.vertices)
            vertex.position = vertex.position.Scale(scale);
    if (up == UpAxis::Z)
        for (MeshVertex& vertex : mesh.vertices) {
            vertex.position = TurnYUpToZUp(vertex.position);
            vertex.normal = TurnYUpToZUp(vertex.normal);
        }
}
