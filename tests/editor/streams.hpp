// Test helpers: a string as an input stream, and the text a piece of code writes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A temporary file holding `text`, open for reading from its start.
inline std::FILE* input_of(const std::string& text) {
    std::FILE* in = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), in);
    std::rewind(in);
    return in;
}

// What `write(out)` writes.
template <typename Write>
std::string written_by(Write&& write) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    write(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}
