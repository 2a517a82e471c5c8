/* KAVF32: the wave data file library.
 *
 * Every export is __stdcall on 32-bit Windows and bound by a fixed ordinal
 * (kavf32.def). Arguments documented as 16-bit values are passed as 32-bit
 * values of which only the low 16 bits count. Results are 32-bit; 16-bit
 * results are returned zero-extended. The header compiles as C11 and C++. */
#ifndef KAVF32_H
#define KAVF32_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define KAVFAPI __stdcall
#else
#define KAVFAPI
#endif

#ifdef __cplusplus
#define KAVF_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define KAVF_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* An open wave data file: an opaque 32-bit value, 0 = none. A closed or
 * forged value is refused with each operation's failure value. */
typedef uint32_t KAVFHANDLE;

/* A memory block of the caller: on Windows a global memory handle (movable
 * or fixed), elsewhere a plain pointer to the caller's memory. */
typedef void* KAVFMEMORY;

/* The dialog description block made by InitKavfileDialog. The caller frees
 * it: with GlobalFree on Windows, with free() elsewhere. */
typedef void* KAVFDIALOG;

/* ---- Format constants ---------------------------------------------------- */
#define KAVF_KIND_BLOCK 0x0010u /* image block */
#define KAVF_KIND_WORDS 0x0011u /* word array */
#define KAVF_KIND_LONGS 0x0012u /* long array */
#define KAVF_KIND_NAME 0x0020u  /* file-type name sub-item of the index */
#define KAVF_KIND_TEXT 0x0080u  /* text list */

#define KAVF_WAVE_EVENT 0x0202u      /* event word + samples (8 or 16 bits) */
#define KAVF_WAVE_PLAIN 0x0203u      /* samples only (8 or 16 bits) */
#define KAVF_WAVE_EVENT16 0x0204u    /* event word + 16-bit samples */
#define KAVF_WAVE_EXTRA_0205 0x0205u /* description with two extra values */
#define KAVF_WAVE_EXTRA_0206 0x0206u
#define KAVF_SPECTRUM 0x0207u
#define KAVF_TREND 0x0209u

#define KAVF_ID_REVISIONS 0x00B6u     /* revision history, group 1 */
#define KAVF_ID_UNIT_LIST_END 0x00A0u /* GetKavfUnitInfo stops after this id */
#define KAVF_REVISION_LONGS 66u
#define KAVF_REVISION_MAX_ENTRIES 32u
#define KAVF_MAX_GROUPS 64u
#define KAVF_MAX_TYPE_NAME 32u
#define KAVF_MIN_TEXT_WORDS 2u
#define KAVF_MAX_TEXT_WORDS 130u

/* Open flags (passed to the file layer unchanged). */
#define KAVF_OPEN_READ 0x0000u
#define KAVF_OPEN_WRITE 0x0001u
#define KAVF_OPEN_READWRITE 0x0002u
#define KAVF_OPEN_CREATE 0x1000u
/* With KAVF_OPEN_CREATE: create the file new, atomically; a name already
 * taken (also by a link) is refused with open error 280 and left as it is.
 * Outside the multimedia flags' range; it only ever refuses. */
#define KAVF_OPEN_CREATE_NEW 0x01000000u

/* CheckKavfile results besides the number of groups. */
#define KAVF_CHECK_NO_ACCESS 0xFFFFu
#define KAVF_CHECK_WRONG_MAGIC 0xFFFEu

/* GetKavfileType codes. */
#define KAVF_FILE_OTHER 0u
#define KAVF_FILE_SLEEP 1u
#define KAVF_FILE_HOLTER 2u
#define KAVF_FILE_EEG24 4u
#define KAVF_FILE_EEG32 5u
#define KAVF_FILE_EEGMONO 6u
#define KAVF_FILE_MERON_O21 20u
#define KAVF_FILE_MERON_S21 40u
#define KAVF_FILE_MERON_C21 60u
#define KAVF_FILE_MULTI_REPORT 100u

/* GetKavfInfo / SetKavfInfo selectors. */
#define KAVF_INFO_TYPE 1u
#define KAVF_INFO_INTERVAL 3u
#define KAVF_INFO_FRAMES 4u
#define KAVF_INFO_CHANNELS 5u
#define KAVF_INFO_BITS 6u
#define KAVF_INFO_FRAME_SIZE 7u
#define KAVF_INFO_POSITION 8u
#define KAVF_INFO_DATA_POSITION 10u

/* Byte order of values handed to the word and long writers and updaters. */
#define KAVF_MODE_FILE_ORDER 0u /* already big-endian: copied */
#define KAVF_MODE_NATIVE 1u     /* native little-endian: swapped */

