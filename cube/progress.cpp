// vevuvedu: how the progress lines write a time span.
#include "progress.hpp"

#include <cstdio>

std::string duration_text(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char text[48];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld h %02ld min", s / 3600, s / 60 % 60);
    else if (s >= 60)
        std::snprintf(text, sizeof text, "%ld min %02ld s", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld s", s);
    return text;
}
