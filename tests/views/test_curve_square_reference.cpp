#include "core/CurveSquare.h"

#include "GLTestContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

// The display-free curve square against what the editor computes today
// through the driver's matrices and gluUnProject, compared bit for bit so
// that a -0.0 for +0.0 (printed "-0.000000" in the read-out) fails too.

namespace {

bool SameBits(const std::optional<CVector3>& a, const std::optional<CVector3>& b)
{
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(CVector3)) == 0);
}

std::string Show(const std::optional<CVector3>& v)
{
    std::ostringstream out;
    if (v)
        out << std::hexfloat << '(' << v->x << ", " << v->y << ", " << v->z << ')';
    return v ? out.str() : "(failed)";
}

// gluUnProject's answer; empty where it returns GL_FALSE.
std::optional<CVector3> GluUnProject(const CVector3& window, const GLMatrix4& modelView,
                                     const GLMatrix4& projection, const GLint viewport[4])
{
    CVector3 p;
    if (!gluUnProject(window.x, window.y, window.z, modelView.data(), projection.data(), viewport,
                      &p.x, &p.y, &p.z))
        return std::nullopt;
    return p;
}

// Uniform in [-1, 1) from the generator's bits alone, the same with every
// standard library.
double Uniform(std::mt19937_64& random)
{
    return static_cast<double>(random() >> 11) * 0x1.0p-52 - 1.0;
}

// Diagonally dominant, so well conditioned; the other entries are zeros of
// either sign with odds zeroOdds in four (all of them for four), like the
// editor's, since zero signs show only where whole sums are zero.
GLMatrix4 RandomMatrix(std::mt19937_64& random, unsigned zeroOdds)
{
    GLMatrix4 m;
    for (int i = 0; i < 16; ++i) {
        m[i] = Uniform(random);
        if (i % 5 == 0)
            m[i] += m[i] < 0 ? -4.0 : 4.0;
        else if (random() % 4 < zeroOdds)
            m[i] = random() % 2 ? 0.0 : -0.0;
    }
    return m;
}

// At the low edge, middle or high edge of the range (device -1, 0, 1,
// which zero or cancel terms), or anywhere in it.
double WindowCoordinate(std::mt19937_64& random, double low, double extent)
{
    const double fractions[4] = {0.0, 0.5, 1.0, (Uniform(random) + 1.0) / 2};
    return low + fractions[random() % 4] * extent;
}

class CurveSquareReference : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.IsValid());
        // The matrices as CGLView::RenderFrame leaves them in the curve editor.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10.0, 10.0, -10.0, 10.0, -5.0, 5.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    GLTestContext context;
};

} // namespace

TEST_F(CurveSquareReference, ProjectionMatrixIsTheDriversToTheBit)
{
    GLMatrix4 driver;
    glGetDoublev(GL_PROJECTION_MATRIX, driver.data());
    const GLMatrix4 ours = curve_square::ProjectionMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(std::memcmp(&ours[i], &driver[i], sizeof(double)), 0)
            << "entry " << i << ": " << ours[i] << " vs " << driver[i];
}

// Every pixel of each size, with the edge row y == height and column
// x == width, and a view with no area (NaN, which the editor rejects).
TEST_F(CurveSquareReference, EveryPixelUnprojectsAsGluDoes)
{
    long compared = 0;
    for (const auto& [width, height] :
         {std::pair{292, 256}, std::pair{584, 512}, std::pair{146, 171}, std::pair{1, 1},
          std::pair{3, 7}, std::pair{0, 0}}) {
        glViewport(0, 0, width, height);
        GLint viewport[4];
        GLMatrix4 modelView, projection;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        int mismatches = 0;
        for (int y = 0; y <= height; ++y) {
            for (int x = 0; x <= width; ++x, ++compared) {
                // CGLView::ScreenToWorld's window point.
                const double windowX = x;
                const double windowY = height - y;
                const auto nearRef =
                    GluUnProject({windowX, windowY, 0.0}, modelView, projection, viewport);
                const auto farRef =
                    GluUnProject({windowX, windowY, 1.0}, modelView, projection, viewport);
                const PixelRay ray = curve_square::RayAt(x, y, width, height);
                const CVector3 editor = curve_square::WindowToWorld(x, y, width, height);
                const bool same = nearRef && SameBits(ray.nearPoint, nearRef) &&
                                  SameBits(ray.farPoint, farRef) &&
                                  SameBits(editor, CVector3(nearRef->x, nearRef->y, 0.0));
                if (!same && ++mismatches <= 5)
                    ADD_FAILURE() << width << "x" << height << " pixel " << x << "," << y << ": "
                                  << Show(ray.nearPoint) << " vs " << Show(nearRef) << ", "
                                  << Show(ray.farPoint) << " vs " << Show(farRef);
            }
        }
        EXPECT_EQ(mismatches, 0) << width << "x" << height;
    }
    RecordProperty("pixels", std::to_string(compared));
}

TEST_F(CurveSquareReference, GeneralUnProjectMatchesGluOnRandomMatrices)
{
    std::mt19937_64 random(20261207);
    int mismatches = 0;
    for (int matrix = 0; matrix < 400; ++matrix) {
        const GLMatrix4 modelView = RandomMatrix(random, matrix % 5);
        const GLMatrix4 projection = RandomMatrix(random, matrix % 5);
        const GLint viewport[4] = {
            static_cast<GLint>(random() % 101) - 50, static_cast<GLint>(random() % 101) - 50,
            1 + static_cast<GLint>(random() % 2000), 1 + static_cast<GLint>(random() % 2000)};
        for (int point = 0; point < 16; ++point) {
            // Braces: the draws happen in the order written.
            const CVector3 window{WindowCoordinate(random, viewport[0], viewport[2]),
                                  WindowCoordinate(random, viewport[1], viewport[3]),
                                  WindowCoordinate(random, 0.0, 1.0)};
            const auto reference = GluUnProject(window, modelView, projection, viewport);
            const auto ours = UnProject(window, modelView, projection,
                                        {viewport[0], viewport[1], viewport[2], viewport[3]});
            if (!reference || (!SameBits(ours, reference) && ++mismatches <= 5))
                ADD_FAILURE() << "matrix " << matrix << ": " << Show(ours) << " vs "
                              << Show(reference);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(CurveSquareReference, FailsWhereGluFails)
{
    const GLMatrix4 identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const GLint viewport[4] = {0, 0, 100, 100};
    // No x column: singular. Clip w = -z and z = w: depth 0.5 comes back at w == 0.
    const GLMatrix4 flat = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const GLMatrix4 swapped = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0};
    for (const auto& [projection, depth] :
         {std::pair{flat, 0.25}, std::pair{swapped, 0.5}, std::pair{swapped, 0.25}}) {
        const CVector3 window(30, 40, depth);
        const auto reference = GluUnProject(window, identity, projection, viewport);
        EXPECT_EQ(reference.has_value(), projection == swapped && depth == 0.25);
        EXPECT_TRUE(SameBits(UnProject(window, identity, projection, {0, 0, 100, 100}), reference))
            << Show(reference);
    }
}
