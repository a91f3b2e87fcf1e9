#include <cstdio>

#include "harness.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    harness::Config cfg;
    std::string error;
    if (!harness::ParseArgs(args, &cfg, &error)) {
        std::fprintf(stderr, "tevlegend-headless: %s\n%s", error.c_str(), harness::Usage().c_str());
        return 2;
    }
    return harness::Run(cfg);
}
