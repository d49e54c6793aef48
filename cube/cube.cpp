// vevuvedu: the frame of the program: the command line, the number of threads, the progress
// line, and what the command line asks for: the search of the whole box and the final message,
// one work unit, the merge of every unit's result, two sets of results compared, or where a run
// of units stands.
#include "cube.hpp"

#include "box.hpp"
#include "estimate_left.hpp"
#include "merge.hpp"
#include "number.hpp"
#include "progress.hpp"
#include "search.hpp"
#include "status.hpp"
#include "threads.hpp"
#include "unit.hpp"
#include "walker.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sched.h>
#include <unistd.h>

namespace {

// More threads than this would only wait on each other.
constexpr long max_threads = 256;

}  // namespace

Read<int> read_threads(const char* setting) {
    if (setting == nullptr) {
        cpu_set_t cpus;
        const int count = sched_getaffinity(0, sizeof cpus, &cpus) == 0 ? CPU_COUNT(&cpus) : 1;
        return {static_cast<int>(std::clamp<long>(count, 1, max_threads)), std::nullopt};
    }
    const Number<int64_t> n = exact_number(setting, 1, max_threads);
    if (n.fault != NumberFault::none)
        return {1, Failure{2, std::string("VEVUVEDU_THREADS=„") + setting +
                                  "“ není počet vláken od 1 do 256"}};
    return {static_cast<int>(n.value), std::nullopt};
}

std::string final_message(int32_t count) {
    if (count == 0) return "Nebylo nalezeno žádné vyplnění.\n";
    char text[96];
    std::snprintf(text, sizeof text, "Celkový počet nalezených vyplnění je %d.\n", count);
    return text;
}

