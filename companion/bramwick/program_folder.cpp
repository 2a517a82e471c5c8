// Ordinals 10 and 12: the program's folder, first with its trailing
// separator, then without it, so callers can append "\COND\..." directly.
#include <cstring>

#include "bramwick.h"
#include "platform.h"

extern "C" int32_t COMPANIONAPI BramwickProgramFolder(void*, char* folder) {
    if (folder == nullptr) return 0;
    folder[0] = '\0';
    // The stand-in serves one program, so the instance adds nothing: the
    // folder is the running program's.
    char found[BRAMWICK_FOLDER_SIZE];
    if (!PlatProgramFolder(found, sizeof found)) return 0;
    size_t length = std::strlen(found);
    if (length + 2 > BRAMWICK_FOLDER_SIZE) return 0;
    std::memcpy(folder, found, length);
    folder[length] = PlatPathSeparator();
    folder[length + 1] = '\0';
    return 1;
}

extern "C" int32_t COMPANIONAPI BramwickTrimFolder(char* folder) {
    if (folder == nullptr) return 0;
    size_t length = 0;
    while (length < BRAMWICK_FOLDER_SIZE && folder[length] != '\0') ++length;
    if (length == BRAMWICK_FOLDER_SIZE) return 0;  // not a folder text we made
    // A root ("C:\" or "/") becomes "C:" or "": appending "\COND" still
    // names the folder below it.
    while (length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/'))
        folder[--length] = '\0';
    return 1;
}
