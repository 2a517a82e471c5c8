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
#define KAVF_KIND_BLOCK 0x0010u  /* image block */
#define KAVF_KIND_WORDS 0x0011u  /* word array */
#define KAVF_KIND_LONGS 0x0012u  /* long array */
#define KAVF_KIND_NAME 0x0020u   /* file-type name sub-item of the index */
#define KAVF_KIND_TEXT 0x0080u   /* text list */

#define KAVF_WAVE_EVENT 0x0202u    /* event word + samples (8 or 16 bits) */
#define KAVF_WAVE_PLAIN 0x0203u    /* samples only (8 or 16 bits) */
#define KAVF_WAVE_EVENT16 0x0204u  /* event word + 16-bit samples */
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
#define KAVF_BLOCKSET_WAVE_TYPE 4u  /* u16 */
#define KAVF_BLOCKSET_MODE 8u       /* u16, set by the readers */
#define KAVF_BLOCKSET_STRIDE 12u    /* u16 */
#define KAVF_BLOCKSET_RING 32u      /* u32 */
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
uint32_t KAVFAPI OpenKavErrorCode(void);
KAVFHANDLE KAVFAPI OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize);
/* 0 once closed; an inaccessible handle is returned unchanged. */
KAVFHANDLE KAVFAPI CloseKavfile(KAVFHANDLE handle);
/* The multimedia file I/O handle (HMMIO, pointer-sized) of the open file,
 * unbuffered: a caller may mmioSeek, mmioRead and mmioWrite through it
 * between calls of the library, which seeks before every transfer of its
 * own. Valid until CloseKavfile or UpdateKavfDirectory (which reopens the
 * file under a new one); 0 for an inaccessible handle or one left without a
 * file. Other platforms give the file descriptor. */
uintptr_t KAVFAPI GetKavfileHandle(KAVFHANDLE handle);
/* Number of groups, KAVF_CHECK_NO_ACCESS or KAVF_CHECK_WRONG_MAGIC. typeName
 * receives the file-type name: 33 bytes always suffice. */
uint32_t KAVFAPI CheckKavfile(KAVFHANDLE handle, const char* magic, char* typeName);
uint32_t KAVFAPI GetKavfileType(KAVFHANDLE handle);
uint32_t KAVFAPI UpdateKavfDirectory(KAVFHANDLE handle);
uint32_t KAVFAPI FindKavfIndexPtr(KAVFHANDLE handle, uint32_t group, uint32_t id);
uint32_t KAVFAPI GetKavfDataNumber(KAVFHANDLE handle, uint32_t group, uint32_t id);
uint32_t KAVFAPI GetKavfInfo(KAVFHANDLE handle, uint32_t selector);
uint32_t KAVFAPI SetKavfInfo(KAVFHANDLE handle, uint32_t selector, uint32_t value);

/* ---- Header item writers: the new write offset, 0 on failure ------------- */
uint32_t KAVFAPI CreateKavfIndexInfo(KAVFHANDLE handle, const char* magic, uint32_t groupCount,
                                     uint32_t subItemCount, const char* typeName);
uint32_t KAVFAPI CreateKavfGroupStart(KAVFHANDLE handle, uint32_t group, uint32_t offset);
uint32_t KAVFAPI CreateKavfGroupEnd(KAVFHANDLE handle, uint32_t group);
uint32_t KAVFAPI CreateKavfTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                    const KavfTextElement* elements);
uint32_t KAVFAPI CreateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id, uint32_t count,
                                    const uint16_t* values);
uint32_t KAVFAPI CreateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id, uint32_t count,
                                    const uint32_t* values);
uint32_t KAVFAPI CreateKavfLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                      uint32_t count, const uint32_t* values);
uint32_t KAVFAPI CreateKavfImageInfo(KAVFHANDLE handle, uint32_t ignored, uint32_t id,
                                     uint32_t byteCount, const void* data);
/* Returns the offset of frame 0. */
uint32_t KAVFAPI CreateKavfWaveInfo(KAVFHANDLE handle, uint32_t id, const KavfWaveInfo* info);
uint32_t KAVFAPI SetKavfWaveEnd(KAVFHANDLE handle);

