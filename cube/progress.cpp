// vevuvedu: how the progress lines write a time span.
#include "progress.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string duration_text(double seconds) {
    // A guess of the time left may be anything: no span is below 0 s or above a billion hours.
    if (std::isnan(seconds)) seconds = 0;
    seconds = std::clamp(seconds, 0.0, 3.6e12);
    const long long s = std::llround(seconds);
    char text[48];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld h %02lld min", s / 3600, s / 60 % 60);
    else if (s >= 60)
        std::snprintf(text, sizeof text, "%lld min %02lld s", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld s", s);
    return text;
}
