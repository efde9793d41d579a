#include "core/export/ThreeMfExporter.h"

#include <Model/COM/NMR_DLLInterfaces.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Release {
    void operator()(NMR::PLib3MFBase* handle) const { NMR::lib3mf_release(handle); }
};
using Handle = std::unique_ptr<NMR::PLib3MFBase, Release>;

// A failed lib3mf call: its own words, when it has any.
struct Lib3mfError {
    std::string text;
};

void Call(NMR::PLib3MFBase* instance, LIB3MFRESULT result, const char* doing)
{
    if (result == LIB3MF_OK)
        return;
    DWORD code = 0;
    LPCSTR message = nullptr;
    if (instance)
        NMR::lib3mf_getlasterror(instance, &code, &message);
    throw Lib3mfError{std::string("3MF: cannot ") + doing + (message && *message ? std::string(": ") + message : "")};
}

DWORD ModelUnit(LengthUnit units)
{
    switch (units) {
    case LengthUnit::Centimetre: return NMR::MODELUNIT_CENTIMETER;
    case LengthUnit::Metre: return NMR::MODELUNIT_METER;
    case LengthUnit::Inch: return NMR::MODELUNIT_INCH;
    case LengthUnit::Millimetre: break;
    }
    return NMR::MODELUNIT_MILLIMETER;
}

// The picture's mean colour, each channel rounded.
void MeanColour(const RgbImage& image, BYTE (&rgb)[3])
{
    std::uint64_t sum[3] = {0, 0, 0};
    const std::size_t pixels = image.pixels.size() / 3;
    for (std::size_t i = 0; i < pixels * 3; ++i)
        sum[i % 3] += image.pixels[i];
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<BYTE>(pixels ? (sum[c] + pixels / 2) / pixels : 0);
}

// lib3mf gives every object, item and build a random UUID; these are taken
// from the mesh itself instead (FNV-1a, twice over, with the `role` mixed
// in), so that one surface always gives one file.
class ContentUuids {
public:
    explicit ContentUuids(const IndexedMesh& mesh)
    {
        for (const MeshVertex& vertex : mesh.vertices)
            for (const double value : {vertex.position.x, vertex.position.y, vertex.position.z}) {
                const float f = static_cast<float>(value);
                Hash(&f, sizeof f);
            }
        Hash(mesh.triangles.data(), mesh.triangles.size() * sizeof mesh.triangles[0]);
    }

    std::string For(unsigned char role) const
    {
        std::uint64_t high = high_, low = low_;
        Mix(high, role);
        Mix(low, role);
        // A version 8 ("custom") UUID of the RFC 4122 variant.
        high = (high & ~std::uint64_t(0xF000)) | 0x8000;
        low = (low & ~(std::uint64_t(3) << 62)) | (std::uint64_t(2) << 62);
        char text[37];
        std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", unsigned(high >> 32),
                      unsigned((high >> 16) & 0xFFFF), unsigned(high & 0xFFFF), unsigned(low >> 48),
                      static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
        return text;
    }

private:
    static void Mix(std::uint64_t& hash, unsigned char byte)
    {
        hash = (hash ^ byte) * 0x100000001b3ull;
    }

    void Hash(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            Mix(high_, bytes[i]);
            Mix(low_, bytes[i]);
        }
    }

    std::uint64_t high_ = 0xcbf29ce484222325ull;
    std::uint64_t low_ = 0x84222325cbf29ce4ull;
};

// Where lib3mf writes the package: a buffer it may seek back in (it writes
// each part's sizes into the header before it, once they are known).
struct MemoryStream {
    std::vector<unsigned char> bytes;
    std::size_t position = 0;
    const char* fault = nullptr;  // checked after writing: lib3mf may not pass it on

    // lib3mf's callbacks: 0 for done.
    static std::uint32_t Write(unsigned char* data, std::uint32_t size, void* self) noexcept
    {
        auto& stream = *static_cast<MemoryStream*>(self);
        try {
            if (stream.bytes.size() < stream.position + size)
                stream.bytes.resize(stream.position + size);
        } catch (const std::bad_alloc&) {
            stream.fault = "out of memory";
            return 1;
        }
        std::memcpy(stream.bytes.data() + stream.position, data, size);
        stream.position += size;
        return 0;
    }

    static std::uint32_t Seek(std::uint64_t position, void* self) noexcept
    {
        auto& stream = *static_cast<MemoryStream*>(self);
        if (position > stream.bytes.size()) {
            stream.fault = "the writer went past the package's end";
            return 1;
        }
        stream.position = static_cast<std::size_t>(position);
        return 0;
    }
};

