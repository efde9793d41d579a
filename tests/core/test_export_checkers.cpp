// The export files judged by independent programs: the Khronos glTF
// validator (npm gltf-validator), meshio's OBJ reader and ADMesh, each also
// given a broken file that it must reject.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "test_checker_support.h"
#include "test_export_support.h"

TEST(ExportCheckers, KhronosValidatorPassesGlbWithAndWithoutTextureAndRejectsBrokenOnes)
{
    const ScratchDir dir;
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kBentPath));
    std::vector<unsigned char> pixels = PicturePixels();
    const RgbImage picture{8, 5, pixels};
    const std::vector<unsigned char> textured = ExportGlb(mesh, &picture, "vase").Value().at(0).bytes;
    // Picture files of another writer, embedded as they are.
    std::vector<std::vector<unsigned char>> files;
    for (const auto& [name, kind] : {std::pair{"picture.png", PictureFileKind::Png}, {"picture.jpg", PictureFileKind::Jpeg}}) {
        std::ifstream in(std::string(VELMORA_PICTURES) + "/" + name, std::ios::binary);
        const PictureFile file{kind, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
        files.push_back(ExportGlb(mesh, nullptr, "vase", &file).Value().at(0).bytes);
    }
    for (const auto& bytes : {ExportGlb(mesh, nullptr, "vase").Value().at(0).bytes, textured, files[0], files[1]}) {
        const CheckerRun run = Validate(dir.Write("vase.glb", bytes));
        SKIP_OR_FAIL_IF_MISSING(run, "The Khronos glTF validator");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(run.output.rfind("errors 0 warnings 0 ", 0), 0u) << run.output;
        std::cout << run.output;
    }

    // The first digit of the positions' first max changed; the file cut short.
    std::vector<unsigned char> wrongMax = textured;
    std::size_t digit = std::string(wrongMax.begin(), wrongMax.begin() + 400).find("\"max\":[") + 7;
    digit += wrongMax[digit] == '-';
    wrongMax[digit] = wrongMax[digit] == '9' ? '1' : static_cast<unsigned char>(wrongMax[digit] + 1);
    for (const auto& bytes : {wrongMax, std::vector<unsigned char>(textured.begin(), textured.end() - 100)}) {
        const CheckerRun run = Validate(dir.Write("broken.glb", bytes));
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.rfind("errors 0 ", 0), 0u) << run.output;
    }
}

TEST(ExportCheckers, MeshioReadsTheObjWithTheWritersCountsAndExactBounds)
{
    const ScratchDir dir;
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kBentPath));
    std::vector<unsigned char> pixels = PicturePixels();
    const RgbImage picture{8, 5, pixels};
    const Result<ExportedFiles> result = ExportObj(mesh, &picture, "my vase");
    ASSERT_TRUE(result) << result.Error();
    const ExportedFiles& files = *result;
    ASSERT_EQ(files.size(), 3u);
    const std::string obj(files[0].bytes.begin(), files[0].bytes.end());
    const std::string mtl(files[1].bytes.begin(), files[1].bytes.end());
    EXPECT_NE(obj.find("\nmtllib my_vase.mtl\n"), std::string::npos);
    EXPECT_EQ(files[1].name, "my_vase.mtl");
    EXPECT_NE(mtl.find("\nmap_Kd my_vase.png\n"), std::string::npos);
    EXPECT_EQ(files[2].name, "my_vase.png");
    std::string firstVt = "\nvt ";  // T runs up from the picture's bottom row, as vt does
    AppendShortest(firstVt, mesh.vertices[0].s);
    firstVt += ' ';
    AppendShortest(firstVt, mesh.vertices[0].t);
    EXPECT_EQ(obj.substr(obj.find("\nvt "), firstVt.size() + 1), firstVt + "\n");

    const std::string check = "/usr/bin/python3 " + kScripts + "check_obj.py' ";
    const CheckerRun run = RunChecker(check + dir.Write("vase.obj", files[0].bytes));
    SKIP_OR_FAIL_IF_MISSING(run, "Debian's python3-meshio");
    std::cout << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    for (const char* count : {"points ", "vt ", "vn "})
        EXPECT_EQ(Reported(run.output, count), mesh.vertices.size()) << count;
    EXPECT_EQ(Reported(run.output, "triangles "), mesh.TriangleCount());
    // Shortest round-trip numbers both ways: the bounds agree to the bit.
    for (const auto& [label, sign] : {std::pair{"min ", 1.0}, std::pair{"max ", -1.0}}) {
        char* next = const_cast<char*>(run.output.c_str()) + run.output.find(label) + 4;
        for (int i = 0; i < 3; ++i) {
            double bound = sign * INFINITY;
            for (MeshVertex v : mesh.vertices)  // a copy: Component is not const
                bound = sign * v.position.Component(i) < sign * bound ? v.position.Component(i) : bound;
            EXPECT_EQ(std::strtod(next, &next), bound) << label << i;
        }
    }

    // Without its last vertex the file has more normals than points.
    const std::size_t lastVertex = obj.rfind("\nv ") + 1;
    const std::string broken = obj.substr(0, lastVertex) + obj.substr(obj.find('\n', lastVertex) + 1);
    EXPECT_EQ(RunChecker(check + dir.Write("broken.obj", {broken.begin(), broken.end()})).status, 1);
}

