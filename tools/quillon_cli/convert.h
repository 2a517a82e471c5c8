#ifndef QUILLON_CLI_CONVERT_H
#define QUILLON_CLI_CONVERT_H

// quillon-cli convert SOURCE ...; returns the exit status.
int RunConvert(int argc, char** argv);

#endif
