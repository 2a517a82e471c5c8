// A shell command run in a scratch folder, its status and what it printed:
// how the tests drive quillon-cli and the scripts that read its files.
#ifndef QUILLON_TESTS_SHELL_RUNS_H
#define QUILLON_TESTS_SHELL_RUNS_H

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "scratch_files.h"

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs command in the scratch folder; the command's words are shell text.
inline CliRun RunIn(const ScratchFolder& scratch, const std::string& command) {
    const std::string out = scratch.File("stdout.txt");
    const std::string err = scratch.File("stderr.txt");
    const std::string line =
        "cd '" + scratch.Path() + "' && (" + command + ") >'" + out + "' 2>'" + err + "'";
    CliRun run;
    const int raw = std::system(line.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(out);
    run.err = ReadBytes(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

#endif
