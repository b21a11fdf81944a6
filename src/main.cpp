#include "app/Program.h"

int main(int argc, char** argv) {
    return zbpg::runProgram(argc, argv);
}
