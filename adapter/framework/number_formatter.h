// The framework's number formatter for control displays: fixed decimals, then the unit.
#pragma once

#include <string>

// "12.50 dB" for 12.5 with precision 2 and unit "dB"; no space without a unit.
std::string FormatNumber(double value, int precision, const std::string& unit);