std::vector<unsigned char> WritePackage(const IndexedMesh& mesh, const RgbImage* texture, LengthUnit units)
{
    NMR::PLib3MFModel* rawModel = nullptr;
    Call(nullptr, NMR::lib3mf_createmodel(&rawModel), "start a model");
    const Handle model(rawModel);
    Call(model.get(), NMR::lib3mf_model_setunit(model.get(), ModelUnit(units)), "set the units");
    Call(model.get(), NMR::lib3mf_model_addmetadatautf8(model.get(), "Application", "Velmora"), "add metadata");

    NMR::PLib3MFModelMeshObject* rawObject = nullptr;
    Call(model.get(), NMR::lib3mf_model_addmeshobject(model.get(), &rawObject), "add the mesh");
    const Handle object(rawObject);
    std::vector<NMR::MODELMESHVERTEX> vertices(mesh.vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const CVector3& p = mesh.vertices[i].position;
        vertices[i] = {{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}};
    }
    std::vector<NMR::MODELMESHTRIANGLE> triangles(mesh.TriangleCount());
    for (std::size_t i = 0; i < triangles.size(); ++i)
        triangles[i] = {{mesh.triangles[3 * i], mesh.triangles[3 * i + 1], mesh.triangles[3 * i + 2]}};
    Call(object.get(),
         NMR::lib3mf_meshobject_setgeometry(object.get(), vertices.data(), DWORD(vertices.size()), triangles.data(),
                                            DWORD(triangles.size())),
         "store the mesh");

    if (texture) {
        NMR::PLib3MFModelBaseMaterial* rawMaterials = nullptr;
        Call(model.get(), NMR::lib3mf_model_addbasematerialgroup(model.get(), &rawMaterials), "add a material");
        const Handle materials(rawMaterials);
        BYTE rgb[3];
        MeanColour(*texture, rgb);
        DWORD index = 0, group = 0;
        Call(materials.get(), NMR::lib3mf_basematerial_addmaterialutf8(materials.get(), "texture", rgb[0], rgb[1],
                                                                         rgb[2], &index), "add a material");
        // lib3mf 1.8 writes the colour added above fully transparent.
        Call(materials.get(), NMR::lib3mf_basematerial_setdisplaycolorrgba(materials.get(), index, rgb[0], rgb[1],
                                                                            rgb[2], 255), "colour the material");
        Call(materials.get(), NMR::lib3mf_basematerial_getresourceid(materials.get(), &group), "add a material");
        NMR::PLib3MFDefaultPropertyHandler* rawProperty = nullptr;
        Call(object.get(), NMR::lib3mf_object_createdefaultpropertyhandler(object.get(), &rawProperty),
             "give the mesh its material");
        const Handle property(rawProperty);
        Call(property.get(), NMR::lib3mf_defaultpropertyhandler_setbasematerial(property.get(), group, index),
             "give the mesh its material");
    }

    const ContentUuids uuids(mesh);
    Call(object.get(), NMR::lib3mf_object_setuuidutf8(object.get(), uuids.For(1).c_str()), "name the mesh");
    NMR::PLib3MFModelBuildItem* rawItem = nullptr;
    Call(model.get(), NMR::lib3mf_model_addbuilditem(model.get(), object.get(), nullptr, &rawItem),
         "add the mesh to the build");
    const Handle item(rawItem);
    Call(item.get(), NMR::lib3mf_builditem_setuuidutf8(item.get(), uuids.For(2).c_str()), "name the build item");
    Call(model.get(), NMR::lib3mf_model_setbuilduuidutf8(model.get(), uuids.For(3).c_str()), "name the build");

    NMR::PLib3MFModelWriter* rawWriter = nullptr;
    Call(model.get(), NMR::lib3mf_model_querywriter(model.get(), "3mf", &rawWriter), "start the writer");
    const Handle writer(rawWriter);
    // Written once through callbacks: lib3mf's own buffer writing writes the
    // whole package twice, first to measure it.
    MemoryStream stream;
    Call(writer.get(),
         NMR::lib3mf_writer_writetocallback(writer.get(), reinterpret_cast<void*>(&MemoryStream::Write),
                                            reinterpret_cast<void*>(&MemoryStream::Seek), &stream),
         "write the package");
    if (stream.fault)
        throw Lib3mfError{std::string("3MF: ") + stream.fault};
    return std::move(stream.bytes);
}

}  // namespace

Result<ExportedFiles> ExportThreeMf(const IndexedMesh& mesh, const RgbImage* texture, LengthUnit units,
                                    const std::string& baseName)
{
    if (const Result<void> exportable = CheckExportable(mesh, baseName); !exportable)
        return Failure{exportable.Error()};
    try {
        ExportedFiles files;
        files.push_back({baseName + ".3mf", WritePackage(mesh, texture, units)});
        return files;
    } catch (const Lib3mfError& error) {
        return Failure{error.text};
    } catch (const std::bad_alloc&) {
        return Failure{"3MF: out of memory"};
    }
}
