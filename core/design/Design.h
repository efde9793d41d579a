#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/RenderMode.h"
#include "core/Result.h"
#include "core/ExportOptions.h"
#include "core/Vector3.h"

// The limits of a design. The reader refuses a file beyond them and the
// writer will not write a design beyond them.
constexpr std::size_t kMaxControlPoints = 1000;  // per curve
constexpr std::uint32_t kMinDesignDegree = 1;
// The largest degree a reset accepts: enough for any curve a person edits,
// small enough that the surface stays interactive.
constexpr std::uint32_t kMaxDesignDegree = 100;

// Everything a design file holds. Control points use x and y only (z is 0);
// profile points keep X >= 0. The texture path is absolute once read from a
// file (empty: no texture).
struct Design {
    std::vector<CVector3> profile;
    std::vector<CVector3> path;
    std::uint32_t degree = 1;
    std::string texturePath;
    RenderMode renderMode = RenderMode::Solid;
    // The 3D view: rotation column-major as OpenGL takes it, camera distance.
    float viewRotation[16] = {1.0f, 0.0f, 0.0f, 0.0f,
                              0.0f, 1.0f, 0.0f, 0.0f,
                              0.0f, 0.0f, 1.0f, 0.0f,
                              0.0f, 0.0f, 0.0f, 1.0f};
    float viewDistance = 20.0f;
    // How the surface is exported; the 3D view draws the default slices and
    // intervals.
    ExportOptions output;
};

// The rules every design keeps, shared by the file's reader and writer and
// the design document. Each refuses with the first fault found, one line
// naming the curve and point as the editor's read-out does ("profile" point
// 3, from 0). `curve` is "profile" or "path"; only the profile keeps X >= 0.
std::string PointName(const char* curve, std::size_t index);
Result<void> CheckPointCount(const char* curve, std::size_t count);
Result<void> CheckPoint(const char* curve, std::size_t index, double x, double y);
Result<void> CheckCurve(const char* curve, const std::vector<CVector3>& points);
// Why a degree, as written, is refused: it is out of range.
std::string DegreeOutOfRange(const std::string& shown);
std::string RotationName(std::size_t index);
Result<void> CheckView(const float (&rotation)[16], float distance);
Result<void> CheckDesign(const Design& design);
