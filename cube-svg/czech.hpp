// vevuvedu-svg: Czech counts. A count takes the noun in one of three forms: 1 úsek,
// 2 to 4 úseky, 0 and 5 and more úseků.
#pragma once

#include <string>

inline std::string counted(long long n, const char* one, const char* two_to_four,
                           const char* many) {
    const char* form = n == 1 ? one : (n >= 2 && n <= 4) ? two_to_four : many;
    return std::to_string(n) + " " + form;
}
