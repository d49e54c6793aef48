// The fuzz targets of command lines: the input split at NUL bytes into arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The words between NUL bytes; none for an empty input, an empty word between two NULs.
inline std::vector<std::string> split_words(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[k]);
        }
    }
    if (size > 0) words.push_back(word);
    return words;
}