/* Flags of ReadKavfFlowWave / WriteKavfFlowWave. */
#define KAVF_FLOW_CONVERT 1u

/* Block set: a caller-owned descriptor read by the block and clip
 * operations. Byte offsets of the fields the library uses; entry i of the
 * buffer table starts at KAVF_BLOCKSET_BUFFERS + 12 * i and begins with the
 * KAVFMEMORY of buffer i (4 bytes on 32-bit builds, 8 bytes on 64-bit
 * builds). Each buffer holds ring-frames frames of the wave's frame size. */
#define KAVF_BLOCKSET_WAVE_TYPE 4u /* u16 */
#define KAVF_BLOCKSET_MODE 8u      /* u16, set by the readers */
#define KAVF_BLOCKSET_STRIDE 12u   /* u16 */
#define KAVF_BLOCKSET_RING 32u     /* u32 */
#define KAVF_BLOCKSET_BUFFERS 48u
#define KAVF_BLOCKSET_ENTRY 12u

/* ---- Caller records (native byte order) ---------------------------------- */

/* One text element of a text list. */
typedef struct KavfTextElement {
    uint16_t words;  /* element length in words with its 4-byte header: 2..130 */
    uint16_t length; /* text bytes; stored as min(length, 2 * words - 4) */
    char text[256];
} KavfTextElement;

/* Flow wave description. */
typedef struct KavfWaveInfo {
    uint16_t type;
    uint16_t spare;
    uint32_t frames;
    uint32_t interval; /* microseconds */
    uint16_t bits;
    uint16_t channels;
    uint16_t extraA; /* header word 20 (written; read for 0x0205/0x0206) */
    uint16_t extraB; /* header word 22 (read for 0x0205/0x0206) */
    uint16_t extraC; /* header word 20 (read for 0x0202) */
    uint8_t reserved[16];
    uint16_t unused; /* never touched by the library */
} KavfWaveInfo;

/* Listing of the items of one group. */
typedef struct KavfUnitTable {
    uint32_t length[64]; /* words */
    uint16_t id[64];
    uint16_t kind[64];
    uint32_t count[64];
} KavfUnitTable;

typedef struct KavfSweepInfo {
    uint16_t type;
    uint16_t spare;
    uint32_t points;  /* P */
    uint32_t value12; /* header offset 12 */
    uint16_t bits;    /* 16 or 32 */
    uint16_t value18;
    uint16_t value20;
    uint16_t value22;
    uint16_t raw; /* 0: big-endian samples; otherwise native, unchanged */
    uint16_t unused;
} KavfSweepInfo;

typedef struct KavfSpectrumInfo {
    uint16_t type; /* KAVF_SPECTRUM */
    uint16_t spare;
    uint32_t points; /* P values per record */
    uint32_t value12;
    uint16_t value16;
    uint16_t records; /* R records (channels) per line */
    uint32_t value20;
    uint32_t lines; /* filled by the reader */
    uint16_t raw;
    uint16_t value30;
} KavfSpectrumInfo;

/* Header of one spectrum record (one channel of a line). */
typedef struct KavfSpectrumRecordHeader {
    uint16_t values[16];
} KavfSpectrumRecordHeader;

/* One spectrum line. In memory it is followed directly by R
 * KavfSpectrumRecordHeader entries: allocate KAVF_SPECTRUM_LINE_BYTES(R). */
typedef struct KavfSpectrumLine {
    uint16_t words[8];
    uint32_t value;
    uint8_t ignored[12];
    uint16_t words32[32];
    uint32_t longs[32];
} KavfSpectrumLine;
#define KAVF_SPECTRUM_LINE_BYTES(records) \
    (sizeof(KavfSpectrumLine) + (size_t)(records) * sizeof(KavfSpectrumRecordHeader))

typedef struct KavfTrendInfo {
    uint16_t type;   /* KAVF_TREND */
    uint16_t f;      /* writer's value: words per data record */
    uint16_t raw;    /* 0: big-endian data records; 1: unchanged */
    uint16_t blocks; /* B data blocks per line */
    uint32_t points; /* P channels per line */
    uint32_t q;      /* words per channel record: 96 hold a KavfTrendChannel,
                      * fewer keep its first 2q bytes, more are zero-padded */
} KavfTrendInfo;

typedef struct KavfTrendLineHeader {
    uint16_t words[8];
    uint32_t longs[12];
} KavfTrendLineHeader;

typedef struct KavfTrendChannel {
    uint16_t words[32];
    uint32_t longs[32];
} KavfTrendChannel;

