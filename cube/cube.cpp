// vevuvedu: the frame of the program: the command line, the cube, printing and the final line.
#include "cube.hpp"

#include "search.hpp"

#include <cerrno>
#include <chrono>
#include <new>
#include <unistd.h>

bool make_kostka(Kostka& kostka, int32_t nx, int32_t ny, int32_t nz) {
    kostka.nx = nx;
    kostka.ny = ny;
    kostka.nz = nz;
    kostka.celkem_poli = nx * ny * nz;
    // calloc: the cells start free, and pages of a large cube are not touched until used.
    kostka.cells.reset(
        static_cast<int32_t*>(std::calloc(static_cast<std::size_t>(kostka.celkem_poli), 4)));
    return kostka.cells != nullptr;
}

void dump(const Kostka& kostka, std::FILE* out) { std::fputs(dump_text(kostka).c_str(), out); }

std::string dump_text(const Kostka& k) {
    std::string text;
    char cell[16];
    for (int32_t x = 0; x < k.nx; ++x) {
        for (int32_t y = 0; y < k.ny; ++y) {
            for (int32_t z = 0; z < k.nz; ++z)
                text.append(cell, static_cast<std::size_t>(
                                      std::snprintf(cell, sizeof cell, "%d ", k.at(x, y, z))));
            text += '\n';
        }
        text += "---\n";
    }
    return text;
}

int fail(int status, const std::string& reason) {
    std::fprintf(stderr, "vevuvedu: %s\n", reason.c_str());
    return status;
}

namespace {

constexpr const char* usage =
    "\npoužití: vevuvedu N   (N je délka hrany krychle, celé číslo od 1 do 1290)";

EdgeArgument bad_edge(int status, std::string reason) { return {0, status, std::move(reason)}; }

}  // namespace

EdgeArgument read_edge(int argc, char** argv) {
    if (argc < 2) return bad_edge(2, std::string("chybí délka hrany krychle") + usage);
    const char* text = argv[1];
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);  // leading blanks and a sign are accepted
    const std::string quoted = std::string("„") + text + "“";
    if (end == text) return bad_edge(2, "délka hrany " + quoted + " není číslo" + usage);
    if (value < 1) return bad_edge(2, "délka hrany " + quoted + " je menší než 1" + usage);
    if (errno == ERANGE || value > max_edge)
        return bad_edge(3, "krychle o hraně " + quoted +
                               " má víc polí, než kolik program spočítá (nejvýš 1290^3)");
    return {static_cast<int32_t>(value), 0, {}};
}

std::string final_message(int32_t count) {
    if (count == 0) return "Nebylo nalezeno žádné vyplnění.\n";
    char text[96];
    std::snprintf(text, sizeof text, "Celkový počet nalezených vyplnění je %d.\n", count);
    return text;
}

namespace {

// The progress line on standard error: shown only on a terminal, once the search has run for
// more than a second, and cleared before the final message.
struct Progress {
    bool terminal = false;
    bool shown = false;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

void show_progress(double share_done, int32_t found, void* context) {
    auto& p = *static_cast<Progress*>(context);
    if (!p.terminal || std::chrono::steady_clock::now() - p.started < std::chrono::seconds(1))
        return;
    std::fprintf(stderr, "\rvevuvedu: prohledáno %.2f %%, nalezeno vyplnění: %d\033[K",
                 100 * share_done, found);
    std::fflush(stderr);
    p.shown = true;
}

void clear_progress(Progress& p) {
    if (p.shown) std::fputs("\r\033[K", stderr);
    p.shown = false;
}

}  // namespace

int run_vevuvedu(int argc, char** argv) {
    const EdgeArgument edge = read_edge(argc, argv);
    if (edge.status != 0) return fail(edge.status, edge.error);
    const int32_t n = edge.n;
    Kostka kostka;
    if (!make_kostka(kostka, n, n, n))
        return fail(3, "na krychli o hraně " + std::to_string(n) + " nestačí paměť");
    kostka.at(0, 0, 0) = 1;

    Progress progress;
    progress.terminal = isatty(STDERR_FILENO) == 1;
    SearchHooks hooks;
    hooks.dump = [](const Kostka& k, void*) { dump(k, stdout); };
    hooks.progress = show_progress;
    hooks.context = &progress;
    int32_t count = 0;
    try {
        count = probe_path(kostka, 0, 0, 0, n - 1, 0, 0, 2, 1, hooks, Pruning::full);
    } catch (const std::bad_alloc&) {
        clear_progress(progress);
        return fail(3, "na zásobník hledání nestačí paměť");
    }
    clear_progress(progress);
    const std::string message = final_message(count);
    std::fputs(message.c_str(), stdout);
    return static_cast<int>(message.size());
}
