// How an export is placed in a file (scale, up axis) and the 3MF package,
// read back by lib3mf: its triangles, bounds, units and colour.

#include <gtest/gtest.h>

#include <Model/COM/NMR_DLLInterfaces.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "core/export/DesignExport.h"
#include "core/export/ExportMesh.h"
#include "core/export/MeshPlacement.h"
#include "test_export_support.h"

namespace {

struct Bounds {
    CVector3 low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};

    void Add(double x, double y, double z)
    {
        low = {std::min(low.x, x), std::min(low.y, y), std::min(low.z, z)};
        high = {std::max(high.x, x), std::max(high.y, y), std::max(high.z, z)};
    }
};

Bounds BoundsOf(const IndexedMesh& mesh)
{
    Bounds bounds;
    for (const MeshVertex& v : mesh.vertices)
        bounds.Add(v.position.x, v.position.y, v.position.z);
    return bounds;
}

// Which side of each triangle its corners' normals are on: +1 the side it
// is counter-clockwise from.
std::vector<int> Facing(const IndexedMesh& mesh)
{
    std::vector<int> sides;
    for (std::size_t t = 0; t < mesh.TriangleCount(); ++t) {
        const CVector3 a = mesh.vertices[mesh.triangles[3 * t]].position;
        const CVector3 face = mesh.vertices[mesh.triangles[3 * t + 1]].position.Subtract(a).Cross(
            mesh.vertices[mesh.triangles[3 * t + 2]].position.Subtract(a));
        const CVector3& n = mesh.vertices[mesh.triangles[3 * t]].normal;
        sides.push_back(face.x * n.x + face.y * n.y + face.z * n.z > 0 ? 1 : -1);
    }
    return sides;
}

Design Vase()
{
    Design design;
    design.profile = kClosedVase;
    design.path = kStraightPath;
    return design;
}

struct Release {
    void operator()(NMR::PLib3MFBase* handle) const { NMR::lib3mf_release(handle); }
};
using Handle = std::unique_ptr<NMR::PLib3MFBase, Release>;

// What lib3mf reads from a package.
struct ReadPackage {
    DWORD unit = 99;
    int objects = 0;
    DWORD triangles = 0;
    Bounds bounds;
    std::optional<std::array<BYTE, 4>> colour;
};

ReadPackage Read3mf(const ExportedFile& file)
{
    ReadPackage read;
    NMR::PLib3MFModel* rawModel = nullptr;
    EXPECT_EQ(NMR::lib3mf_createmodel(&rawModel), LIB3MF_OK);
    const Handle model(rawModel);
    NMR::PLib3MFModelReader* rawReader = nullptr;
    EXPECT_EQ(NMR::lib3mf_model_queryreader(model.get(), "3mf", &rawReader), LIB3MF_OK);
    const Handle reader(rawReader);
    std::vector<BYTE> bytes(file.bytes.begin(), file.bytes.end());
    if (NMR::lib3mf_reader_readfrombuffer(reader.get(), bytes.data(), bytes.size()) != LIB3MF_OK) {
        ADD_FAILURE() << "lib3mf cannot read " << file.name;
        return read;
    }
    EXPECT_EQ(NMR::lib3mf_model_getunit(model.get(), &read.unit), LIB3MF_OK);
    NMR::PLib3MFModelResourceIterator* rawObjects = nullptr;
    EXPECT_EQ(NMR::lib3mf_model_getmeshobjects(model.get(), &rawObjects), LIB3MF_OK);
    const Handle objects(rawObjects);
    BOOL more = false;
    while (NMR::lib3mf_resourceiterator_movenext(objects.get(), &more) == LIB3MF_OK && more) {
        ++read.objects;
        NMR::PLib3MFModelResource* rawObject = nullptr;
        EXPECT_EQ(NMR::lib3mf_resourceiterator_getcurrent(objects.get(), &rawObject), LIB3MF_OK);
        const Handle object(rawObject);
        DWORD count = 0;
        EXPECT_EQ(NMR::lib3mf_meshobject_gettrianglecount(object.get(), &read.triangles), LIB3MF_OK);
        EXPECT_EQ(NMR::lib3mf_meshobject_getvertexcount(object.get(), &count), LIB3MF_OK);
        std::vector<NMR::MODELMESHVERTEX> vertices(count);
        EXPECT_EQ(NMR::lib3mf_meshobject_getvertices(object.get(), vertices.data(), count, nullptr), LIB3MF_OK);
        for (const NMR::MODELMESHVERTEX& v : vertices)
            read.bounds.Add(v.m_fPosition[0], v.m_fPosition[1], v.m_fPosition[2]);

        NMR::PLib3MFDefaultPropertyHandler* rawProperty = nullptr;
        EXPECT_EQ(NMR::lib3mf_object_createdefaultpropertyhandler(object.get(), &rawProperty), LIB3MF_OK);
        const Handle property(rawProperty);
        DWORD group = 0, index = 0;
        if (NMR::lib3mf_defaultpropertyhandler_getbasematerial(property.get(), &group, &index) == LIB3MF_OK &&
            group != 0) {
            NMR::PLib3MFModelBaseMaterial* rawMaterials = nullptr;
            EXPECT_EQ(NMR::lib3mf_model_getbasematerialbyid(model.get(), group, &rawMaterials), LIB3MF_OK);
            const Handle materials(rawMaterials);
            std::array<BYTE, 4> rgba{};
            EXPECT_EQ(NMR::lib3mf_basematerial_getdisplaycolor(materials.get(), index, &rgba[0], &rgba[1],
                                                               &rgba[2], &rgba[3]),
                      LIB3MF_OK);
            read.colour = rgba;
        }
    }
    return read;
}

}  // namespace

