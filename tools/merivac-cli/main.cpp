// main.cpp - merivac-cli: see CliCommands.h for the commands.
#include <iostream>
#include <string>
#include <vector>

#include "CliCommands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return merivac::cli::RunCli(args, std::cout, std::cerr);
}
