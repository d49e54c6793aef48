// rum-sim: a fixed single-precision iteration over a rum level.
//
// The four quantities are 32-bit floats. Every expression between two stores is evaluated in
// the type `Wide` and rounded to float on every store; the program uses `Wide = double`.
// The tests also run it with `float` and `long double` to show that the trace needs at least
// double-precision intermediates.
#pragma once

struct RumState {
    float rum = 0;        // the rum level that the loops evolve
    float tuzemacek = 0;  // the final result
    float i = 0;          // outer accumulator
    float j = 0;          // inner budget
};

inline constexpr double rum_c1 = 0.0003;
inline constexpr double rum_c2 = 0.011669999999999998;  // one ulp below the double nearest 0.01167
inline constexpr double rum_c3 = 0.8276999999999999;    // one ulp below the double nearest 0.8277
inline constexpr double rum_c4 = 38.9;
inline constexpr float rum_budget = 2759.0f;

// Runs the iteration and calls `trace(level)` with the rum level at the start of every inner step.
template <typename Wide, typename Trace>
RumState rum_simulate(Trace&& trace) {
    RumState s;
    // `flaska` and `vypito` are two names for the same level, so within one step a read through
    // either sees every store made before it.
    float& flaska = s.rum;
    float& vypito = s.rum;
    const Wide c1 = static_cast<Wide>(rum_c1);
    const Wide c2 = static_cast<Wide>(rum_c2);
    const Wide c3 = static_cast<Wide>(rum_c3);
    const Wide c4 = static_cast<Wide>(rum_c4);

    s.i = 0;
    do {
        s.j = rum_budget;
        do {
            trace(vypito);
            const float t = static_cast<float>((c1 + Wide{flaska}) + Wide{s.rum});
            s.rum = static_cast<float>(Wide{t} - Wide{s.i});
            flaska = static_cast<float>(Wide{1} - Wide{vypito});
            s.j = static_cast<float>(Wide{s.j} - (c2 + Wide{s.rum}));
        } while (Wide{s.j} > Wide{0});  // false for NaN
        s.i = static_cast<float>((c3 + Wide{vypito}) + Wide{s.i});
    } while (c4 > Wide{s.i});  // c4 is not rounded to float; false for NaN

    float& flaska_velka = s.tuzemacek;
    flaska_velka = static_cast<float>((Wide{s.j} * (Wide{s.i} * (c1 * Wide{flaska}))) * Wide{0.5});
    return s;
}
