#include "core/CurveSquare.h"

#include <cmath>

namespace {

using Vector4 = std::array<double, 4>;

double At(const GLMatrix4& m, int column, int row)
{
    return m[column * 4 + row];
}

// The projection applied after the modelview (projection x modelview), each
// entry summed over k = 0..3 in that order, as GLU does.
GLMatrix4 Combine(const GLMatrix4& modelView, const GLMatrix4& projection)
{
    GLMatrix4 product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            product[column * 4 + row] = At(modelView, column, 0) * At(projection, 0, row) +
                                        At(modelView, column, 1) * At(projection, 1, row) +
                                        At(modelView, column, 2) * At(projection, 2, row) +
                                        At(modelView, column, 3) * At(projection, 3, row);
        }
    }
    return product;
}

// The three indices out of 0..3 other than `skipped`, ascending.
std::array<int, 3> OtherThan(int skipped)
{
    std::array<int, 3> others{};
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i != skipped)
            others[n++] = i;
    }
    return others;
}

// The cofactor of the entry at (row, column) with GLU's rounding: the minor
// is expanded along its first row into six products of three, each taken
// left to right and carrying its own sign, then summed left to right.
// Negating the sum instead of the terms would turn cofactors whose terms
// cancel into -0.0 where GLU has +0.0.
double Cofactor(const GLMatrix4& m, int row, int column)
{
    const std::array<int, 3> rows = OtherThan(row);
    const std::array<int, 3> columns = OtherThan(column);
    const double sign = (row + column) % 2 == 0 ? 1.0 : -1.0;
    std::array<double, 6> terms{};
    for (int k = 0; k < 3; ++k) {
        const int lead = columns[k];
        const int first = columns[k == 0 ? 1 : 0];
        const int second = columns[k == 2 ? 1 : 2];
        const double termSign = k % 2 == 0 ? sign : -sign;
        terms[2 * k] =
            termSign * At(m, lead, rows[0]) * At(m, first, rows[1]) * At(m, second, rows[2]);
        terms[2 * k + 1] =
            -termSign * At(m, lead, rows[0]) * At(m, first, rows[2]) * At(m, second, rows[1]);
    }
    return terms[0] + terms[1] + terms[2] + terms[3] + terms[4] + terms[5];
}

// The inverse as the transposed cofactors times one reciprocal of the
// determinant (expanded down the first column); empty when that is zero.
std::optional<GLMatrix4> Invert(const GLMatrix4& m)
{
    GLMatrix4 adjugate;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row)
            adjugate[column * 4 + row] = Cofactor(m, /*row=*/column, /*column=*/row);
    }
    const double determinant = At(m, 0, 0) * At(adjugate, 0, 0) + At(m, 0, 1) * At(adjugate, 1, 0) +
                               At(m, 0, 2) * At(adjugate, 2, 0) + At(m, 0, 3) * At(adjugate, 3, 0);
    if (determinant == 0.0)
        return std::nullopt;
    const double reciprocal = 1.0 / determinant;
    GLMatrix4 inverse;
    for (int i = 0; i < 16; ++i)
        inverse[i] = adjugate[i] * reciprocal;
    return inverse;
}

Vector4 Transform(const GLMatrix4& m, const Vector4& v)
{
    Vector4 out;
    for (int row = 0; row < 4; ++row) {
        out[row] = v[0] * At(m, 0, row) + v[1] * At(m, 1, row) + v[2] * At(m, 2, row) +
                   v[3] * At(m, 3, row);
    }
    return out;
}

// Window coordinates to normalised device coordinates (-1..1 on each axis).
Vector4 WindowToDevice(const CVector3& window, const ViewportRect& viewport)
{
    const double x = (window.x - viewport.x) / viewport.width;
    const double y = (window.y - viewport.y) / viewport.height;
    return {x * 2 - 1, y * 2 - 1, window.z * 2 - 1, 1.0};
}

} // namespace

std::optional<CVector3> UnProject(const CVector3& window, const GLMatrix4& modelView,
                                  const GLMatrix4& projection, const ViewportRect& viewport)
{
    const std::optional<GLMatrix4> inverse = Invert(Combine(modelView, projection));
    if (!inverse)
        return std::nullopt;
    const Vector4 object = Transform(*inverse, WindowToDevice(window, viewport));
    if (object[3] == 0.0)
        return std::nullopt;
    return CVector3(object[0] / object[3], object[1] / object[3], object[2] / object[3]);
}

namespace curve_square {

namespace {

// glOrtho's bounds, which the driver narrows to float.
constexpr float kLeft = -10.0f;
constexpr float kRight = 10.0f;
constexpr float kNear = -5.0f;
constexpr float kFar = 5.0f;

const GLMatrix4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

GLMatrix4 ProjectionMatrix()
{
    // Mesa builds and keeps matrices in single precision: 2 / 20 is 0.1f,
    // widened only when read back. glOrtho's translations -(r + l) / (r - l)
    // come out as -0.0f, but the driver multiplies them into the identity
    // that was loaded, and the +0 terms of that product leave +0.0.
    const double scaleXY = 2.0f / (kRight - kLeft);
    const double scaleZ = -2.0f / (kFar - kNear);
    return {scaleXY, 0, 0, 0, 0, scaleXY, 0, 0, 0, 0, scaleZ, 0, 0, 0, 0, 1};
}

PixelRay RayAt(int x, int y, int width, int height)
{
    // The flip uses the full height, in integers, as the view does: the top
    // row unprojects at window y == height.
    const double windowX = x;
    const double windowY = height - y;
    const GLMatrix4 projection = ProjectionMatrix();
    const ViewportRect viewport = {0, 0, width, height};
    // The square's matrix is invertible and keeps w nonzero, so this never
    // fails; NaN is what the editor starts from, and rejects.
    const CVector3 unset(NAN, NAN, NAN);
    const auto unproject = [&](double depth) {
        return UnProject({windowX, windowY, depth}, kIdentity, projection, viewport)
            .value_or(unset);
    };
    return {unproject(0.0), unproject(1.0)};
}

CVector3 WindowToWorld(int x, int y, int width, int height)
{
    const CVector3 nearPoint = RayAt(x, y, width, height).nearPoint;
    return {nearPoint.x, nearPoint.y, 0.0};
}

} // namespace curve_square
