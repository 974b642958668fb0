#include "BenchDisplay.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

void BenchDisplay::ensure(char **argv)
{
    const char *display = std::getenv("DISPLAY");
    if (display && *display)
        return;
    char xvfb[] = "xvfb-run";
    char automatic[] = "-a";
    char server[] = "-s";
    char screen[] = "-screen 0 1920x1080x24 -nolisten tcp";
    std::vector<char *> args = {xvfb, automatic, server, screen};
    for (char **arg = argv; *arg; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    execvp(xvfb, args.data());
    std::perror((std::string(argv[0]) + ": xvfb-run").c_str());
    std::exit(1);
}
