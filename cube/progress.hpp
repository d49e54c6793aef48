// vevuvedu: how the progress lines write a time span.
#pragma once

#include <string>

// "1 h 05 min", "4 min 12 s", "37 s", to the nearest second; below 0 (or not a number) as 0 s,
// above a billion hours as a billion hours.
std::string duration_text(double seconds);
