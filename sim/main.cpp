// corvane-sim: a frequency response analyser on TCP (and a pseudo-terminal), for tests and the demo.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "io_loop.h"
#include "options.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    sim::Options options;
    std::string error;
    if (!sim::parseOptions(args, std::time(nullptr), options, error)) {
        std::fprintf(stderr, "corvane-sim: %s\n%s", error.c_str(), sim::usageText().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::usageText().c_str(), stdout);
        return 0;
    }
    return sim::runSimulator(options);
}
