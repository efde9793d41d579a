// The design document: its rules at every entry, and what its listeners hear.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "core/design/DesignDocument.h"

namespace {

ExportOptions OutputWithSweep(const SweepSettings& sweep)
{
    ExportOptions output;
    output.sweep = sweep;
    return output;
}

struct Heard : DesignListener {
    std::vector<DesignParts> changes;
    std::vector<EditRefusal> refusals;

    void OnDesignChanged(const DesignDocument&, DesignParts changed) override { changes.push_back(changed); }
    void OnEditRefused(const CurveDocument&, EditRefusal refusal) override { refusals.push_back(refusal); }
};

Design Vase()
{
    Design design;
    design.profile = {{2, -4, 0}, {6, -1, 0}, {1, 2, 0}};
    design.path = {{0, -5, 0}, {1, 0, 0}, {0, 5, 0}};
    design.degree = 2;
    design.texturePath = "/pictures/marble.png";
    design.renderMode = RenderMode::Wireframe;
    design.viewRotation[1] = 0.5f;
    design.viewDistance = 12.5f;
    design.output.sweep = SweepSettings{48, 20};
    return design;
}

bool SameDesign(const Design& a, const Design& b)
{
    const auto samePoints = [](const std::vector<CVector3>& p, const std::vector<CVector3>& q) {
        if (p.size() != q.size())
            return false;
        for (std::size_t i = 0; i < p.size(); ++i)
            if (p[i].x != q[i].x || p[i].y != q[i].y || p[i].z != q[i].z)
                return false;
        return true;
    };
    for (int i = 0; i < 16; ++i)
        if (a.viewRotation[i] != b.viewRotation[i])
            return false;
    return samePoints(a.profile, b.profile) && samePoints(a.path, b.path) && a.degree == b.degree &&
           a.texturePath == b.texturePath && a.renderMode == b.renderMode && a.viewDistance == b.viewDistance &&
           a.output == b.output;
}

class DesignDocumentTest : public testing::Test {
protected:
    void SetUp() override { document.AddListener(&heard); }

    DesignDocument document;
    Heard heard;
};

} // namespace

TEST_F(DesignDocumentTest, StartsBlankWithAStraightPathAndClearsBackToIt)
{
    Design blank;
    blank.path = {{0, -5, 0}, {0, 5, 0}};
    EXPECT_TRUE(SameDesign(document.Value(), blank));
    ASSERT_TRUE(document.Assign(Vase(), std::make_shared<RgbImage>()).Ok());
    document.Clear();
    EXPECT_TRUE(SameDesign(document.Value(), blank));
    EXPECT_EQ(document.Texture().picture, nullptr);
    EXPECT_EQ(document.Path().Selected(), 0) << "as a reset leaves it";
    const std::vector<DesignParts> expected = {kWholeDesign, kWholeDesign};
    EXPECT_EQ(heard.changes, expected);
}

TEST_F(DesignDocumentTest, AssignTakesAWholeDesignAndTellsOnce)
{
    const Design vase = Vase();
    auto picture = std::make_shared<RgbImage>();
    ASSERT_TRUE(document.Assign(vase, picture).Ok());
    EXPECT_TRUE(SameDesign(document.Value(), vase));
    EXPECT_EQ(document.Texture().picture, picture);
    EXPECT_EQ(document.Profile().Selected(), -1);
    EXPECT_FALSE(document.Profile().SamplePoints().empty()) << "the curves are sampled";
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0], DesignParts(kWholeDesign));

    // Without its picture the design keeps no texture path either.
    ASSERT_TRUE(document.Assign(vase).Ok());
    EXPECT_EQ(document.Value().texturePath, "");
}

TEST_F(DesignDocumentTest, AssignRefusesADesignThatBreaksARuleAndChangesNothing)
{
    const auto picture = std::make_shared<RgbImage>();
    ASSERT_TRUE(document.Assign(Vase(), picture).Ok());
    heard.changes.clear();
    const struct {
        void (*spoil)(Design&);
        const char* reason;
    } cases[] = {
        {[](Design& d) { d.profile[2].x = -0.5; }, "\"profile\" point 2 has X < 0"},
        {[](Design& d) { d.path.resize(1001); }, "\"path\" has 1001 points, at most 1000 are allowed"},
        {[](Design& d) { d.path[0].y = std::nan(""); }, "\"path\" point 0 \"y\" is not a finite number"},
        {[](Design& d) { d.degree = 0; }, "\"degree\" is 0, must be 1 to 100"},
        {[](Design& d) { d.viewDistance = 0.0f; }, "\"view\" \"distance\" must be greater than 0"},
        {[](Design& d) { d.output.sweep.slices = 2; }, "slices must be 3 to 1024, not 2"},
    };
    for (const auto& c : cases) {
        Design spoiled = Vase();
        spoiled.profile[0].x = 4.0;
        c.spoil(spoiled);
        const Result<void> assigned = document.Assign(spoiled, picture);
        ASSERT_FALSE(assigned.Ok()) << c.reason;
        EXPECT_EQ(assigned.Error(), c.reason);
        EXPECT_TRUE(SameDesign(document.Value(), Vase())) << c.reason;
    }
    EXPECT_TRUE(heard.changes.empty());
}

