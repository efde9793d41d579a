// The indexed mesh built from the sweep's strips: which corners are shared,
// which triangles are left out, which way the triangles face; and the number
// form of the OBJ file.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "core/export/IndexedMesh.h"
#include "tests/oracle/StripIndexedMesh.h"
#include "core/export/ObjExporter.h"
#include "test_export_support.h"

TEST(ExportMesh, LatheSharesColumnsClosesSeamAndPolesAndFacesItsNormals)
{
    // Upwards the sweep's normals point out, downwards in; the winding follows.
    for (const auto& profile : {kClosedVase, std::vector<CVector3>(kClosedVase.rbegin(), kClosedVase.rend())}) {
        const Strips strips = SweepDesign(profile, kStraightPath);
        const std::size_t rings = strips[0].size() / 2;
        const IndexedMesh mesh = BuildIndexedMesh(strips);
        // 25 columns of texture coordinates a ring (S = 0 and 1 at the seam);
        // a pole's S = 0 corner served only triangles of no area.
        EXPECT_EQ(mesh.vertices.size(), 25 * rings - 2);
        EXPECT_EQ(mesh.TriangleCount(), 48 * (rings - 2));

        // As the view draws them; the seam's S = 1 column alone takes the
        // S = 0 column's position, so that as points there are 24 a ring and
        // one a pole.
        std::set<std::array<double, 5>> drawn;
        std::set<std::array<double, 3>> drawnPoints, points;
        for (const auto& strip : strips) {
            for (const SweepVertex& c : strip) {
                drawn.insert({c.s, c.t, c.normal.x, c.normal.y, c.normal.z});
                if (c.s < 1.0f)
                    drawnPoints.insert({c.position.x + 0.0, c.position.y + 0.0, c.position.z + 0.0});
            }
        }
        for (const MeshVertex& v : mesh.vertices) {
            EXPECT_EQ(drawn.count({v.s, v.t, v.normal.x, v.normal.y, v.normal.z}), 1u);
            EXPECT_EQ(drawnPoints.count({v.position.x, v.position.y, v.position.z}), 1u);
            points.insert({v.position.x, v.position.y, v.position.z});
        }
        EXPECT_EQ(points.size(), 24 * (rings - 2) + 2);

        for (std::size_t t = 0; t < mesh.TriangleCount(); ++t) {
            const CVector3 a = mesh.vertices[mesh.triangles[3 * t]].position;
            const CVector3 face = mesh.vertices[mesh.triangles[3 * t + 1]].position.Subtract(a).Cross(
                mesh.vertices[mesh.triangles[3 * t + 2]].position.Subtract(a));
            ASSERT_GT(face.Length(), 0.0) << "triangle " << t;
            for (int corner = 0; corner < 3; ++corner) {
                const CVector3& n = mesh.vertices[mesh.triangles[3 * t + corner]].normal;
                EXPECT_GT(face.x * n.x + face.y * n.y + face.z * n.z, 0.0) << "triangle " << t;
            }
        }
    }
}

TEST(ExportMesh, LeavesOutTrianglesFlatInFloatSharesSignedZerosAndRepairsZeroNormals)
{
    // Corner 3 is off the line x = 1 by less than a float can tell; corner 0
    // has no normal; the second strip repeats corners 1 and 0 with -0.0.
    Strips strips = {
        {{0, 0, {0, 0, 0}, {0, 0, 0}},
         {1, 0, {0, 0, 2}, {1, 0, 0}},
         {0, 1, {0, 0, 2}, {1, 1, 0}},
         {1, 1, {0, 0, 2}, {1 + 1e-12, 0.5, 0}}},
        {{1, 0, {-0.0, 0, 2}, {1, -0.0, 0}}, {0, 0, {0, -0.0, 0}, {-0.0, 0, 0}}, {0, 1, {0, 0, 2}, {0.5, -1, 0}}},
    };
    IndexedMesh mesh = BuildIndexedMesh(strips);
    ASSERT_EQ(mesh.TriangleCount(), 2u);
    EXPECT_EQ(mesh.vertices.size(), 4u);
    EXPECT_EQ(mesh.vertices[0].normal.z, 1.0) << "the direction of its triangles";
    EXPECT_EQ(mesh.vertices[1].normal.z, 2.0) << "given normals stay as the view has them";
    strips[0][3].position.x = 1 + 1e-6;
    EXPECT_EQ(BuildIndexedMesh(strips).TriangleCount(), 3u);

    // A profile on the axis sweeps nothing with an area.
    EXPECT_TRUE(BuildIndexedMesh(SweepDesign({{0, -2, 0}, {0, 2, 0}}, kBentPath)).triangles.empty());
}

TEST(ExportObj, NumbersAreShortestAndReadBackAsTheSameDoubles)
{
    for (const double value : {0.1, 1.0 / 3.0, -2.5e-310, 5e-324, 1.7976931348623157e308, 1e22, -0.0}) {
        std::string text;
        AppendShortest(text, value);
        const double back = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    std::string text;
    AppendShortest(text, 0.1);
    EXPECT_EQ(text, "0.1");
}
