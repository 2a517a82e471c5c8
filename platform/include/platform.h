// The small platform layer: files, profile strings, cp932 lead bytes and file
// system queries. Implemented once over Win32 and once over POSIX; nothing
// outside platform/ talks to the operating system directly for these.
#ifndef QUILLON_PLATFORM_H
#define QUILLON_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// ---- Files ---------------------------------------------------------------
// Open flags carry the multimedia-file-I/O values so callers can pass a
// caller's mode through unchanged. Sharing bits (0x0010..0x0040) are honoured
// on Windows and ignored on POSIX.
enum {
    PLAT_OPEN_READ = 0x0000,
    PLAT_OPEN_WRITE = 0x0001,
    PLAT_OPEN_READWRITE = 0x0002,
    PLAT_OPEN_ACCESS_MASK = 0x0003,
    PLAT_OPEN_CREATE = 0x1000,  // create or truncate
    // With PLAT_OPEN_CREATE: fail with PLAT_ERR_FILEEXISTS when the path
    // exists, atomically, so two runs can never write into one file. Outside
    // the multimedia flags' range.
    PLAT_OPEN_CREATE_NEW = 0x01000000,
};

// Open-error codes, numbered as the multimedia file functions number them.
enum {
    PLAT_ERR_NONE = 0,
    PLAT_ERR_FILENOTFOUND = 257,
    PLAT_ERR_OUTOFMEMORY = 258,
    PLAT_ERR_CANNOTOPEN = 259,
    PLAT_ERR_ACCESSDENIED = 268,
    PLAT_ERR_SHARINGVIOLATION = 269,
    PLAT_ERR_TOOMANYOPENFILES = 271,
    PLAT_ERR_INVALIDFILE = 272,
    PLAT_ERR_FILEEXISTS = 280,  // ours: create-new found the path taken
};

typedef struct PlatFileRecord* PlatFile;  // null = no file

// Returns null on failure and stores the open error in *error (may be null).
PlatFile PlatFileOpen(const char* path, uint32_t flags, uint32_t* error);
void PlatFileClose(PlatFile file);
// Reads/writes at most count bytes at the current position. Result: bytes
// moved, 0 at end of file, negative on failure.
int32_t PlatFileRead(PlatFile file, void* buffer, int32_t count);
int32_t PlatFileWrite(PlatFile file, const void* buffer, int32_t count);
// Reads at most count bytes at offset, leaving the position alone, so two
// threads may read one file at once. Result as PlatFileRead's, or
// PLAT_READ_AT_NONE where the platform has no such read.
int32_t PlatFileReadAt(PlatFile file, int64_t offset, void* buffer, int32_t count);
#define PLAT_READ_AT_NONE (-2)
// Always from the start of the file; result: the new position or -1.
int64_t PlatFileSeek(PlatFile file, int64_t offset);
// Size in bytes, or -1.
int64_t PlatFileSize(PlatFile file);
// Cuts or extends the file to size bytes (the position is left alone).
// Returns 1 on success.
int PlatFileSetSize(PlatFile file, int64_t size);
// A 32-bit value identifying the operating system's file object (for callers
// that only compare it with 0 or log it).
uint32_t PlatFileNativeHandle(PlatFile file);
// Whether path names the very file behind callerHandle (a value of
// KAVF32's GetKavfileHandle: the descriptor here, the HMMIO on Windows). A
// link at path is the link, never its target. 1 yes; 0 no or not known.
int PlatPathIsCallerFile(const char* path, uintptr_t callerHandle);
#ifdef _WIN32
// The multimedia file I/O handle (HMMIO) of the file: unbuffered, over the
// same file object, valid until PlatFileClose. A holder may mmioSeek,
// mmioRead and mmioWrite through it between calls of this layer.
uintptr_t PlatFileMultimediaHandle(PlatFile file);
#endif

// The operating system's reason for the calling thread's last failed call
// ("No space left on device"), for messages right after a failure, also one
// inside a library; "" when none is known. Returns the length written.
size_t PlatLastErrorText(char* out, size_t size);

// ---- File system -----------------------------------------------------------
enum {
    PLAT_ATTR_READONLY = 0x01,
    PLAT_ATTR_DIRECTORY = 0x10,
    PLAT_ATTR_NORMAL = 0x80,
    PLAT_ATTR_INVALID = 0xFFFFFFFFu,
};
uint32_t PlatFileAttributes(const char* path);  // PLAT_ATTR_INVALID if absent
int PlatFileExists(const char* path);           // 1 for a file or a folder
int PlatIsDirectory(const char* path);
int PlatCreateDirectory(const char* path);  // 1 when created or present
int PlatDeleteFile(const char* path);       // 1 when removed
// Finds the first entry of folder matching a pattern of the form "*.EXT"
// (extension compared case-insensitively). Writes its name (not the path)
// into name; returns 1 when found.
int PlatFindFirstWithExtension(const char* folder, const char* extension, char* name,
                               size_t nameSize);
