// vevuvedu: reading and writing whole files, and listing a folder.
#include "files.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool read_file(const std::string& path, std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    errno = err;
    return !failed;
}

Read<std::vector<std::string>> files_ending_in(const std::string& folder, std::string_view ending) {
    Read<std::vector<std::string>> read;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        read.failure = failure_of(2, "složka „" + folder + "“ nejde otevřít", errno, "chyba čtení");
        return read;
    }
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.size() > ending.size() && name.substr(name.size() - ending.size()) == ending)
            read.value.push_back(folder + (folder.back() == '/' ? "" : "/") + std::string(name));
    }
    closedir(listing);
    std::sort(read.value.begin(), read.value.end());
    return read;
}

std::optional<Failure> write_atomically(const std::string& path, std::string_view text) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    std::string temporary = path + ".XXXXXX";
    auto failure = [&](const char* what) {
        return failure_of(1, std::string(what) + " „" + path + "“ selhal", errno, "chyba zápisu");
    };
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return failure("zápis souboru");
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            const std::optional<Failure> f = failure("zápis souboru");
            close(fd);
            unlink(temporary.c_str());
            return f;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (fchmod(fd, 0644) != 0 || fsync(fd) != 0) {
        const std::optional<Failure> f = failure("zápis souboru");
        close(fd);
        unlink(temporary.c_str());
        return f;
    }
    if (close(fd) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::optional<Failure> f = failure("zápis souboru");
        unlink(temporary.c_str());
        return f;
    }
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);  // the rename itself reaches the disk; a folder that cannot be synced is rare
        close(dir);
    }
    return std::nullopt;
}