typedef struct KavfTrendRecord {
    uint16_t a;
    uint16_t b;
    uint32_t c;
    uint32_t d;
    uint32_t e;
    uint16_t f;
    uint16_t g;
} KavfTrendRecord;

KAVF_STATIC_ASSERT(sizeof(KavfTextElement) == 260, "KavfTextElement is 260 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfTextElement, length) == 2, "KavfTextElement.length");
KAVF_STATIC_ASSERT(offsetof(KavfTextElement, text) == 4, "KavfTextElement.text");
KAVF_STATIC_ASSERT(sizeof(KavfWaveInfo) == 40, "KavfWaveInfo is 40 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, frames) == 4, "KavfWaveInfo.frames");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, interval) == 8, "KavfWaveInfo.interval");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, bits) == 12, "KavfWaveInfo.bits");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, channels) == 14, "KavfWaveInfo.channels");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, extraA) == 16, "KavfWaveInfo.extraA");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, extraB) == 18, "KavfWaveInfo.extraB");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, extraC) == 20, "KavfWaveInfo.extraC");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, reserved) == 22, "KavfWaveInfo.reserved");
KAVF_STATIC_ASSERT(offsetof(KavfWaveInfo, unused) == 38, "KavfWaveInfo.unused");
KAVF_STATIC_ASSERT(sizeof(KavfUnitTable) == 768, "KavfUnitTable is 768 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfUnitTable, id) == 256, "KavfUnitTable.id");
KAVF_STATIC_ASSERT(offsetof(KavfUnitTable, kind) == 384, "KavfUnitTable.kind");
KAVF_STATIC_ASSERT(offsetof(KavfUnitTable, count) == 512, "KavfUnitTable.count");
KAVF_STATIC_ASSERT(sizeof(KavfSweepInfo) == 24, "KavfSweepInfo is 24 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, points) == 4, "KavfSweepInfo.points");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, value12) == 8, "KavfSweepInfo.value12");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, bits) == 12, "KavfSweepInfo.bits");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, value18) == 14, "KavfSweepInfo.value18");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, value20) == 16, "KavfSweepInfo.value20");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, value22) == 18, "KavfSweepInfo.value22");
KAVF_STATIC_ASSERT(offsetof(KavfSweepInfo, raw) == 20, "KavfSweepInfo.raw");
KAVF_STATIC_ASSERT(sizeof(KavfSpectrumInfo) == 28, "KavfSpectrumInfo is 28 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, points) == 4, "KavfSpectrumInfo.points");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, value12) == 8, "KavfSpectrumInfo.value12");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, value16) == 12, "KavfSpectrumInfo.value16");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, records) == 14, "KavfSpectrumInfo.records");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, value20) == 16, "KavfSpectrumInfo.value20");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, lines) == 20, "KavfSpectrumInfo.lines");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, raw) == 24, "KavfSpectrumInfo.raw");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumInfo, value30) == 26, "KavfSpectrumInfo.value30");
KAVF_STATIC_ASSERT(sizeof(KavfSpectrumRecordHeader) == 32, "KavfSpectrumRecordHeader is 32 bytes");
KAVF_STATIC_ASSERT(sizeof(KavfSpectrumLine) == 224, "KavfSpectrumLine is 224 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumLine, value) == 16, "KavfSpectrumLine.value");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumLine, ignored) == 20, "KavfSpectrumLine.ignored");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumLine, words32) == 32, "KavfSpectrumLine.words32");
KAVF_STATIC_ASSERT(offsetof(KavfSpectrumLine, longs) == 96, "KavfSpectrumLine.longs");
KAVF_STATIC_ASSERT(sizeof(KavfTrendInfo) == 16, "KavfTrendInfo is 16 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfTrendInfo, f) == 2, "KavfTrendInfo.f");
KAVF_STATIC_ASSERT(offsetof(KavfTrendInfo, raw) == 4, "KavfTrendInfo.raw");
KAVF_STATIC_ASSERT(offsetof(KavfTrendInfo, blocks) == 6, "KavfTrendInfo.blocks");
KAVF_STATIC_ASSERT(offsetof(KavfTrendInfo, points) == 8, "KavfTrendInfo.points");
KAVF_STATIC_ASSERT(offsetof(KavfTrendInfo, q) == 12, "KavfTrendInfo.q");
KAVF_STATIC_ASSERT(sizeof(KavfTrendLineHeader) == 64, "KavfTrendLineHeader is 64 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfTrendLineHeader, longs) == 16, "KavfTrendLineHeader.longs");
KAVF_STATIC_ASSERT(sizeof(KavfTrendChannel) == 192, "KavfTrendChannel is 192 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfTrendChannel, longs) == 64, "KavfTrendChannel.longs");
KAVF_STATIC_ASSERT(sizeof(KavfTrendRecord) == 20, "KavfTrendRecord is 20 bytes");
KAVF_STATIC_ASSERT(offsetof(KavfTrendRecord, c) == 4, "KavfTrendRecord.c");
KAVF_STATIC_ASSERT(offsetof(KavfTrendRecord, d) == 8, "KavfTrendRecord.d");
KAVF_STATIC_ASSERT(offsetof(KavfTrendRecord, e) == 12, "KavfTrendRecord.e");
KAVF_STATIC_ASSERT(offsetof(KavfTrendRecord, f) == 16, "KavfTrendRecord.f");
KAVF_STATIC_ASSERT(offsetof(KavfTrendRecord, g) == 18, "KavfTrendRecord.g");

/* ---- File handles and file-level operations ------------------------------ */
/* Calling order: OpenKavfile; then either the writers, starting with
 * CreateKavfIndexInfo, or CheckKavfile followed by the readers and updaters;
 * finally CloseKavfile. Every operation given a 0, closed or forged handle
 * returns its failure value and changes nothing. */

/* The open error (257..272, numbered as the multimedia file functions number
 * them, or 280 for a name KAVF_OPEN_CREATE_NEW found taken) of the latest
 * failed OpenKavfile; 0 if none failed. A successful
 * open leaves it as it is. */
uint32_t KAVFAPI OpenKavErrorCode(void);
/* mode: the multimedia open flags (KAVF_OPEN_*, sharing bits), passed on
 * unchanged. bufferSize: work buffer, raised to 1024 and capped at 16 MiB.
 * The new handle, or 0 (reason from OpenKavErrorCode). */
KAVFHANDLE KAVFAPI OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize);
/* 0 once closed (also for 0); an inaccessible handle is returned unchanged. */
KAVFHANDLE KAVFAPI CloseKavfile(KAVFHANDLE handle);
/* The multimedia file I/O handle (HMMIO, pointer-sized) of the open file,
 * unbuffered: a caller may mmioSeek, mmioRead and mmioWrite through it
 * between calls of the library, which seeks before every transfer of its
 * own. Valid until CloseKavfile or UpdateKavfDirectory (which reopens the
 * file under a new one); 0 for an inaccessible handle or one left without a
 * file. Other platforms give the file descriptor. */
uintptr_t KAVFAPI GetKavfileHandle(KAVFHANDLE handle);
/* Reads the index and the group table. The number of groups found (the
 * readers address no others), KAVF_CHECK_NO_ACCESS, or KAVF_CHECK_WRONG_MAGIC
 * (group table and name left empty). typeName, if not null, receives the
 * file-type name, at most 32 characters: 33 bytes always suffice. */
uint32_t KAVFAPI CheckKavfile(KAVFHANDLE handle, const char* magic, char* typeName);
/* KAVF_FILE_* of the name read by CheckKavfile; KAVF_FILE_OTHER (0) for any
 * other name and for an inaccessible handle. */
uint32_t KAVFAPI GetKavfileType(KAVFHANDLE handle);
/* Closes and reopens the file read-write so its size reaches the directory.
 * 1, or 0 when the reopen failed: the handle then has no file and every
 * transfer fails until CloseKavfile. */
uint32_t KAVFAPI UpdateKavfDirectory(KAVFHANDLE handle);
/* File offset of item id in group (1..group count), or 0. */
uint32_t KAVFAPI FindKavfIndexPtr(KAVFHANDLE handle, uint32_t group, uint32_t id);
/* The element count stored in item id of group, or 0 when not found. */
uint32_t KAVFAPI GetKavfDataNumber(KAVFHANDLE handle, uint32_t group, uint32_t id);
/* The handle field a KAVF_INFO_* selector names (taken modulo 65536); 0 for
 * any other selector. */
uint32_t KAVFAPI GetKavfInfo(KAVFHANDLE handle, uint32_t selector);
/* 1 when the field was stored, 0 for any other selector. */
uint32_t KAVFAPI SetKavfInfo(KAVFHANDLE handle, uint32_t selector, uint32_t value);

/* ---- Header item writers: the new write offset, 0 on failure ------------- */
/* Order for one file: CreateKavfIndexInfo; per header group, in ascending
 * order from 1: CreateKavfGroupStart, its items, CreateKavfGroupEnd; for the
 * wave group (the last): CreateKavfGroupStart, CreateKavfWaveInfo, frames
 * (WriteKavfFlowWave), SetKavfWaveEnd (or UpdateKavfFlowWave to make the
 * group length exact too). Items are refused while no group is open; a
 * failure writes nothing the handle counts. */

/* Writes the index record at offset 0 (24 + name padded to 4 bytes; names
 * are cut at 32 characters) and starts writing anew: 36 for "EEG FILING32". */
uint32_t KAVFAPI CreateKavfIndexInfo(KAVFHANDLE handle, const char* magic, uint32_t groupCount,
                                     uint32_t subItemCount, const char* typeName);
/* Opens group 1..64 (it becomes the current group) at offset, 0 = the write
 * offset; the write offset advances by 4 in either case. */
uint32_t KAVFAPI CreateKavfGroupStart(KAVFHANDLE handle, uint32_t group, uint32_t offset);
/* Ends the open group (only that one): terminator and final length. On a
 * failed write 0, and the group stays open. */
uint32_t KAVFAPI CreateKavfGroupEnd(KAVFHANDLE handle, uint32_t group);
/* count elements of 2..130 words each (otherwise refused). */
uint32_t KAVFAPI CreateKavfTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                    const KavfTextElement* elements);
/* mode KAVF_MODE_*; any other mode or null values: the body stays zero.
 * count: low 16 bits. */
uint32_t KAVFAPI CreateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id, uint32_t count,
                                    const uint16_t* values);
/* As CreateKavfWordInfo, 32-bit values, count: low 16 bits. */
uint32_t KAVFAPI CreateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id, uint32_t count,
                                    const uint32_t* values);
/* As CreateKavfLongInfo with a 32-bit count. */
uint32_t KAVFAPI CreateKavfLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id, uint32_t count,
                                      const uint32_t* values);
/* byteCount bytes of data (null: zeros); the second argument is ignored. */
uint32_t KAVFAPI CreateKavfImageInfo(KAVFHANDLE handle, uint32_t ignored, uint32_t id,
                                     uint32_t byteCount, const void* data);
/* Makes the wave current and returns the offset of frame 0, 0 on failure.
 * Types other than 0x0202..0x0204 get no frame layout (frame operations
 * then return -2); 0x0204 is always 16-bit. */
uint32_t KAVFAPI CreateKavfWaveInfo(KAVFHANDLE handle, uint32_t id, const KavfWaveInfo* info);
/* Writes length 16 + F x N, type, id and N into the current wave's header.
 * Returns item offset + 2 x (16 + F x N), 0xFFFFFFFF when that passes 32
 * bits (the header is still written), 0 on failure. */
uint32_t KAVFAPI SetKavfWaveEnd(KAVFHANDLE handle);

/* ---- Flow wave data: negative results are failures ----------------------- */
/* All work on the wave made current by CreateKavfWaveInfo or
 * ReadKavfWaveInfo; without one they return -1. flags: KAVF_FLOW_CONVERT
 * converts between native order and the file's big-endian order. */

/* Frames start.. (negative start = 0). start + count, which also becomes the
 * frame count and position; -1 no frames or failed write; -2 the current
 * wave has no frame layout. */
int32_t KAVFAPI WriteKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start, int32_t count,
                                  const void* frames);
/* count x F bytes into frames; frames past the recorded count read as zero.
 * start + count; 0 when start is at or past the count; -1 no buffer or no
 * seek; -2 no frame layout; -3 nothing could be read. */
int32_t KAVFAPI ReadKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start, int32_t count,
                                 void* frames);
/* Into ring slot *ringSlot of buffer buffer of the block set, converted to
 * native order; *position -1 = the handle's position, negative = pre-roll
 * copies of frame 0. count (0 = ring frames) must fit the ring. Frames
 * delivered; -1 handle, block set, buffer or type mismatch; -2 read failed;
 * -3 position at or past the count; -4 frame 0 unreadable for pre-roll. */
int32_t KAVFAPI ReadKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                      int32_t* position, int32_t* ringSlot, int32_t count);
/* File-order frames from slot firstSlot at the handle's position. The new
 * position; -1 handle, block set or buffer; -2 seek or write failed. */
int32_t KAVFAPI WriteKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                       int32_t firstSlot, int32_t count);
/* Unconverted frames from start (negative = the handle's position). The new
 * position; -1 handle or buffer; -2 nothing read; -3 seek failed; -4 start
 * at or past the count; -6 block set. */
