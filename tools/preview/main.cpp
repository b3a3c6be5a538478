#include <iostream>

#include "tools/preview/preview.h"

int main(int argc, char** argv) { return zarn::preview::run(argc, argv, std::cout, std::cerr); }
