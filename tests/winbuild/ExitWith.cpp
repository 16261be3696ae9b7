// Prints its argument and exits with it: tests/winbuild/check-wine-run uses it to see that
// scripts/wine-run passes a Windows program's output and exit status through.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int status = argc > 1 ? std::atoi(argv[1]) : 0;
    std::printf("exit %d\n", status);
    std::fprintf(stderr, "stderr %d\n", status);
    return status;
}
