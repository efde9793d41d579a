#pragma once

#include <cstdint>
#include <string>

// The degree field's syntax: optional blanks (spaces or tabs), an optional
// '+', decimal digits, optional blanks, nothing else; only the first 31
// characters are read. A value beyond 32 bits reads as 4294967295. Returns
// false (and leaves `value` alone) for anything else, including a leading
// '-', an empty field, and a zero that does not start with the digit 0.
bool ParseDegreeText(const std::string& text, std::uint32_t& value);

std::string FormatDegreeText(std::uint32_t value);

// The read-out under the profile editor: "Selected CP :" with no selection,
// otherwise "Selected CP : P<index> " and the point as FormatWorldPoint writes it.
std::string FormatSelectedPoint(int index, double x, double y);

// A world point as the read-outs write it: "(<x>, <y>)", each coordinate as
// FormatCoordinateText writes it.
std::string FormatWorldPoint(double x, double y);

// A coordinate as the read-out and the coordinates box show it: six decimals.
std::string FormatCoordinateText(double value);

// The largest coordinate a point can be typed with: ten times the editors'
// square, room for a point placed beyond the view on purpose, while a slip
// such as 1e300 cannot push the surface's arithmetic out of range.
constexpr double kMaxTypedCoordinate = 100.0;

// A typed coordinate: optional blanks, an optional sign, a decimal number
// with '.' as its point (an exponent allowed), optional blanks, within
// +-kMaxTypedCoordinate. Returns false (and leaves `value` alone) for
// anything else, "inf" and "nan" included.
bool ParseCoordinateText(const std::string& text, double& value);
