// tessarin-base: the command-line tool for base files and their text form.
#include <iostream>
#include <string>
#include <vector>

#include "tool.h"

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return textbase::run_tool(arguments, std::cout, std::cerr);
}