namespace {

// The progress line on standard error: shown only on a terminal, once the search has run for
// more than a second, and cleared before the final message or when the program is interrupted.
struct Progress {
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    LeftWatch left;
    std::mutex terminal;  // the line and the fillings, written by different threads, take turns
};

volatile std::sig_atomic_t progress_shown = 0;

void clear_progress() {
    if (progress_shown == 0) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progress_shown = 0;
}

// Ctrl-C leaves a clean terminal line, then ends the program as the signal would.
extern "C" void on_interrupt(int signal) {
    if (progress_shown != 0) {
        const char clear[] = "\r\033[K";
        [[maybe_unused]] const ssize_t ignored = write(STDERR_FILENO, clear, sizeof clear - 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void show_progress(const ProgressReport& now, void* context) {
    auto& p = *static_cast<Progress*>(context);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - p.started).count();
    if (elapsed < 1) return;
    std::lock_guard<std::mutex> hold(p.terminal);
    std::fprintf(stderr,
                 "\rvevuvedu: prohledáno %.4f %%, nalezeno vyplnění: %lld, uplynulo %s,"
                 " zbývá %s\033[K",
                 100 * now.share_done, static_cast<long long>(now.found),
                 duration_text(elapsed).c_str(),
                 time_left_text(p.left, now.calls, elapsed).c_str());
    std::fflush(stderr);
    progress_shown = 1;
}

void note_event(int64_t event, uint64_t calls, void* context) {
    note_finished(static_cast<Progress*>(context)->left, event, calls);
}

bool write_to_stdout(std::string_view text, void*) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::ferror(stdout) == 0;
}

// A filling written while the progress line shows: the line goes first, or the filling would
// follow it on the same terminal line; the next report draws it again.
bool write_beside_progress(std::string_view text, void* context) {
    std::lock_guard<std::mutex> hold(static_cast<Progress*>(context)->terminal);
    clear_progress();
    return write_to_stdout(text, nullptr);
}

}  // namespace

BoxSearch search_box(Cube& kostka, const SearchOptions& options) {
    const int32_t filled = take_start(kostka);
    // A progress line that follows the events needs them even on one thread.
    const bool events = options.threads > 1 || options.progress.event_done != nullptr;
    if (events && options.split_depth >= 1) {
        EventPlan every_event;
        return search_threads(kostka, filled, options, every_event).result;
    }
    return probe_path(kostka, 0, 0, 0, kostka.nx - 1, 0, 0, 2, filled, options.sink,
                      options.progress);
}

std::optional<Failure> make_box(const Request& r, Cube& kostka) {
    if (!make_cube(kostka, r.nx, r.ny, r.nz)) {
        if (r.cube)
            return Failure{3, "na krychli o hraně " + std::to_string(r.nx) + " nestačí paměť"};
        return Failure{3, "na kvádr " + std::to_string(r.nx) + "x" + std::to_string(r.ny) + "x" +
                              std::to_string(r.nz) + " nestačí paměť"};
    }
    if (!r.taken.empty()) return load_taken(r.taken, kostka);
    return std::nullopt;
}

namespace {

// The plain run: every filling and the final message on standard output.
Ending run_plain(const Request& request, int threads) {
    Cube kostka;
    if (std::optional<Failure> failure = make_box(request, kostka)) return {0, failure};
    Progress progress;
    SearchOptions options;
    options.threads = threads;
    options.sink.write = write_to_stdout;
    if (isatty(STDERR_FILENO) == 1) {
        std::signal(SIGINT, on_interrupt);
        options.progress = {show_progress, note_event, &progress};
        options.sink = {write_beside_progress, &progress};
        Cube started;
        if (copy_cube(started, kostka)) {
            const int32_t filled = take_start(started);
            start_guessing(progress.left, started, filled, options, nullptr, nullptr);
        }
    }
    const BoxSearch result = search_box(kostka, options);
    clear_progress();
    // A filling standard output refused is reported by main's check of standard output.
    if (result.failure) return {0, result.failure};
    const std::string message = final_message(result.count);
    std::fputs(message.c_str(), stdout);
    return {static_cast<int>(message.size()), std::nullopt};
}

// Set by SIGTERM, SIGINT or SIGUSR1 while a work unit runs: it checkpoints and stops.
volatile std::sig_atomic_t stop_signal = 0;

extern "C" void on_stop_signal(int signal) { stop_signal = signal; }

// One work unit: its result file, or its checkpoint when stopped.
Ending run_shard(const Request& request, int threads, double checkpoint_every) {
    Cube kostka;
    if (std::optional<Failure> failure = make_box(request, kostka)) return {0, failure};
    for (int signal : {SIGTERM, SIGINT, SIGUSR1})
        std::signal(signal, on_stop_signal);
    UnitJob job;
    job.shard = request.shard;
    job.shards = request.shards;
    job.split_depth = request.split_depth;
    job.out = request.out;
    job.threads = threads;
    job.time_limit = request.time_limit;
    job.progress_every = request.progress_every;
    job.checkpoint_every = checkpoint_every;
    job.stop_signal = &stop_signal;
    return {0, run_unit(kostka, job)};
}

// The plain run's output from the results of every unit.
Ending run_merge(const Request& request) {
    const Read<UnitSet> read = read_unit_set(request.inputs);
    if (read.failure) return {0, read.failure};
    FillingSink sink;
    sink.write = write_to_stdout;
    const BoxSearch result = merge_units(read.value, sink);
    if (result.failure) return {0, result.failure};
    const std::string message = final_message(result.count);
    std::fputs(message.c_str(), stdout);
    return {static_cast<int>(message.size()), std::nullopt};
}

// Two sets of results of one run compared unit by unit.
Ending run_verify(const Request& request) {
    const Read<UnitSet> a = read_unit_set({request.inputs[0]});
    if (a.failure) return {0, a.failure};
    const Read<UnitSet> b = read_unit_set({request.inputs[1]});
    if (b.failure) return {0, b.failure};
    if (std::optional<Failure> differs = compare_sets(a.value, b.value)) return {0, differs};
    const BoxSearch merged = merge_units(a.value, {});
    std::printf("Sady souhlasí: %zu dílů, %d vyplnění, %llu volání.\n", a.value.units.size(),
                merged.count, static_cast<unsigned long long>(merged.stats.calls));
    return {0, std::nullopt};
}

// Where the units in a folder stand.
Ending run_status(const Request& request) {
    const Read<RunStatus> read = read_run_status(request.inputs[0]);
    if (read.failure) return {0, read.failure};
    std::fputs(format_status(read.value).c_str(), stdout);
    return {0, std::nullopt};
}

}  // namespace

Read<double> read_checkpoint_every(const char* setting) {
    if (setting == nullptr) return {default_checkpoint_every, std::nullopt};
    const std::optional<double> value = seconds(setting, true);
    if (!value)
        return {0, Failure{2, std::string("VEVUVEDU_CHECKPOINT_SECONDS=„") + setting +
                                  "“ není počet sekund (0 nebo víc)"}};
    return {*value, std::nullopt};
}

Ending run_vevuvedu(int argc, char** argv) {
    const Read<Request> read = read_request(
        argc, argv, {std::getenv("SLURM_ARRAY_TASK_ID"), std::getenv("JOB_COMPLETION_INDEX")});
    if (read.failure) return {0, read.failure};
    const Read<int> threads = read_threads(std::getenv("VEVUVEDU_THREADS"));
    if (threads.failure) return {0, threads.failure};
    switch (read.value.mode) {
    case Mode::plain:
        return run_plain(read.value, threads.value);
    case Mode::shard: {
        const Read<double> every =
            read_checkpoint_every(std::getenv("VEVUVEDU_CHECKPOINT_SECONDS"));
        if (every.failure) return {0, every.failure};
        return run_shard(read.value, threads.value, every.value);
    }
    case Mode::merge:
        return run_merge(read.value);
    case Mode::verify:
        return run_verify(read.value);
    case Mode::status:
        return run_status(read.value);
    }
    return {0, std::nullopt};
}
