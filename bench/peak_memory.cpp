// Runs a program and writes its peak resident set size in KiB to a file:
// zentoro_peak_memory RESULT_FILE PROGRAM [ARGUMENT]...
// A child's peak includes whatever its parent had mapped when it forked,
// so a large benchmark process measures through this small one.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zentoro_peak_memory RESULT_FILE PROGRAM [ARGUMENT]...\n");
        return 2;
    }
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return 1;
    std::FILE* result = std::fopen(argv[1], "w");
    if (result == nullptr) return 1;
    std::fprintf(result, "%ld\n", usage.ru_maxrss);
    std::fclose(result);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