int32_t KAVFAPI ReadKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                     int32_t start, int32_t* ringSlot, int32_t count);
/* The new position; -1 handle; -2 write failed; -3 seek failed; -4 buffer;
 * -5 block set. */
int32_t KAVFAPI WriteKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                      int32_t start, int32_t firstSlot, int32_t count);
/* 0; -1 handle or no wave; -2 wave without event word; -3 seek; -4 write. */
int32_t KAVFAPI ChangeKavfFlowEvent(KAVFHANDLE handle, uint32_t event, uint32_t frame);
/* Writes group length, item length and frame count for N = the position.
 * N; -1 on failure, without a current wave, or when the wave does not open
 * its group (the bytes before it belong to another item). */
int32_t KAVFAPI UpdateKavfFlowWave(KAVFHANDLE handle);
/* As UpdateKavfFlowWave after setting the position to 0: 0 or -1. */
int32_t KAVFAPI ClearKavfFlowWave(KAVFHANDLE handle);

/* ---- Item readers: 0 when not found -------------------------------------- */
/* group: 1..the group count CheckKavfile found (or the groups written
 * through this handle); anything else gives 0 without reading. */

/* Fills up to maxCount elements (0 = the stored count); at most budget - 2
 * characters in all, each text zero-terminated. Elements filled. */