/* ---- Flow wave data: negative results are failures ----------------------- */
int32_t KAVFAPI WriteKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start, int32_t count,
                                  const void* frames);
int32_t KAVFAPI ReadKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start, int32_t count,
                                 void* frames);
int32_t KAVFAPI ReadKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                      int32_t* position, int32_t* ringSlot, int32_t count);
int32_t KAVFAPI WriteKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                       int32_t firstSlot, int32_t count);
int32_t KAVFAPI ReadKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                     int32_t start, int32_t* ringSlot, int32_t count);
int32_t KAVFAPI WriteKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet, uint32_t buffer,
                                      int32_t start, int32_t firstSlot, int32_t count);
int32_t KAVFAPI ChangeKavfFlowEvent(KAVFHANDLE handle, uint32_t event, uint32_t frame);
int32_t KAVFAPI UpdateKavfFlowWave(KAVFHANDLE handle);
int32_t KAVFAPI ClearKavfFlowWave(KAVFHANDLE handle);

/* ---- Item readers: 0 when not found -------------------------------------- */
uint32_t KAVFAPI GetKavfTextInfo(KAVFHANDLE handle, KavfTextElement* elements, uint32_t group,
                                 uint32_t id, uint32_t maxCount, uint32_t budget);
uint32_t KAVFAPI ReadKavfTextData(KAVFHANDLE handle, char* text, uint32_t group, uint32_t id,
                                  uint32_t maxCount, uint32_t budget);
uint32_t KAVFAPI ReadKavfWordData(KAVFHANDLE handle, uint16_t* values, uint32_t group,
                                  uint32_t id, uint32_t max);
uint32_t KAVFAPI ReadKavfLongData(KAVFHANDLE handle, uint32_t* values, uint32_t group,
                                  uint32_t id, uint32_t max);
uint32_t KAVFAPI ReadKavfLongDataEx(KAVFHANDLE handle, uint32_t* values, uint32_t group,
                                    uint32_t id, uint32_t max);
uint32_t KAVFAPI ReadKavfImageData(KAVFHANDLE handle, void* data, uint32_t group, uint32_t id,
                                   uint32_t maxBytes);
uint32_t KAVFAPI ReadKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                  KavfWaveInfo* info);
uint32_t KAVFAPI ReadKavfWaveData(KAVFHANDLE handle, uint32_t group, uint32_t id, uint32_t frame,
                                  uint16_t* event, int16_t* samples);
uint32_t KAVFAPI GetKavfUnitInfo(KAVFHANDLE handle, uint32_t group, KavfUnitTable* table,
                                 uint32_t maxCount);

/* ---- Item updaters: 0 on failure ----------------------------------------- */
uint32_t KAVFAPI UpdateKavfIndex(KAVFHANDLE handle, uint32_t high, uint32_t low);
uint32_t KAVFAPI UpdateKavfTextInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                    uint32_t element, uint32_t length, const char* text);
uint32_t KAVFAPI UpdateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group, uint32_t id,
                                    uint32_t first, uint32_t count, const uint16_t* values);
uint32_t KAVFAPI UpdateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group, uint32_t id,
                                    uint32_t first, uint32_t count, const uint32_t* values);
uint32_t KAVFAPI UpdateKavfImageInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                     uint32_t offset, uint32_t length, const void* data);
uint32_t KAVFAPI UpdateKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                    const KavfWaveInfo* info);

/* ---- Memory files ---------------------------------------------------------- */
uint32_t KAVFAPI CreateKavfMemFile(KAVFHANDLE handle, uint32_t size);
uint32_t KAVFAPI DeleteKavfMemFile(KAVFHANDLE handle);
uint32_t KAVFAPI CreateKavfMemGroupStart(KAVFHANDLE handle, uint32_t group, uint32_t offset);
uint32_t KAVFAPI CreateKavfMemGroupEnd(KAVFHANDLE handle, uint32_t group);
uint32_t KAVFAPI CreateKavfMemTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                       const KavfTextElement* elements);
uint32_t KAVFAPI CreateKavfMemWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                       uint32_t count, const uint16_t* values);
uint32_t KAVFAPI CreateKavfMemLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                       uint32_t count, const uint32_t* values);
uint32_t KAVFAPI CreateKavfMemLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                         uint32_t count, const uint32_t* values);
uint32_t KAVFAPI CreateKavfMemImageInfo(KAVFHANDLE handle, uint32_t ignored, uint32_t id,
                                        uint32_t byteCount, const void* data);
