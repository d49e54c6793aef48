// vevuvedu-svg: the colours of a path.
#include "colour.hpp"

#include <algorithm>
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
    // Red, green and blue in each sixth of the circle of hues, from red (0) through yellow,
    // green, cyan, blue and magenta.
    const double channels[6][3] = {{chroma, second, 0}, {second, chroma, 0}, {0, chroma, second},
                                   {0, second, chroma}, {second, 0, chroma}, {chroma, 0, second}};
    const double* rgb = channels[std::clamp(static_cast<int>(h), 0, 5)];
    const double m = lightness - chroma / 2;
    auto byte = [&](double v) { return static_cast<int>(std::lround((v + m) * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(rgb[0]), byte(rgb[1]), byte(rgb[2]));
    return text;
}

std::string strong_colour(int number, int segments) {
    return hsl_colour(hue_of(number, segments), 0.85, 0.42);
}

std::string light_colour(int number, int segments) {
    return hsl_colour(hue_of(number, segments), 0.8, 0.84);
}
