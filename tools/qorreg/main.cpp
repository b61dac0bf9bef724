// qorreg: inspect and change a QorCommonLib store file from the command line.
#include <exception>
#include <iostream>

#include "Verbs.h"

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        return qor::qorreg::Run(args, std::cin, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "qorreg: " << e.what() << '\n';
        return qor::qorreg::kExitFailure;
    }
}
