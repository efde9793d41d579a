#pragma once

// A point or direction of three doubles. Kept a plain value (no virtual
// destructor): it is created by the million in sampling and surface loops,
// and being trivially copyable lets the containers move it with memcpy.
struct CVector3 {
    double x, y, z;

    CVector3() = default;
    constexpr CVector3(double px, double py, double pz) : x(px), y(py), z(pz) {}

    CVector3 Add(const CVector3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    CVector3 Subtract(const CVector3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    CVector3 Scale(double s) const { return {x * s, y * s, z * s}; }
    CVector3 Cross(const CVector3& b) const
    {
        return {y * b.z - b.y * z, b.x * z - x * b.z, x * b.y - b.x * y};
    }
    double Length() const;
    // Divides by one length computed up front; a zero vector becomes NaN.
    void Normalize();
    // 1 addresses y, 2 addresses z, any other index x.
    double& Component(int i);
};
