// tessaron-cli: the command line program. It never loads Qt; a map is drawn
// by tessaron-map, which it runs in its place.

#include "cli/clirun.h"

int main(int argc, char** argv)
{
    return tessaron::runCli(argc, argv);
}