uint32_t KAVFAPI GetKavfTextInfo(KAVFHANDLE handle, KavfTextElement* elements, uint32_t group,
                                 uint32_t id, uint32_t maxCount, uint32_t budget);
/* The texts as one string, each followed by |. budget is the capacity of
 * text, separators and zero included: never more is written (budget 0
 * counts as 1), and the output is always a string, also when nothing is
 * found. Texts copied. */
uint32_t KAVFAPI ReadKavfTextData(KAVFHANDLE handle, char* text, uint32_t group, uint32_t id,
                                  uint32_t maxCount, uint32_t budget);
/* max words (0 or more than the item holds: all of its body, pad word
 * included), in native order. Words delivered. */
uint32_t KAVFAPI ReadKavfWordData(KAVFHANDLE handle, uint16_t* values, uint32_t group, uint32_t id,
                                  uint32_t max);
/* At most max longs (low 16 bits; 0 = no limit) and never more than the
 * stored count or the item's body. Longs delivered. */
uint32_t KAVFAPI ReadKavfLongData(KAVFHANDLE handle, uint32_t* values, uint32_t group, uint32_t id,
                                  uint32_t max);
/* As ReadKavfLongData with a 32-bit max. */
uint32_t KAVFAPI ReadKavfLongDataEx(KAVFHANDLE handle, uint32_t* values, uint32_t group,
                                    uint32_t id, uint32_t max);
