#ifndef QUILLON_CLI_PREVIEW_H
#define QUILLON_CLI_PREVIEW_H

// quillon-cli preview (SOURCE [layout options] | RECORDING) [--from S]
// [--seconds N] -o FILE.svg; returns the exit status.
int RunPreview(int argc, char** argv);

#endif