TEST_F(DesignDocumentTest, EveryEntryKeepsTheRules)
{
    EXPECT_FALSE(document.Profile().Assign({{-1, 0, 0}}, 0).Ok());
    EXPECT_FALSE(document.Path().Assign(std::vector<CVector3>(1001), -1).Ok());
    EXPECT_FALSE(document.Path().Assign({{0, std::nan(""), 0}}, -1).Ok());
    EXPECT_TRUE(document.Path().Assign({{-1, 0, 0}}, 0).Ok()) << "the path may go left of the axis";
    EXPECT_FALSE(document.SetDegree(101).Ok());
    EXPECT_FALSE(document.SetDegree(0).Ok());
    EXPECT_EQ(document.Degree(), 1u);
    const float turned[16] = {std::numeric_limits<float>::infinity()};
    EXPECT_FALSE(document.SetView(turned, 20.0f).Ok());
    EXPECT_FALSE(document.SetOutput(OutputWithSweep({24, 0})).Ok());
    EXPECT_EQ(document.Output().sweep.intervalsPerSpan, SweepSettings::kDefaultIntervalsPerSpan);
    EXPECT_TRUE(document.Profile().ControlPoints().empty());
    ASSERT_EQ(heard.changes.size(), 1u) << "only the path's own edit was told";
    EXPECT_EQ(heard.changes[0], DesignParts(kPathPart));
}

TEST_F(DesignDocumentTest, EachChangeNamesItsPartAndASameValueIsNoChange)
{
    document.Profile().Click(2, 2);
    document.Path().Click(1, 1);
    ASSERT_TRUE(document.SetDegree(3).Ok());
    ASSERT_TRUE(document.SetDegree(3).Ok());
    document.ResetPath();
    document.SetRenderMode(RenderMode::Point);
    document.SetRenderMode(RenderMode::Point);
    document.SetTexture({"a.png", std::make_shared<RgbImage>()});
    ASSERT_TRUE(document.SetOutput(OutputWithSweep({48, 20})).Ok());
    const std::vector<DesignParts> expected = {kProfilePart,    kPathPart,    kDegreePart, kPathPart,
                                               kRenderModePart, kTexturePart, kOutputPart};
    EXPECT_EQ(heard.changes, expected);
    EXPECT_EQ(document.Path().ControlPoints().size(), 4u) << "a reset uses the document's degree";

    // A refused edit is told as a refusal, not a change.
    heard.changes.clear();
    document.Profile().Click(-1, 0);
    EXPECT_TRUE(heard.changes.empty());
    ASSERT_EQ(heard.refusals.size(), 1u);
    EXPECT_EQ(heard.refusals[0], EditRefusal::NegativeX);
}

TEST_F(DesignDocumentTest, ADragInTheViewTurnsItAndTellsOnlyWhenItMoved)
{
    document.SetViewportSize(200, 200);
    document.BeginTurn(100, 100);
    document.DragView(100, 100);
    EXPECT_TRUE(heard.changes.empty()) << "no movement, no change";
    document.DragView(140, 100);
    document.EndTurn();
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0], DesignParts(kViewPart));
    EXPECT_NE(document.Value().viewRotation[0], 1.0f);
    heard.changes.clear();
    document.RemoveListener(&heard);
    document.SetRenderMode(RenderMode::Wireframe);
    EXPECT_TRUE(heard.changes.empty());
}

TEST_F(DesignDocumentTest, TheViewCommandsMoveOnlyTheCameraAndTellOfTheView)
{
    Design turned = Vase();
    turned.texturePath.clear();
    ASSERT_TRUE(document.Assign(turned));
    heard.changes.clear();
    const auto expectOnly = [&](float distance, const float* rotation) {
        EXPECT_EQ(heard.changes, std::vector<DesignParts>{kViewPart});
        heard.changes.clear();
        Design now = document.Value();
        EXPECT_EQ(now.viewDistance, distance);
        now.viewDistance = turned.viewDistance;
        EXPECT_TRUE(std::equal(rotation, rotation + 16, now.viewRotation));
        std::copy(turned.viewRotation, turned.viewRotation + 16, now.viewRotation);
        EXPECT_TRUE(SameDesign(now, turned)) << "nothing but the view changed";
    };

    document.ZoomByWheel(-120);
    expectOnly(12.5f * 1.12f, turned.viewRotation);
    document.FrameSurface();
    expectOnly(document.Trackball().Distance(), turned.viewRotation);
    EXPECT_NE(document.Trackball().Distance(), 12.5f * 1.12f);
    const Design blank;
    document.ResetView();
    expectOnly(blank.viewDistance, blank.viewRotation);

    // At the floor the wheel moves nothing and tells no one; nor does
    // framing where there is no surface.
    for (int i = 0; i < 30; ++i)
        document.ZoomByWheel(120);
    heard.changes.clear();
    document.ZoomByWheel(120);
    EXPECT_TRUE(heard.changes.empty());
    document.Clear();
    heard.changes.clear();
    document.FrameSurface();
    EXPECT_TRUE(heard.changes.empty());
}