// Calls visit(name, context) with the name of every entry of folder
// matching "*.EXT" as above, in the system's order, until visit returns 0.
// Returns 0 when the folder cannot be read, else 1.
int PlatForEachWithExtension(const char* folder, const char* extension,
                             int (*visit)(const char* name, void* context), void* context);
// The separator the platform's paths use.
char PlatPathSeparator(void);
// Folder of the running program, without a trailing separator.
int PlatProgramFolder(char* folder, size_t folderSize);

// ---- Processes ------------------------------------------------------------
// For a job runner that starts the running program itself once per job:
// one process per job keeps each job's run and its failure its own.
typedef struct PlatProcessRecord* PlatProcess;  // null = no process

// Starts the running program with the arguments args[0..count-1] (after
// the program's name), its standard output and error appended to the file
// logPath (created when missing). Null on failure.
PlatProcess PlatStartSelf(const char* const* args, int count, const char* logPath);
// 1 when the process has ended: its exit status in *status (128 + the
// signal for one killed by a signal) and the record freed; 0 while it runs;
// -1 on failure (the record freed, *status -1).
int PlatProcessEnded(PlatProcess process, int* status);
// Asks the process to end cleanly, as Ctrl+C does (SIGTERM on POSIX; a
// console Ctrl+C event on Windows, which every process of the console
// receives). Returns 1 when asked.
int PlatProcessInterrupt(PlatProcess process);

// Waits until one of the processes has ended (it is not collected) or
// milliseconds have passed; a signal the program catches (Ctrl+C) ends the
// wait early on POSIX.
void PlatWaitForAnyEnd(const PlatProcess* processes, int count, uint32_t milliseconds);
// Processors the program may run on (at least 1).
int PlatProcessorCount(void);
// Whether standard error is an interactive terminal that takes the cursor
// movements of ANSI escape sequences.
int PlatErrorIsTerminal(void);
// Creates a new empty file of a unique name in the system's temporary
// folder and writes its path into path. Returns 1 on success.
int PlatMakeTempFile(char* path, size_t size);

// ---- A helper thread ------------------------------------------------------
// One more thread that runs the jobs handed to it, one at a time, while the
// caller does its own share of the work.
typedef struct PlatWorkerRecord* PlatWorker;  // null = no worker

// Starts the thread; null when it cannot be started.
PlatWorker PlatWorkerStart(void);
// Hands job(argument) to the worker: it runs on the worker's thread. One
// handed while an earlier job runs runs after that one; hands that come
// before the worker gets to them run once, the last one's job.
void PlatWorkerHand(PlatWorker worker, void (*job)(void*), void* argument);
// Returns once the job handed last has returned.
void PlatWorkerWait(PlatWorker worker);
// Ends the thread (an idle worker) and frees the worker.
void PlatWorkerStop(PlatWorker worker);
// Lets another thread that is ready run on this processor.
void PlatYield(void);

// ---- Profile strings (INI files) --------------------------------------------
// Windows profile rules: section and key names case-insensitive (ASCII), the
// first match wins, the default for a missing file/section/key, values trimmed
// of surrounding blanks and of one pair of enclosing quotes.
int32_t PlatProfileInt(const char* section, const char* key, int32_t defaultValue,
                       const char* path);
// Copies at most size-1 bytes and a terminating zero; returns the bytes copied.
uint32_t PlatProfileString(const char* section, const char* key, const char* defaultValue,
                           char* out, uint32_t size, const char* path);
// Whether the file has the section (a missing file has none).
int PlatProfileHasSection(const char* section, const char* path);
// Replaces the value in place or appends the key (and the section); the file
// is created if missing and replaced atomically. Returns 1 on success.
int PlatWriteProfileString(const char* section, const char* key, const char* value,
                           const char* path);
// Holds one profile file in memory: until the matching release, reads and
// writes of that path use the copy read at the first hold, and the release
// writes the file once if anything changed. Holds of the same path nest; a
// hold of another path while one is held is refused (0) and its calls go to
// the file as without a hold. For the thread that loads and saves settings.
int PlatProfileHold(const char* path);
// Returns 0 when the final write of a changed file failed, else 1.
int PlatProfileRelease(const char* path);

// ---- Text ---------------------------------------------------------------
// Lead byte of a double-byte character of code page 932.
int PlatIsLeadByte932(uint8_t byte);
// Converts cp932 text (at most inSize bytes, ending early at a zero byte)
// to UTF-8. Writes at most outSize - 1 bytes and a terminating zero, never
// part of a character; bytes that are not valid cp932 become a replacement
// character. Returns the bytes written, terminator not counted.
size_t PlatCp932ToUtf8(const char* in, size_t inSize, char* out, size_t outSize);

#ifdef __cplusplus
}
#endif

#endif
