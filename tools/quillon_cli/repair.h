// quillon-cli repair: finishes an output file a killed run left behind.
#ifndef QUILLON_CLI_REPAIR_H
#define QUILLON_CLI_REPAIR_H

int RunRepair(int argc, char** argv);

#endif
