// vevuvedu: the command line, read once into a record the frame hands down.
#include "arguments.hpp"

#include "box.hpp"
#include "number.hpp"
#include "store.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string_view>

namespace {

constexpr const char* usage =
    "\npoužití: vevuvedu N   (N je délka hrany krychle, celé číslo od 1 do 1290)";

constexpr const char* option_usage =
    "\npoužití: vevuvedu N | --box AxBxC [--taken SOUBOR]\n"
    "        vevuvedu --shard K/M --out SOUBOR [--split-depth D] [--time-limit SEKUNDY]\n"
    "                 [--progress SEKUNDY] (N | --box AxBxC [--taken SOUBOR])\n"
    "        vevuvedu --merge SOUBOR|SLOŽKA...\n"
    "        vevuvedu --verify SLOŽKA_A SLOŽKA_B";

// The most work units and the deepest split a run takes.
constexpr int64_t max_shards = 1000000000;
constexpr int64_t max_split_depth = 1000000;

Read<int32_t> bad_edge(int status, std::string reason) {
    return {0, Failure{status, std::move(reason)}};
}

std::string quoted(std::string_view text) { return "„" + std::string(text) + "“"; }

Failure bad_command(const std::string& what) { return {2, what + option_usage}; }

// A number of the command line, written as the program writes numbers, from `least` to `most`.
std::optional<int64_t> whole_number(std::string_view text, int64_t least, int64_t most) {
    const Number<int64_t> n = exact_number(text, least, most);
    if (n.fault != NumberFault::none) return std::nullopt;
    return n.value;
}

// The file name an option such as --out or --taken gives: not empty.
std::optional<Failure> read_file_name(std::string_view option, const char* value,
                                      std::string& into) {
    if (*value == '\0')
        return bad_command("volba " + std::string(option) + " potřebuje jméno souboru");
    into = value;
    return std::nullopt;
}

// "K/M", or "/M" with K the batch engine's array index.
std::optional<Failure> read_shard(std::string_view text, const ArrayIndex& index, Request& r) {
    const std::size_t slash = text.find('/');
    const std::optional<int64_t> m = slash == std::string_view::npos
                                         ? std::nullopt
                                         : whole_number(text.substr(slash + 1), 1, max_shards);
    if (!m)
        return bad_command(
            "--shard " + quoted(text) +
            " není tvaru K/M nebo /M (M počet dílů od 1, K číslo dílu od 0 do M - 1)");
    r.shards = *m;
    std::string_view k = text.substr(0, slash);
    std::string source = "--shard " + quoted(text);
    if (k.empty()) {
        if (index.slurm != nullptr) {
            k = index.slurm;
            source = "SLURM_ARRAY_TASK_ID=" + quoted(k);
        } else if (index.job_completion != nullptr) {
            k = index.job_completion;
            source = "JOB_COMPLETION_INDEX=" + quoted(k);
        } else {
            return Failure{2, "--shard " + quoted(text) +
                                  ": číslo dílu chybí, není nastavena proměnná SLURM_ARRAY_TASK_ID"
                                  " ani JOB_COMPLETION_INDEX"};
        }
    }
    const std::optional<int64_t> shard = whole_number(k, 0, *m - 1);
    if (!shard)
        return Failure{2,
                       source + ": číslo dílu není celé číslo od 0 do " + std::to_string(*m - 1)};
    r.shard = *shard;
    return std::nullopt;
}

}  // namespace

Read<int32_t> read_edge(int argc, char** argv) {
    if (argc < 2) return bad_edge(2, std::string("chybí délka hrany krychle") + usage);
    const char* text = argv[1];
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);  // leading blanks and a sign are accepted
    if (end == text) return bad_edge(2, "délka hrany " + quoted(text) + " není číslo" + usage);
    if (value < 1) return bad_edge(2, "délka hrany " + quoted(text) + " je menší než 1" + usage);
    if (errno == ERANGE || value > max_edge)
        return bad_edge(3, "krychle o hraně " + quoted(text) +
                               " má víc polí, než kolik program spočítá (nejvýš 1290^3)");
    return {static_cast<int32_t>(value), std::nullopt};
}

