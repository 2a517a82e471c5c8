#include "source/step_blocks.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "store/output_files.h"

namespace step_blocks {
namespace {

constexpr uint64_t kBlockAlignment = 64;
constexpr uint32_t kBlockCount = 2;

uint64_t BlockStride(uint64_t bytes) {
    return (bytes + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

void WriteOutput(void* raw) {
    Output* output = static_cast<Output*>(raw);
    output->failed = !output->write(output);
    if (output->failed) KeepFailureReason(output->reason, sizeof output->reason);
}

}  // namespace

Output* OutputOf(const AppRecord* record) {
    char* blocks = static_cast<char*>(record->SampleBlock);
    return reinterpret_cast<Output*>(blocks + kBlockCount * BlockStride(record->SampleBlockBytes));
}

void* OutputExtra(Output* output) {
    return reinterpret_cast<char*>(output) + BlockStride(sizeof(Output));
}

bool Reserve(AppRecord* record, uint64_t bytes, bool (*write)(Output*), FramesDoneKind framesDone,
             uint32_t extraBytes) {
    if (record->SampleBlock != nullptr && record->SampleBlockBytes == bytes && bytes != 0) {
        Await(record);
        std::memset(record->SampleBlock, 0, kBlockCount * BlockStride(bytes));
        OutputOf(record)->next = 0;
        return true;
    }
    Release(record);
    if (bytes == 0) return false;
    const uint64_t total =
        kBlockCount * BlockStride(bytes) + BlockStride(sizeof(Output)) + extraBytes;
    record->SampleBlock = std::calloc(static_cast<size_t>(total), 1);
    if (record->SampleBlock == nullptr) return false;
    record->SampleBlockBytes = static_cast<uint32_t>(bytes);
    Output* output = new (OutputOf(record)) Output{};
    output->job.run = WriteOutput;
    output->job.argument = output;
    output->write = write;
    output->framesDone = framesDone;
    return true;
}

void Release(AppRecord* record) {
    if (record->SampleBlock != nullptr) {
        Await(record);
        OutputOf(record)->~Output();
    }
    std::free(record->SampleBlock);
    record->SampleBlock = nullptr;
    record->SampleBlockBytes = 0;
}

void* NextBlock(const AppRecord* record) {
    char* blocks = static_cast<char*>(record->SampleBlock);
    return blocks + OutputOf(record)->next * BlockStride(record->SampleBlockBytes);
}

void Post(AppRecord* record, int32_t start, uint32_t frames) {
    Output* output = OutputOf(record);
    output->file = record->OutputFile;
    output->start = start;
    output->frames = frames;
    output->block = NextBlock(record);
    output->failed = false;
    output->next = (output->next + 1) % kBlockCount;
    line_rows::PostSideJob(&output->job);
}

bool Await(AppRecord* record) {
    if (record->SampleBlock == nullptr) return record->WaveWriteFailed == 0;
    Output* output = OutputOf(record);
    if (output->job.state.load(std::memory_order_acquire) != line_rows::kSideJobNone) {
        line_rows::AwaitSideJob(&output->job);
        if (output->failed) {
            std::memcpy(record->RunErrorText, output->reason, sizeof record->RunErrorText);
            record->WaveWriteFailed = 1;
            if (output->framesDone == kFramesDoneAsWritten) record->FramesDone -= output->frames;
        }
    }
    return record->WaveWriteFailed == 0;
}

}  // namespace step_blocks