/* min(maxBytes, the block's reserved bytes) bytes; that number, also when
 * the file held fewer (the rest reads as zero). */
uint32_t KAVFAPI ReadKavfImageData(KAVFHANDLE handle, void* data, uint32_t group, uint32_t id,
                                   uint32_t maxBytes);
/* Fills info and, for 0x0202..0x0204, makes the wave current for the frame
 * operations. The wave type, 0 if not found. Other types make no wave
 * current. */
uint32_t KAVFAPI ReadKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                  KavfWaveInfo* info);
/* One frame: event word (0 without one) and C samples widened to 16 bits.
 * C, or 0 when not found or nothing could be read. */
uint32_t KAVFAPI ReadKavfWaveData(KAVFHANDLE handle, uint32_t group, uint32_t id, uint32_t frame,
                                  uint16_t* event, int16_t* samples);
/* Lists the group's items (maxCount clipped to 64), stopping after id
 * 0x00A0, whose count is left alone. Entries filled. */
uint32_t KAVFAPI GetKavfUnitInfo(KAVFHANDLE handle, uint32_t group, KavfUnitTable* table,
                                 uint32_t maxCount);

/* ---- Item updaters: 0 on failure ----------------------------------------- */
/* In place, after CheckKavfile on a handle opened for writing; no item
 * changes its length and every write stays inside the item it updates. */

/* Appends a revision entry (high << 16 | low, the time) to item 0x00B6 of
 * group 1 (a long array of at least 138 words). The new entry count
 * (1..32), 0 when full or on failure. */
uint32_t KAVFAPI UpdateKavfIndex(KAVFHANDLE handle, uint32_t high, uint32_t low);
/* Text of element (from 0) of a text list, cut to the element's room; the
 * rest of the room is cleared. 1 or 0. */
uint32_t KAVFAPI UpdateKavfTextInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                    uint32_t element, uint32_t length, const char* text);
/* count words from first, inside the stored count; mode KAVF_MODE_* only,
 * values not null. count, or 0. */
uint32_t KAVFAPI UpdateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group, uint32_t id,
                                    uint32_t first, uint32_t count, const uint16_t* values);
