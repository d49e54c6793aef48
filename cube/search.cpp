// vevuvedu: the segment search `probe_path`, one walk kept on an explicit stack of segments.
#include "search.hpp"

#include "mirror.hpp"
#include "walker.hpp"

#include <new>
#include <string>
#include <vector>

namespace {

// The walk of the single-threaded search: every filling goes to the sink at once.
struct Sequential {
    Walker& w;
    const FillingSink& sink;
    const ProgressHook& progress;
    bool mirror;
    int32_t found = 0;
    bool failed = false;
    std::string text;
    std::vector<MirroredFilling> mirrors;  // of the fillings found, while `mirror`
    bool mirrored = false;                 // the mirrors are written

    void filling(const Frame& last) {
        ++found;
        if (mirror) mirrors.push_back(mirror_filling(w, last));
        if (sink.write == nullptr || failed) return;
        text.clear();
        dump(text, *w.kostka);
        failed = !sink.write(text, sink.context);
    }
    void mirror_half() {
        found += static_cast<int32_t>(mirrors.size());
        mirrored = true;
        if (sink.write == nullptr || failed || mirrors.empty()) return;
        text.clear();
        append_mirrors(text, mirrors, *w.kostka);
        failed = !sink.write(text, sink.context);
    }
    bool split(const Frame&) { return false; }
    // A filling that could not be written stops the search: nothing after it would be.
    bool tick() {
        // The mirrors of the fillings so far are found too, though written at the switch.
        const int32_t shown = found + (mirrored ? 0 : static_cast<int32_t>(mirrors.size()));
        if (progress.report != nullptr)
            progress.report({share_done(w, mirror), shown, w.stats->calls}, progress.context);
        return failed;
    }
};

}  // namespace

BoxSearch probe_path(Cube& kostka, int32_t x, int32_t y, int32_t z, int32_t dx, int32_t dy,
                     int32_t dz, int32_t segment, int32_t filled, const FillingSink& sink,
                     const ProgressHook& progress) {
    BoxSearch result;
    Walker w;
    const int32_t axis = dx != 0 ? 0 : dy != 0 ? 1 : dz != 0 ? 2 : 0;
    const Frame first{{x, y, z}, axis, dx + dy + dz, 0};
    // The mirror skip: swapping the second and third axes maps this start onto itself.
    const bool mirror = mirror_symmetric(kostka, first.start, axis);
    Sequential v{w, sink, progress, mirror, 0, false, {}, {}, false};
    try {
        start_walker(w, kostka, result.stats, filled, segment);
        ++w.stats->calls;
        if (descend(w, first, v)) walk(w, 0, mirror, SIZE_MAX, v);
    } catch (const std::bad_alloc&) {
        unwind(w, 0);
        result.failure = memory_failure();
    }
    result.count = v.found;
    if (v.failed) result.failure = write_failure();
    return result;
}
