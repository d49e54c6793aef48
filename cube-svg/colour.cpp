// vevuvedu-svg: the colours of a path.
#include "colour.hpp"

#include <cmath>
#include <cstdio>

double hue_of(int number, int segments) {
    if (segments <= 1) return 240;
    return 240.0 * (segments - number) / (segments - 1);
}

std::string hsl_colour(double hue, double saturation, double lightness) {
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double h = hue / 60;
    const double second = chroma * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1)
        r = chroma, g = second;
    else if (h < 2)
        r = second, g = chroma;
    else if (h < 3)
        g = chroma, b = second;
    else if (h < 4)
        g = second, b = chroma;
    else if (h < 5)
        r = second, b = chroma;
    else
        r = chroma, b = second;
    const double m = lightness - chroma / 2;
    auto byte = [&](double v) { return static_cast<int>(std::lround((v + m) * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(r), byte(g), byte(b));
    return text;
}

std::string strong_colour(int number, int segments) {
    return hsl_colour(hue_of(number, segments), 0.85, 0.42);
}

std::string light_colour(int number, int segments) {
    return hsl_colour(hue_of(number, segments), 0.8, 0.84);
}
