// The fuzz targets of the drawing filters: checks of the pictures they write.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

// Stops the run, so that libFuzzer keeps the input, when a property does not hold.
inline void require(bool holds) {
    if (!holds) std::abort();
}

// How often `part` stands in `text`, overlapping or not.
inline std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Whether the elements of `xml` nest: every start tag is closed by an end tag of its name or
// closes itself, every attribute value is quoted, and nothing is left open at the end. The
// declaration (<?...?>) is skipped.
inline bool nested(const std::string& xml) {
    std::vector<std::string> open;
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        const std::size_t end = xml.find('>', at);
        if (end == std::string::npos) return false;
        const std::string tag = xml.substr(at + 1, end - at - 1);
        at = end + 1;
        if (tag.empty() || occurrences(tag, "\"") % 2 != 0) return false;
        if (tag.front() == '?') continue;
        const bool closing = tag.front() == '/', closed = tag.back() == '/';
        const std::size_t name_start = closing ? 1 : 0;
        const std::string name =
            tag.substr(name_start, tag.find_first_of(" /", name_start) - name_start);
        if (name.empty()) return false;
        if (closing) {
            if (open.empty() || open.back() != name) return false;
            open.pop_back();
        } else if (!closed) {
            open.push_back(name);
        }
    }
    return open.empty();
}
