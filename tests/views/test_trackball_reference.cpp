#include "core/Trackball.h"

#include "GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <limits>
#include <random>
#include <vector>

// The trackball as it was when OpenGL composed its turns: the same lift,
// thresholds and zoom, and the rotation step made of the same GL calls, so
// that the CPU composition is checked against the pipeline itself.
class GLReferenceTrackball {
public:
    void SetViewportSize(int width, int height)
    {
        m_nWidth = width;
        m_nHeight = height;
    }
    void BeginRotation(int x, int y)
    {
        m_bRotating = 1;
        m_LastPoint = ProjectToSphere(x, y);
    }
    void EndRotation() { m_bRotating = 0; }
    void BeginZoom(int x, int y)
    {
        m_bZooming = 1;
        m_LastPoint.x = static_cast<double>(x);
        m_LastPoint.y = static_cast<double>(y);
    }
    void EndZoom() { m_bZooming = 0; }
    int Motion(int x, int y)
    {
        if (m_bRotating)
            return RotationStep(x, y);
        if (m_bZooming) {
            ZoomStep(x, y);
            return 1;
        }
        return 0;
    }
    CVector3 ProjectToSphere(int x, int y) const
    {
        if (m_nWidth <= 0 || m_nHeight <= 0)
            return CVector3(0.0, 0.0, 1.0);
        const double w = static_cast<double>(m_nWidth);
        const double h = static_cast<double>(m_nHeight);
        CVector3 p((2.0 * static_cast<double>(x) - w) / w, (h - 2.0 * static_cast<double>(y)) / h,
                   0.0);
        double d = p.Length();
        if (d >= 1.0)
            d = 1.0;
        p.z = std::sqrt(static_cast<double>(1.001f) - d * d);
        p.Normalize();
        return p;
    }

    float m_Matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    CVector3 m_LastPoint{0.0, 0.0, 1.0};
    int m_bRotating = 0;
    int m_bZooming = 0;
    float m_fDistance = 20.0f;

private:
    int RotationStep(int x, int y)
    {
        const CVector3 cur = ProjectToSphere(x, y);
        const double len = cur.Subtract(m_LastPoint).Length();
        if (len <= static_cast<double>(0.0001f))
            return 0;
        const CVector3 axis = m_LastPoint.Cross(cur);
        const float angle = static_cast<float>(static_cast<float>(len) / (0.4f + 0.4f) * 90.0);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(angle, static_cast<float>(axis.x), static_cast<float>(axis.y),
                  static_cast<float>(axis.z));
        glMultMatrixf(m_Matrix);
        glGetFloatv(GL_MODELVIEW_MATRIX, m_Matrix);
        glPopMatrix();
        m_LastPoint = cur;
        return 1;
    }
    void ZoomStep(int x, int y)
    {
        const double f = (static_cast<double>(x) - m_LastPoint.x) * static_cast<double>(0.008f) + 1.0;
        const double reached = f * static_cast<double>(m_fDistance);
        float factor = static_cast<float>(f);
        if (reached < 2.0 || std::isnan(reached))
            factor = static_cast<float>(2.0 / static_cast<double>(m_fDistance));
        const float distance =
            static_cast<float>(static_cast<double>(factor) * static_cast<double>(m_fDistance));
        if (std::isfinite(distance))
            m_fDistance = distance;
        m_LastPoint.x = static_cast<double>(x);
        m_LastPoint.y = static_cast<double>(y);
    }

    int m_nWidth = 0;
    int m_nHeight = 0;
};

namespace {

// Floats apart from a to b, counting each representable value once; +0 and
// -0 are the same point. NaN is as far as it gets.
std::int64_t UlpDistance(float a, float b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::numeric_limits<std::int64_t>::max();
    const auto ordinal = [](float f) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        return bits < 0 ? -static_cast<std::int64_t>(bits & 0x7fffffff)
                        : static_cast<std::int64_t>(bits);
    };
    const std::int64_t d = ordinal(a) - ordinal(b);
    return d < 0 ? -d : d;
}

// Rotation entries lie in [-1, 1]. 4 ulps allows for a libm or compiler
// that rounds a step differently; the absolute 1e-7 (about one ulp of 1.0)
// covers entries near zero, whose ulps are far finer than the error of any
// entry of the same matrix. Anything looser would let a wrong order of
// operations drift unseen over a long drag.
const std::int64_t kMaxUlps = 4;
const double kNearZero = 1.0e-7;

bool CloseEnough(float a, float b)
{
    return UlpDistance(a, b) <= kMaxUlps
           || std::fabs(static_cast<double>(a) - static_cast<double>(b)) <= kNearZero;
}

// One input event for both trackballs.
struct DragEvent {
    enum Kind { Size, LeftDown, LeftUp, RightDown, RightUp, Move } kind;
    int x;
    int y;
};

