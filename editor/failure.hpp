// orv-editor: the one place that reports a failure to the user.
#pragma once

#include <cstdio>

// Writes "orv-editor: WHAT: REASON" to standard error and returns `status`, the exit status the
// program ends with.
inline int report_failure(const char* what, const char* reason, int status) {
    std::fprintf(stderr, "orv-editor: %s: %s\n", what, reason);
    return status;
}