/* As UpdateKavfWordInfo for a long array. */
uint32_t KAVFAPI UpdateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group, uint32_t id,
                                    uint32_t first, uint32_t count, const uint32_t* values);
/* length + 1 bytes of data at offset, clipped to the block. Bytes written. */
uint32_t KAVFAPI UpdateKavfImageInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                     uint32_t offset, uint32_t length, const void* data);
/* Rewrites group length and the whole wave header from info (types
 * 0x0202..0x0204 only; the wave must open its group). 1 or 0. */
uint32_t KAVFAPI UpdateKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                    const KavfWaveInfo* info);

/* ---- Memory files ---------------------------------------------------------- */
/* Order: CreateKavfIndexInfo (to the file), CreateKavfMemFile, memory group
 * starts, items and ends, WriteKavfMemFile, then the wave group through the
 * file writers, DeleteKavfMemFile, CloseKavfile. Memory offsets are file
 * offsets; a record that would not fit is refused and changes nothing. */

/* Attaches a zero-filled buffer of (size + 3) & ~3 bytes (at most 64 MiB),
 * freeing a previous one. Its size, or 0. */
uint32_t KAVFAPI CreateKavfMemFile(KAVFHANDLE handle, uint32_t size);
/* Frees the memory file, if any: 1 (0 for an inaccessible handle). */
uint32_t KAVFAPI DeleteKavfMemFile(KAVFHANDLE handle);
/* The memory twins write the same bytes as the file writers, into the
 * buffer: the new write offset, 0 on failure or without a memory file. */
/* As CreateKavfGroupStart. */
uint32_t KAVFAPI CreateKavfMemGroupStart(KAVFHANDLE handle, uint32_t group, uint32_t offset);
/* As CreateKavfGroupEnd; the group count becomes group. */
uint32_t KAVFAPI CreateKavfMemGroupEnd(KAVFHANDLE handle, uint32_t group);
/* As CreateKavfTextInfo. */
uint32_t KAVFAPI CreateKavfMemTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                       const KavfTextElement* elements);
/* As CreateKavfWordInfo. */
uint32_t KAVFAPI CreateKavfMemWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                       uint32_t count, const uint16_t* values);
/* As CreateKavfLongInfo. */
uint32_t KAVFAPI CreateKavfMemLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                       uint32_t count, const uint32_t* values);
/* As CreateKavfLongInfoEx. */
uint32_t KAVFAPI CreateKavfMemLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                         uint32_t count, const uint32_t* values);
/* As CreateKavfImageInfo. */
uint32_t KAVFAPI CreateKavfMemImageInfo(KAVFHANDLE handle, uint32_t ignored, uint32_t id,
                                        uint32_t byteCount, const void* data);
/* Writes groups firstGroup..lastGroup (firstGroup >= 1, lastGroup clipped
 * to 64) from the buffer to the file at their offsets. Offset past them; 0
 * when nothing could be written; negative when the file write failed. */
int32_t KAVFAPI WriteKavfMemFile(KAVFHANDLE handle, uint32_t firstGroup, uint32_t lastGroup);

/* ---- Sweep, spectrum and trend items --------------------------------------- */
/* Writing, inside an open group: description, records, end operation, then
 * the group end; records are refused once anything else was written after
 * the item. Reading: CheckKavfile, the info reader, then line and data
 * readers. Writers return the new write offset unless stated; 0 on
 * failure. */

/* Sweeps lie back to back after the header; P and the sample width (16 or
 * 32 bits) come from info. */
uint32_t KAVFAPI CreateKavfSweepWaveInfo(KAVFHANDLE handle, uint32_t id, const KavfSweepInfo* info);
/* header: 16 values; samples: P values of 16 or 32 bits. Refused after
 * 65,535 sweeps. */
uint32_t KAVFAPI CreateKavfSweepWave(KAVFHANDLE handle, const uint16_t* header,
                                     const void* samples);
/* Stores the item length (header and every sweep), P and the sweep counts.
 * The offset just past the item: record offset + 2 x item length. */
uint32_t KAVFAPI SetKavfSweepWaveEnd(KAVFHANDLE handle);
/* The sweep at the data position (SetKavfInfo selector 10; the next sweep
 * starts 2 x GetKavfInfo(selector 8) bytes further): bytes read, or 0. */
uint32_t KAVFAPI ReadKavfSweepWave(KAVFHANDLE handle, uint16_t* header, void* samples);

/* Writes the header (line count 0) and makes the spectrum current: the
 * write offset after the header, or 0. */
uint32_t KAVFAPI CreateKavfSpectrumInfo(KAVFHANDLE handle, uint32_t id,
                                        const KavfSpectrumInfo* info);
