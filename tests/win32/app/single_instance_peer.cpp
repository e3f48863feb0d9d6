// A later start of the program as the guard sees it: claims the identifier
// given as the first argument; the rest of the command line is text whose
// length the test chooses. Exit codes: 0 Create answered FALSE (a later
// instance), 1 it answered TRUE (the first), 2 usage.
#include "gui/app/single_instance.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    CSingleInstance guard;
    return guard.Create(argv[1]) ? 1 : 0;
}
