// vevuvedu: how the progress lines write a time span.
#pragma once

#include <string>

// "1 h 05 min", "4 min 12 s", "37 s".
std::string duration_text(double seconds);
