// Prints its argument and exits with it, or with "crash" dies of an access violation:
// tests/winbuild/check-wine-run uses it to see that scripts/wine-run passes a Windows program's
// output and exit status through, and that a crash ends the run instead of waiting for a debugger.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "crash") == 0) {
        std::fflush(stdout);
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    const int status = argc > 1 ? std::atoi(argv[1]) : 0;
    std::printf("exit %d\n", status);
    std::fprintf(stderr, "stderr %d\n", status);
    return status;
}
