// Stands in for swaybg: runs with whatever arguments it is given, which sway's other programs
// read from its command line, until it is ended, or for a minute at most.
#include <unistd.h>

int main() {
    ::sleep(60);
}
