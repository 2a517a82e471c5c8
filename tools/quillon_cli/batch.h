// quillon-cli convert with several sources: the same options for each,
// outputs into a folder or onto a volume, several conversions at a time.
#ifndef QUILLON_CLI_BATCH_H
#define QUILLON_CLI_BATCH_H

// Whether the arguments after "convert" ask for a batch: more than one
// source, or --output-dir, --jobs or --skip-existing.
bool IsBatchConvert(int argc, char** argv);

// Converts every source as a job of its own and prints a table of what
// each became. Returns the exit status: 0 every source converted or kept,
// 1 some failed, 2 usage error, 130 interrupted.
int RunBatchConvert(int argc, char** argv);

#endif
