/* The public header is C: records, constants and prototypes compile as C11. */
#include "kavf32.h"

size_t KavfHeaderRecordBytesAsC(void);

size_t KavfHeaderRecordBytesAsC(void) {
    KavfWaveInfo info = {0};
    info.type = KAVF_WAVE_EVENT;
    return sizeof(KavfTextElement) + sizeof info + sizeof(KavfUnitTable) + sizeof(KavfTrendRecord) +
           KAVF_SPECTRUM_LINE_BYTES(2);
}