// Seeded random drags of every kind a user makes: many short ones, long
// wanders, sweeps across the whole view and beyond its edges, pixel-sized
// moves below the chord threshold, far jumps, jumps along a centre line
// (turns about one screen axis), and both buttons held together (the zoom
// press moves the rotation's drag point, at times to where it has no axis).
class DragScript {
public:
    explicit DragScript(unsigned seed) : m_rng(seed) {}

    std::vector<DragEvent> Make(int moves)
    {
        // The first drags come before the view has a size.
        m_w = 0;
        m_h = 0;
        int made = 0;
        while (made < moves) {
            if (m_events.size() > 40 && Pick(0, 9) == 0)
                PickSize();
            made += Drag();
        }
        return m_events;
    }

private:
    int Pick(int lo, int hi) { return lo + static_cast<int>(m_rng() % static_cast<unsigned>(hi - lo + 1)); }
    int Span(int n) const { return n > 0 ? n : 300; }

    void PickSize()
    {
        static const int sizes[][2] = {{290, 342}, {292, 342}, {1, 1},   {2, 2},       {640, 480},
                                       {1280, 1024}, {3, 700}, {50000, 50000}, {100000, 100000}};
        const auto& s = sizes[Pick(0, 8)];
        m_w = s[0];
        m_h = s[1];
        m_events.push_back({DragEvent::Size, m_w, m_h});
    }

    // A point anywhere within the view or up to its size beyond an edge.
    void RandomPoint(int& x, int& y)
    {
        x = Pick(-Span(m_w), 2 * Span(m_w));
        y = Pick(-Span(m_h), 2 * Span(m_h));
    }

    void Move(int x, int y) { m_events.push_back({DragEvent::Move, x, y}); }

    // Presses one or both buttons, moves, releases; the number of moves.
    int Drag()
    {
        int x = 0;
        int y = 0;
        RandomPoint(x, y);
        const int buttons = Pick(0, 5);  // 0-2 left, 3-4 right, 5 both
        const bool left = buttons <= 2 || buttons == 5;
        const bool right = buttons >= 3;
        if (left)
            m_events.push_back({DragEvent::LeftDown, x, y});
        int moves = 0;
        if (right) {
            // The second button goes down somewhere else after a move or two,
            // at times by the window's corner, then the drag may go to the centre.
            if (left) {
                moves += Wander(x, y, Pick(0, 2), 10);
                RandomPoint(x, y);
                if (Pick(0, 2) == 0) {
                    x = Pick(-1, 1);
                    y = Pick(-1, 1);
                }
            }
            m_events.push_back({DragEvent::RightDown, x, y});
            if (left && Pick(0, 1) == 0) {
                x = m_w / 2;
                y = m_h / 2;
                Move(x, y);
                ++moves;
            }
        }
        switch (Pick(0, 6)) {
        case 0:
        case 1:
            moves += Wander(x, y, Pick(1, 8), 15);
            break;
        case 2:
            moves += Wander(x, y, Pick(200, 800), 6);
            break;
        case 3:
            moves += Sweep();
            break;
        case 4:
            moves += Wander(x, y, Pick(20, 60), 1);
            break;
        case 5:
            moves += AlongACentreLine(x, y, Pick(2, 8));
            break;
        default:
            for (int i = Pick(1, 4); i > 0; --i, ++moves) {
                RandomPoint(x, y);
                Move(x, y);
            }
            break;
        }
        const bool leftFirst = Pick(0, 1) == 0;
        if (left && leftFirst)
            m_events.push_back({DragEvent::LeftUp, x, y});
        if (right)
            m_events.push_back({DragEvent::RightUp, x, y});
        if (left && !leftFirst)
            m_events.push_back({DragEvent::LeftUp, x, y});
        // Moves with no button held change nothing.
        if (Pick(0, 3) == 0) {
            RandomPoint(x, y);
            Move(x, y);
            ++moves;
        }
        return moves;
    }

    int Wander(int& x, int& y, int steps, int reach)
    {
        for (int i = 0; i < steps; ++i) {
            x += Pick(-reach, reach);
            y += Pick(-reach, reach);
            Move(x, y);
        }
        return steps;
    }

    int AlongACentreLine(int& x, int& y, int steps)
    {
        const bool row = Pick(0, 1) == 0;
        for (int i = 0; i < steps; ++i) {
            RandomPoint(x, y);
            if (row)
                y = m_h / 2;
            else
                x = m_w / 2;
            Move(x, y);
        }
        return steps;
    }

    // Edge to edge and past both, along a row, a column or a diagonal.
    int Sweep()
    {
        const int w = Span(m_w);
        const int h = Span(m_h);
        const int step = std::max(1, w / Pick(50, 400));
        const int kind = Pick(0, 3);
        const int row = kind == 0 ? h / 2 : Pick(0, h);
        const int column = kind == 1 ? w / 2 : Pick(0, w);
        int moves = 0;
        for (int t = -w / 4; t <= w + w / 4; t += step, ++moves) {
            const int down = static_cast<int>(static_cast<long long>(t) * h / w);
            if (kind == 0 || kind == 2)
                Move(t, row);
            else if (kind == 1)
                Move(column, down);
            else
                Move(t, down);
        }
        return moves;
    }

