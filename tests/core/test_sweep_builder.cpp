// The drawing build (flat floats, storage kept between builds) against the
// strips of ComputeSweepMesh, narrowed as OpenGL narrows glNormal3d and
// glVertex3d: the same vertices, in the same order, to the bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"

namespace {

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSameAsStrips(SweepMeshBuilder& builder, const std::vector<CVector3>& profile,
                        const std::vector<CVector3>& path, const SweepSettings& settings = SweepSettings())
{
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params, settings.intervalsPerSpan);
    const auto strips = ComputeSweepMesh(samples, path, profile, settings);
    const bool built = builder.Build(samples, path, profile, settings);
    ASSERT_EQ(built, !strips.empty());
    if (!built) {
        EXPECT_TRUE(builder.Vertices().empty());
        return;
    }
    ASSERT_EQ(strips.size(), static_cast<std::size_t>(builder.StripCount()));
    ASSERT_EQ(builder.VerticesPerStrip(), strips[0].size());
    ASSERT_EQ(builder.Vertices().size(),
              strips.size() * strips[0].size() * SweepMeshBuilder::kFloatsPerVertex);
    const float* f = builder.Vertices().data();
    int mismatches = 0;
    for (const auto& strip : strips) {
        for (const SweepVertex& v : strip) {
            const float expected[8] = {v.s,
                                       v.t,
                                       static_cast<float>(v.normal.x),
                                       static_cast<float>(v.normal.y),
                                       static_cast<float>(v.normal.z),
                                       static_cast<float>(v.position.x),
                                       static_cast<float>(v.position.y),
                                       static_cast<float>(v.position.z)};
            for (int i = 0; i < 8; ++i)
                mismatches += !SameBits(f[i], expected[i]);
            f += 8;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace

TEST(SweepMeshBuilder, GivesTheStripsNarrowedToFloatOverManyBuilds)
{
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> radius(0.0, 8.0);
    std::uniform_real_distribution<double> coord(-9.0, 9.0);
    SweepMeshBuilder builder;  // one builder: storage reused, growing and shrinking
    for (int round = 0; round < 30; ++round) {
        const int n = 1 + (round * 7) % 23;
        const int m = 1 + (round * 5) % 17;
        std::vector<CVector3> profile, path;
        for (int i = 0; i < n; ++i)
            profile.push_back({round % 6 == 5 ? 0.0 : radius(rng), coord(rng), 0.0});
        for (int i = 0; i < m; ++i)
            path.push_back({coord(rng), coord(rng), 0.0});
        if (round % 9 == 8)
            for (CVector3& p : profile)
                p.y = 1.5;  // flat: zero height range
        SCOPED_TRACE(testing::Message() << "round " << round << " n " << n << " m " << m);
        ExpectSameAsStrips(builder, profile, path);
    }
    ExpectSameAsStrips(builder, {{2, -4, 0}, {6, -1, 0}}, {});
}

TEST(SweepMeshBuilder, GivesTheStripsOfEachSettingsOneBuilderIsGiven)
{
    // The builder keeps its angles between builds: changing the slices must
    // not leave the previous ones in use.
    const std::vector<CVector3> profile = {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};
    const std::vector<CVector3> path = {{0, -5, 0}, {3, -1, 0}, {-2, 2, 0}, {0, 5, 0}};
    SweepMeshBuilder builder;
    for (const SweepSettings settings : {SweepSettings{7, 3}, SweepSettings{}, SweepSettings{48, 20},
                                         SweepSettings{3, 1}, SweepSettings{7, 3}}) {
        SCOPED_TRACE(testing::Message() << settings.slices << " slices, " << settings.intervalsPerSpan);
        ExpectSameAsStrips(builder, profile, path, settings);
        EXPECT_EQ(builder.StripCount(), settings.slices);
        ExpectSameAsStrips(builder, path, profile, settings);
    }
    EXPECT_FALSE(builder.Build({{1, 0, 0}}, path, {{1, 0, 0}}, SweepSettings{2, 10}));
    EXPECT_EQ(builder.StripCount(), 0);
    EXPECT_TRUE(builder.Vertices().empty());
}

TEST(SweepMeshBuilder, ReusesThePathAndTheResampledProfileOnlyWhileTheyHold)
{
    // One builder through the edits of a drag: the profile moved along X
    // (every ring at its height: the path's points are reused), along Y
    // (new heights), the path moved (the resampled profile reused, the path
    // evaluated anew), the settings' intervals changed, and a profile with
    // fewer points than the path moved.
    std::vector<CVector3> profile = {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}};
    std::vector<CVector3> path = {{0, -5, 0}, {3, -1, 0}, {-2, 2, 0}, {1, 4, 0}, {0, 5, 0}};
    SweepMeshBuilder builder;
    ExpectSameAsStrips(builder, profile, path);
    profile[1].x = 5.5;
    ExpectSameAsStrips(builder, profile, path);
    profile[1].y = 1.25;
    ExpectSameAsStrips(builder, profile, path);
    path[2].x = -3.5;
    ExpectSameAsStrips(builder, profile, path);
    path[2].y = 2.5;
    ExpectSameAsStrips(builder, profile, path);
    ExpectSameAsStrips(builder, profile, path, SweepSettings{24, 4});
    ExpectSameAsStrips(builder, profile, path);
    profile[0].x = 0.5;
    ExpectSameAsStrips(builder, profile, path);
    path.pop_back();
    ExpectSameAsStrips(builder, profile, path);
    // As many points as the path: the samples themselves, then fewer again.
    profile.push_back({3, 5, 0});
    profile.push_back({1, 6, 0});
    ExpectSameAsStrips(builder, profile, path);
    profile.pop_back();
    profile.pop_back();
    ExpectSameAsStrips(builder, profile, path);
}
