// Prints FileMd5 of each file named, as md5sum does, so the two can be timed side by side.
#include <cstdio>

#include "download/md5.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        std::printf("%s  %s\n", download::FileMd5(argv[i]).c_str(), argv[i]);
    return argc > 1 ? 0 : 2;
}
