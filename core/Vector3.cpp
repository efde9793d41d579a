#include "core/Vector3.h"

#include <cmath>

double CVector3::Length() const
{
    return std::sqrt((x * x + y * y) + z * z);
}

void CVector3::Normalize()
{
    const double length = Length();
    x = x / length;
    y = y / length;
    z = z / length;
}

double& CVector3::Component(int i)
{
    if (i == 1)
        return y;
    if (i == 2)
        return z;
    return x;
}