/* Offset past the written groups; 0 when nothing could be written; negative
 * when the file write failed. */
int32_t KAVFAPI WriteKavfMemFile(KAVFHANDLE handle, uint32_t firstGroup, uint32_t lastGroup);

/* ---- Sweep, spectrum and trend items --------------------------------------- */
uint32_t KAVFAPI CreateKavfSweepWaveInfo(KAVFHANDLE handle, uint32_t id, const KavfSweepInfo* info);
/* header: 16 values; samples: P values of 16 or 32 bits. */
uint32_t KAVFAPI CreateKavfSweepWave(KAVFHANDLE handle, const uint16_t* header,
                                     const void* samples);
uint32_t KAVFAPI SetKavfSweepWaveEnd(KAVFHANDLE handle);
uint32_t KAVFAPI ReadKavfSweepWave(KAVFHANDLE handle, uint16_t* header, void* samples);

uint32_t KAVFAPI CreateKavfSpectrumInfo(KAVFHANDLE handle, uint32_t id,
                                        const KavfSpectrumInfo* info);
/* line: KAVF_SPECTRUM_LINE_BYTES(R) bytes. */
uint32_t KAVFAPI CreateKavfSpectrumLine(KAVFHANDLE handle, const KavfSpectrumLine* line);
uint32_t KAVFAPI CreateKavfSpectrumData(KAVFHANDLE handle, const KavfSpectrumLine* line,
                                        const uint32_t* values, uint32_t count);
uint32_t KAVFAPI SetKavfSpectrumEnd(KAVFHANDLE handle);
uint32_t KAVFAPI ReadKavfSpectrumInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                      KavfSpectrumInfo* info);
uint32_t KAVFAPI ReadKavfSpectrumLine(KAVFHANDLE handle, uint32_t lineIndex,
                                      KavfSpectrumLine* line);
int32_t KAVFAPI ReadKavfSpectrumData(KAVFHANDLE handle, uint32_t lineIndex, uint32_t record,
                                     uint32_t* values);

uint32_t KAVFAPI CreateKavfTrendInfo(KAVFHANDLE handle, uint32_t id, const KavfTrendInfo* info);
uint32_t KAVFAPI CreateKavfTrendLine(KAVFHANDLE handle, const KavfTrendLineHeader* header,
                                     const KavfTrendChannel* channels);
uint32_t KAVFAPI CreateKavfTrendData(KAVFHANDLE handle, const KavfTrendRecord* records,
                                     uint32_t count);
uint32_t KAVFAPI SetKavfTrendEnd(KAVFHANDLE handle);
uint32_t KAVFAPI ReadKavfTrendInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                   KavfTrendInfo* info);
uint32_t KAVFAPI ReadKavfTrendLine(KAVFHANDLE handle, uint32_t lineIndex,
                                   KavfTrendLineHeader* header, KavfTrendChannel* channels);
int32_t KAVFAPI ReadKavfTrendData(KAVFHANDLE handle, uint32_t block, KavfTrendRecord* records);

/* ---- File dialogs and disk queries ----------------------------------------- */
/* filter: "Description|pattern|...|", changed in place (| becomes 0). */
KAVFDIALOG KAVFAPI InitKavfileDialog(char* filter);
uint32_t KAVFAPI SetKavfileDirectory(KAVFDIALOG dialog, const char* directory);
uint32_t KAVFAPI SetKavfileTitle(KAVFDIALOG dialog, const char* title);
uint32_t KAVFAPI GetOpenKavfilename(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                                    const char* defaultExtension);
uint32_t KAVFAPI GetSaveKavfilename(KAVFDIALOG dialog, void* owner, char* file, char* fileTitle,
                                    const char* defaultExtension);
/* Free space in kilobytes, 0 on failure. */
uint32_t KAVFAPI GetKavDiskEmpty(uint32_t drive, uint16_t* freeClusters,
                                 uint16_t* sectorsPerCluster, uint16_t* bytesPerSector);

#ifdef __cplusplus
}
#endif

#endif