// The 24-sided solid swept from the sampled profile along the straight path:
// frustums of the profile polyline at the heights the path maps it to, times
// the 24-gon's share of the circle.
double SweptVolume(const std::vector<CVector3>& profile)
{
    std::vector<CVector3> s;
    std::vector<float> params;
    EvaluateCurve(profile, s, params);
    double ymin = s[0].y, ymax = s[0].y, sum = 0.0;
    for (const CVector3& p : s) {
        ymin = std::min(ymin, p.y);
        ymax = std::max(ymax, p.y);
    }
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const double height = 10.0 * (s[i + 1].y - ymin) / (ymax - ymin) - 10.0 * (s[i].y - ymin) / (ymax - ymin);
        sum += M_PI / 3.0 * height * (s[i].x * s[i].x + s[i].x * s[i + 1].x + s[i + 1].x * s[i + 1].x);
    }
    return sum * 24.0 * std::sin(2.0 * M_PI / 24.0) / (2.0 * M_PI);
}

TEST(ExportCheckers, AdmeshFindsTheClosedLatheWatertightWithTheSweptVolume)
{
    const ScratchDir dir;
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kClosedVase, kStraightPath));
    const std::vector<unsigned char> stl = ExportStl(mesh, "vase").Value().at(0).bytes;
    const CheckerRun run = RunChecker("admesh " + dir.Write("vase.stl", stl));
    SKIP_OR_FAIL_IF_MISSING(run, "Debian's admesh");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Reported(run.output, "Number of facets"), mesh.TriangleCount()) << run.output;
    for (const char* none : {"Total disconnected facets", "Degenerate facets", "Backwards edges", "Normals fixed"})
        EXPECT_EQ(Reported(run.output, none), 0) << none << run.output;
    const double volume = Reported(run.output, "Volume"), swept = SweptVolume(kClosedVase);
    EXPECT_NEAR(volume / swept, 1.0, 1e-5) << volume << " against " << swept;
    std::printf("admesh volume %.6f, swept solid %.6f\n", volume, swept);

    // One facet gone leaves a hole; a corner moved onto another, no area.
    std::vector<unsigned char> holed(stl.begin(), stl.end() - 50), flat = stl;
    const std::uint32_t fewer = static_cast<std::uint32_t>(mesh.TriangleCount() - 1);
    std::memcpy(&holed[80], &fewer, 4);
    std::memcpy(&flat[84 + 36], &flat[84 + 24], 12);
    EXPECT_GT(Reported(RunChecker("admesh " + dir.Write("holed.stl", holed)).output, "Total disconnected facets"), 0);
    EXPECT_GT(Reported(RunChecker("admesh " + dir.Write("flat.stl", flat)).output, "Degenerate facets"), 0);
}