    std::mt19937 m_rng;
    std::vector<DragEvent> m_events;
    int m_w = 0;
    int m_h = 0;
};

class TrackballAgainstGL : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ctx.IsValid());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    GLTestContext ctx;
};

} // namespace

TEST(TrackballUlps, CountsEveryFloatBetweenAndRejectsLargeGaps)
{
    float b = 0.5f;
    for (int i = 0; i < 100; ++i)
        b = std::nextafter(b, 1.0f);
    EXPECT_EQ(UlpDistance(0.5f, b), 100);
    EXPECT_EQ(UlpDistance(b, 0.5f), 100);
    EXPECT_FALSE(CloseEnough(0.5f, b));

    float four = -0.75f;
    for (int i = 0; i < 4; ++i)
        four = std::nextafter(four, -1.0f);
    EXPECT_TRUE(CloseEnough(-0.75f, four));
    EXPECT_FALSE(CloseEnough(-0.75f, std::nextafter(four, -1.0f)));

    // Across zero the count runs through both zeros as one.
    const float tiny = std::numeric_limits<float>::denorm_min();
    EXPECT_EQ(UlpDistance(0.0f, -0.0f), 0);
    EXPECT_EQ(UlpDistance(-tiny, tiny), 2);
    EXPECT_TRUE(CloseEnough(-1.0e-9f, 1.0e-9f));
    EXPECT_FALSE(CloseEnough(-1.0e-6f, 1.0e-6f));
    EXPECT_FALSE(CloseEnough(0.25f, -0.25f));
    EXPECT_FALSE(CloseEnough(std::nanf(""), 0.0f));
}

TEST_F(TrackballAgainstGL, LongRandomDragsComposeAsThePipelineDid)
{
    std::int64_t worstUlps = 0;
    double worstAbsolute = 0.0;
    int steps = 0;
    int turns = 0;
    int stills = 0;
    int zooms = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        CTrackball cpu;
        GLReferenceTrackball gl;
        const std::vector<DragEvent> events = DragScript(seed).Make(5000);
        for (std::size_t i = 0; i < events.size(); ++i) {
            const DragEvent& e = events[i];
            switch (e.kind) {
            case DragEvent::Size:
                cpu.SetViewportSize(e.x, e.y);
                gl.SetViewportSize(e.x, e.y);
                break;
            case DragEvent::LeftDown:
                cpu.BeginRotation(e.x, e.y);
                gl.BeginRotation(e.x, e.y);
                break;
            case DragEvent::LeftUp:
                cpu.EndRotation();
                gl.EndRotation();
                break;
            case DragEvent::RightDown:
                cpu.BeginZoom(e.x, e.y);
                gl.BeginZoom(e.x, e.y);
                break;
            case DragEvent::RightUp:
                cpu.EndZoom();
                gl.EndZoom();
                break;
            case DragEvent::Move: {
                const bool rotating = gl.m_bRotating != 0;
                const bool zooming = gl.m_bZooming != 0;
                const int moved = cpu.Motion(e.x, e.y);
                ASSERT_EQ(moved, gl.Motion(e.x, e.y)) << "seed " << seed << " event " << i;
                ++steps;
                turns += rotating && moved;
                stills += rotating && !moved;
                zooms += !rotating && zooming;
                break;
            }
            }
            const CVector3 lift = cpu.ProjectToSphere(e.x, e.y);
            const CVector3 glLift = gl.ProjectToSphere(e.x, e.y);
            ASSERT_EQ(lift.x, glLift.x) << "seed " << seed << " event " << i;
            ASSERT_EQ(lift.y, glLift.y) << "seed " << seed << " event " << i;
            ASSERT_EQ(lift.z, glLift.z) << "seed " << seed << " event " << i;
            ASSERT_EQ(cpu.Distance(), gl.m_fDistance) << "seed " << seed << " event " << i;
            ASSERT_EQ(cpu.IsRotating(), gl.m_bRotating != 0);
            ASSERT_EQ(cpu.IsZooming(), gl.m_bZooming != 0);
            for (int k = 0; k < 16; ++k) {
                const float a = cpu.Matrix()[k];
                const float b = gl.m_Matrix[k];
                ASSERT_TRUE(CloseEnough(a, b)) << "seed " << seed << " event " << i << " entry "
                                               << k << ": " << a << " against " << b;
                worstUlps = std::max(worstUlps, UlpDistance(a, b));
                worstAbsolute = std::max(worstAbsolute, std::fabs(static_cast<double>(a) - b));
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The script really exercised every path.
    EXPECT_GT(turns, 10000);
    EXPECT_GT(stills, 1000);
    EXPECT_GT(zooms, 5000);
    std::cout << "[ trackball ] " << steps << " moves (" << turns << " turns, " << stills
              << " below the threshold, " << zooms << " zoom steps): largest difference "
              << worstUlps << " ulp, " << worstAbsolute << " absolute\n";
    RecordProperty("largest_ulps", static_cast<int>(worstUlps));
}