Read<Request> read_request(int argc, char** argv, const ArrayIndex& index) {
    Read<Request> read;
    Request& r = read.value;
    auto fail = [&](Failure f) {
        read.failure = std::move(f);
        return read;
    };
    if (argc < 2 || std::strncmp(argv[1], "--", 2) != 0) {
        const Read<int32_t> edge = read_edge(argc, argv);
        if (edge.failure) return fail(*edge.failure);
        r.nx = r.ny = r.nz = edge.value;
        return read;
    }
    bool have_edge = false, have_box = false, have_shard = false, have_run_option = false;
    std::set<std::string_view> given;  // every option once; a second --box says it is one box
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--merge" || word == "--verify" || word == "--status") {
            if (i != 1) return fail(bad_command(std::string(word) + " musí být první volba"));
            r.mode = word == "--merge"    ? Mode::merge
                     : word == "--verify" ? Mode::verify
                                          : Mode::status;
            for (++i; i < argc; ++i)
                r.inputs.emplace_back(argv[i]);
            if (r.mode == Mode::merge && r.inputs.empty())
                return fail(bad_command("--merge potřebuje aspoň jeden soubor nebo složku"));
            if (r.mode == Mode::verify && r.inputs.size() != 2)
                return fail(bad_command("--verify potřebuje právě dvě složky"));
            if (r.mode == Mode::status && r.inputs.size() != 1)
                return fail(bad_command("--status potřebuje právě jednu složku"));
            return read;
        }
        if (word.substr(0, 2) != "--") {
            if (have_edge || have_box)
                return fail(
                    bad_command("krychle nebo kvádr je zadán víckrát (" + quoted(word) + ")"));
            char* edge_argv[] = {argv[0], argv[i], nullptr};
            const Read<int32_t> edge = read_edge(2, edge_argv);
            if (edge.failure) return fail(*edge.failure);
            r.nx = r.ny = r.nz = edge.value;
            have_edge = true;
            continue;
        }
        const bool known = word == "--box" || word == "--taken" || word == "--shard" ||
                           word == "--out" || word == "--split-depth" || word == "--time-limit" ||
                           word == "--progress";
        if (!known) return fail(bad_command("neznámá volba " + quoted(word)));
        if (i + 1 >= argc)
            return fail(bad_command("volba " + std::string(word) + " potřebuje hodnotu"));
        const char* value = argv[++i];
        if (!given.insert(word).second && word != "--box")
            return fail(bad_command("volba " + std::string(word) + " je zadána dvakrát"));
        if (word == "--box") {
            if (have_edge || have_box)
                return fail(bad_command("krychle nebo kvádr je zadán víckrát (--box " +
                                        quoted(value) + ")"));
            const Read<BoxSize> size = read_box_size(value);
            if (size.failure) return fail(*size.failure);
            r.nx = size.value.nx;
            r.ny = size.value.ny;
            r.nz = size.value.nz;
            r.cube = false;
            have_box = true;
        } else if (word == "--taken") {
            if (auto f = read_file_name(word, value, r.taken)) return fail(*f);
        } else if (word == "--shard") {
            if (auto f = read_shard(value, index, r)) return fail(*f);
            have_shard = true;
        } else if (word == "--out") {
            if (auto f = read_file_name(word, value, r.out)) return fail(*f);
        } else if (word == "--split-depth") {
            const std::optional<int64_t> d = whole_number(value, 1, max_split_depth);
            if (!d)
                return fail(bad_command("--split-depth " + quoted(value) +
                                        " není celé číslo od 1 do 1000000"));
            r.split_depth = static_cast<int32_t>(*d);
            have_run_option = true;
        } else {
            const std::optional<double> s = seconds(value, false);
            if (!s)
                return fail(bad_command(std::string(word) + " " + quoted(value) +
                                        " není počet sekund větší než 0"));
            (word == "--time-limit" ? r.time_limit : r.progress_every) = *s;
            have_run_option = true;
        }
    }
    if (!have_edge && !have_box) return fail(bad_command("chybí N nebo --box AxBxC"));
    if (!r.taken.empty() && !have_box) return fail(bad_command("volba --taken patří k --box"));
    if (have_shard) {
        if (r.out.empty()) return fail(bad_command("volba --shard potřebuje --out SOUBOR"));
        r.mode = Mode::shard;
    } else if (!r.out.empty() || have_run_option) {
        return fail(bad_command("volby --out, --split-depth, --time-limit a --progress patří"
                                " k --shard"));
    }
    return read;
}