TEST(ExportPlacement, ScalesThenTurnsYUpToZUpWithoutMirroring)
{
    const Result<IndexedMesh> built = BuildExportMesh(kClosedVase, kBentPath, ExportOptions());
    ASSERT_TRUE(built) << built.Error();
    const IndexedMesh& original = *built;

    // Scale 1 with Y up: not a bit changes (the files stay as they were).
    IndexedMesh same = original;
    PlaceExportMesh(same, 1.0, UpAxis::Y);
    ASSERT_EQ(same.vertices.size(), original.vertices.size());
    EXPECT_EQ(std::memcmp(same.vertices.data(), original.vertices.data(),
                          original.vertices.size() * sizeof(MeshVertex)), 0);

    IndexedMesh placed = original;
    PlaceExportMesh(placed, 2.5, UpAxis::Z);
    for (std::size_t i = 0; i < original.vertices.size(); ++i) {
        const MeshVertex& before = original.vertices[i];
        const MeshVertex& after = placed.vertices[i];
        EXPECT_EQ(after.position.x, before.position.x * 2.5);
        EXPECT_EQ(after.position.y, -before.position.z * 2.5);
        EXPECT_EQ(after.position.z, before.position.y * 2.5);
        EXPECT_EQ(after.normal.x, before.normal.x);
        EXPECT_EQ(after.normal.y, -before.normal.z);
        EXPECT_EQ(after.normal.z, before.normal.y);
    }
    // The design's up is the file's up, and the triangles still face their normals.
    const Bounds before = BoundsOf(original), after = BoundsOf(placed);
    EXPECT_EQ(after.low.z, before.low.y * 2.5);
    EXPECT_EQ(after.high.z, before.high.y * 2.5);
    EXPECT_EQ(Facing(placed), Facing(original));
    EXPECT_EQ(placed.triangles, original.triangles);
}

TEST(Export3mf, ReadsBackWithTheMeshesTrianglesBoundsUnitsAndZUp)
{
    Design design = Vase();
    const Result<IndexedMesh> mesh = BuildExportMesh(design.profile, design.path, design.output);
    ASSERT_TRUE(mesh);
    const Bounds designBounds = BoundsOf(*mesh);

    const Result<ExportedFiles> exported = ExportDesignMesh(design, nullptr, MeshFormat::ThreeMf, ".", "vase");
    ASSERT_TRUE(exported) << exported.Error();
    ASSERT_EQ(exported->size(), 1u);
    EXPECT_EQ(exported->at(0).name, "vase.3mf");
    ReadPackage read = Read3mf(exported->at(0));
    EXPECT_EQ(read.objects, 1);
    EXPECT_EQ(read.triangles, mesh->TriangleCount());
    EXPECT_EQ(read.unit, DWORD(NMR::MODELUNIT_MILLIMETER));
    EXPECT_EQ(read.colour, std::nullopt);
    // Z up by default: the design's heights are the file's Z.
    EXPECT_NEAR(read.bounds.low.z, designBounds.low.y, 1e-5);
    EXPECT_NEAR(read.bounds.high.z, designBounds.high.y, 1e-5);
    EXPECT_NEAR(read.bounds.low.y, -designBounds.high.z, 1e-5);
    EXPECT_NEAR(read.bounds.high.x, designBounds.high.x, 1e-5);
    // One surface, one file: no random identifiers.
    const Result<ExportedFiles> again = ExportDesignMesh(design, nullptr, MeshFormat::ThreeMf, ".", "vase");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->at(0).bytes, exported->at(0).bytes);

    // Each unit by 3MF's word; Y up and a scale when asked.
    const std::pair<LengthUnit, DWORD> units[] = {{LengthUnit::Centimetre, NMR::MODELUNIT_CENTIMETER},
                                                  {LengthUnit::Metre, NMR::MODELUNIT_METER},
                                                  {LengthUnit::Inch, NMR::MODELUNIT_INCH},
                                                  {LengthUnit::Millimetre, NMR::MODELUNIT_MILLIMETER}};
    for (const auto& [unit, word] : units) {
        design.output.units = unit;
        design.output.up = UpAxis::Y;
        design.output.scale = 0.5;
        const Result<ExportedFiles> other = ExportDesignMesh(design, nullptr, MeshFormat::ThreeMf, ".", "vase");
        ASSERT_TRUE(other) << other.Error();
        read = Read3mf(other->at(0));
        EXPECT_EQ(read.unit, word);
        EXPECT_NEAR(read.bounds.high.y, designBounds.high.y * 0.5, 1e-5);
        EXPECT_NEAR(read.bounds.low.z, designBounds.low.z * 0.5, 1e-5);
    }
}

TEST(Export3mf, ATextureGivesTheObjectItsMeanColour)
{
    // Two pixels: (10, 200, 0) and (21, 100, 255); means rounded half up.
    const RgbImage texture{2, 1, {10, 200, 0, 21, 100, 255}};
    const Result<ExportedFiles> exported = ExportDesignMesh(Vase(), &texture, MeshFormat::ThreeMf, ".", "vase");
    ASSERT_TRUE(exported) << exported.Error();
    const ReadPackage read = Read3mf(exported->at(0));
    const std::array<BYTE, 4> opaqueMean{16, 150, 128, 255};
    EXPECT_EQ(read.colour, opaqueMean);
}
