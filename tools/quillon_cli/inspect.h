#ifndef QUILLON_CLI_INSPECT_H
#define QUILLON_CLI_INSPECT_H

// quillon-cli inspect FILE [--frames A:B]; returns the exit status.
int RunInspect(int argc, char** argv);

#endif
