// orv-editor: an interactive editor for a network of questions, on standard input and output.
#include "failure.hpp"
#include "questions.hpp"
#include "usage.hpp"

#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    if (const char* answer = help_or_version(argc, argv)) {
        std::fputs(answer, stdout);
        const std::optional<Failure> unwritten = output_failure();
        return unwritten ? report(*unwritten) : 0;
    }
    const std::optional<Failure> unread = run_editor({stdin, stdout});
    const std::optional<Failure> unwritten = output_failure();
    int status = editor_exit_status;
    if (unread) status = report(*unread);
    if (unwritten) status = report(*unwritten);
    return status;
}
