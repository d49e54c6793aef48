// orv-layout-svg: how a step reports that it failed.
#pragma once

#include <string>

// Why the program stops: the exit status and the message for standard error.
struct Failure {
    int status;
    std::string reason;
};
