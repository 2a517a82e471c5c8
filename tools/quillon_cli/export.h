#ifndef QUILLON_CLI_EXPORT_H
#define QUILLON_CLI_EXPORT_H

// quillon-cli export FILE... [-o OUT.edf] [--jobs N] [--skip-existing];
// returns the exit status.
int RunExport(int argc, char** argv);

#endif