/* line: KAVF_SPECTRUM_LINE_BYTES(R) bytes. Lines written so far, or 0. */
uint32_t KAVFAPI CreateKavfSpectrumLine(KAVFHANDLE handle, const KavfSpectrumLine* line);
/* The next record of the current line (at most R per line; values beyond
 * count up to P are zero). */
uint32_t KAVFAPI CreateKavfSpectrumData(KAVFHANDLE handle, const KavfSpectrumLine* line,
                                        const uint32_t* values, uint32_t count);
/* Stores item length and line count: record offset + 2 x item length. */
uint32_t KAVFAPI SetKavfSpectrumEnd(KAVFHANDLE handle);
/* Fills info (with the line count) and makes the spectrum current: 1 or 0. */
uint32_t KAVFAPI ReadKavfSpectrumInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                      KavfSpectrumInfo* info);
/* Line header and the R record headers of line lineIndex: 1 or 0. */
uint32_t KAVFAPI ReadKavfSpectrumLine(KAVFHANDLE handle, uint32_t lineIndex,
                                      KavfSpectrumLine* line);
/* The P values of record record of line lineIndex (the line asked for). P,
 * the read's result when nothing was read, 0 when out of range. */
int32_t KAVFAPI ReadKavfSpectrumData(KAVFHANDLE handle, uint32_t lineIndex, uint32_t record,
                                     uint32_t* values);

/* Writes the header and makes the trend current: the write offset after
 * the header, or 0 (also when one line would pass 32 bits). */
uint32_t KAVFAPI CreateKavfTrendInfo(KAVFHANDLE handle, uint32_t id, const KavfTrendInfo* info);
/* Line header and P channel records (of q words each): 1 or 0. */
uint32_t KAVFAPI CreateKavfTrendLine(KAVFHANDLE handle, const KavfTrendLineHeader* header,
                                     const KavfTrendChannel* channels);
/* One data block of P records (beyond count zero) after a line, at most B
 * per line. */
uint32_t KAVFAPI CreateKavfTrendData(KAVFHANDLE handle, const KavfTrendRecord* records,
                                     uint32_t count);
/* Zero after the last block, item length and P: record offset + 2 x item
 * length. */
uint32_t KAVFAPI SetKavfTrendEnd(KAVFHANDLE handle);
/* Fills info and makes the trend current: 1 or 0. */
uint32_t KAVFAPI ReadKavfTrendInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                   KavfTrendInfo* info);
/* Line header and P channel records (KavfTrendChannel each) of line
 * lineIndex: 1 or 0. */
uint32_t KAVFAPI ReadKavfTrendLine(KAVFHANDLE handle, uint32_t lineIndex,
                                   KavfTrendLineHeader* header, KavfTrendChannel* channels);
/* P records of data block block (below B) of the line read last. P, the
 * read's result when nothing was read, 0 when out of range. */
int32_t KAVFAPI ReadKavfTrendData(KAVFHANDLE handle, uint32_t block, KavfTrendRecord* records);

/* ---- File dialogs and disk queries ----------------------------------------- */
/* A dialog block (freed by the caller, see KAVFDIALOG), or 0 without memory.
 * filter: "Description|pattern|...|", changed in place (| becomes 0) and
 * kept by pointer, like the directory, title and file buffers. */
KAVFDIALOG KAVFAPI InitKavfileDialog(char* filter);
/* 1, or 0 when the block cannot be accessed. */
uint32_t KAVFAPI SetKavfileDirectory(KAVFDIALOG dialog, const char* directory);
/* 1, or 0 when the block cannot be accessed. */
uint32_t KAVFAPI SetKavfileTitle(KAVFDIALOG dialog, const char* title);
/* file: 260 characters (its content is the initial name); fileTitle: 512.
 * Non-zero when the user chose a file; 0 when cancelled or failed. */
uint32_t KAVFAPI GetOpenKavfilename(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                                    const char* defaultExtension);
/* As GetOpenKavfilename, with the save dialog (asks before overwriting). */
uint32_t KAVFAPI GetSaveKavfilename(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                                    const char* defaultExtension);
/* drive: a letter, either case. Free space in kilobytes, 0 for a non-letter,
 * an invalid drive or an unexpected sector size; the out-values (null = not
 * wanted) are stored after a valid answer, capped at 0xFFFF. */
uint32_t KAVFAPI GetKavDiskEmpty(uint32_t drive, uint16_t* freeClusters,
                                 uint16_t* sectorsPerCluster, uint16_t* bytesPerSector);

#ifdef __cplusplus
}
#endif

#endif
