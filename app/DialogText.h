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

// A world point as the read-outs write it: "(<x>, <y>)" with six decimals.
std::string FormatWorldPoint(double x, double y);
