// vevuvedu-svg: reading a decimal number.
#include "number.hpp"

std::optional<int64_t> number_at(std::string_view text, std::size_t& at, int64_t least,
                                 int64_t most) {
    const bool negative = least < 0 && at < text.size() && text[at] == '-';
    if (negative) ++at;
    const std::size_t first = at;
    // The largest magnitude the range allows on this side of 0; past it every digit is still
    // taken, but the number is out of range.
    const uint64_t bound = negative ? static_cast<uint64_t>(-least) : static_cast<uint64_t>(most);
    uint64_t magnitude = 0;
    bool within = true;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const uint64_t next = magnitude * 10 + static_cast<uint64_t>(text[at] - '0');
        if (!within || magnitude > bound / 10 || next > bound)
            within = false;
        else
            magnitude = next;
    }
    if (at == first || (at - first > 1 && text[first] == '0') || !within) return std::nullopt;
    const int64_t value =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (value < least || value > most) return std::nullopt;
    return value;
}
