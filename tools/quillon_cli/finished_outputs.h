// What a killed run leaves, for --skip-existing: an output is finished, or
// partial and to be converted again.
#ifndef QUILLON_CLI_FINISHED_OUTPUTS_H
#define QUILLON_CLI_FINISHED_OUTPUTS_H

enum OutputState {
    kOutputMissing = 0,   // nothing there
    kOutputFinished = 1,  // a run ended it
    kOutputPartial = 2,   // a run was killed while writing it
};

// An EEG wave data file: finished when its reference file is there and not
// empty (a run makes it empty at its start and writes it at its end).
OutputState EegOutputState(const char* dataPath);

// An EDF+ file: finished when its header is whole and the record count
// field matches the file's size (a run writes -1 until it ends).
OutputState EdfOutputState(const char* path);

// Removes a partial output (and an EEG output's reference file). True when
// nothing is left.
bool RemovePartialOutput(const char* path, bool eeg);

#endif
