#include "tools/commands.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return dvrtool::run(args, stdout, stderr);
}
