// Leapgate's entry point.
#include "app/program.h"
#include "platform/commandline.h"

int main(int argc, char** argv) {
    return app::RunLeapgate(platform::CommandLineArguments(argc, argv));
}
