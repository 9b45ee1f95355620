// The baseline for what antorder costs as a process: it prints a report of the same length and
// shape with printf, waits for Enter the same way, and computes nothing.

#include <cstdio>
#include <initializer_list>

int main() {
    constexpr int iterations = 100;
    constexpr double score = 0.5;
    std::printf("initial APFD=%f \n", score);
    for (int it = 1; it <= iterations; ++it) {
        std::printf("\n Iteration=%d, APFD = %f", it, score);
    }
    std::printf("\n Final solution: \n:");
    for (const int test : {1, 2, 3, 4, 5, 1}) {
        std::printf("%d - ", test);
    }
    std::fflush(stdout);
    static_cast<void>(std::getchar());
    return 0;
}
