#include "step_write.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "kavf32.h"
#include "source/line_rows.h"
#include "store/output_files.h"

namespace step_write {
namespace {

constexpr uint64_t kBlockAlignment = 64;
constexpr uint32_t kBlockCount = 2;

struct Write {
    line_rows::SideJob job;
    uint32_t file;
    int32_t start;
    int32_t frames;
    const void* block;
    int32_t written;
    char reason[sizeof AppRecord::RunErrorText];
};

uint64_t BlockStride(uint64_t bytes) {
    return (bytes + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

Write* WriteOf(const AppRecord* record) {
    char* blocks = static_cast<char*>(record->SampleBlock);
    return reinterpret_cast<Write*>(blocks + kBlockCount * BlockStride(record->SampleBlockBytes));
}

void WriteFrames(void* raw) {
    Write& write = *static_cast<Write*>(raw);
    write.written =
        WriteKavfFlowWave(write.file, KAVF_FLOW_CONVERT, write.start, write.frames, write.block);
    // The reason is the failing thread's own.
    if (write.written < 0) KeepFailureReason(write.reason, sizeof write.reason);
    // The count on disk follows every step, so a run killed at any moment
    // leaves a wave that opens with the steps written.
    else
        SetKavfWaveEnd(write.file);
}

}  // namespace

bool Reserve(AppRecord* record, uint64_t bytes) {
    if (record->SampleBlock != nullptr && record->SampleBlockBytes == bytes && bytes != 0) {
        Await(record);
        std::memset(record->SampleBlock, 0, kBlockCount * BlockStride(bytes));
        return true;
    }
    Release(record);
    if (bytes == 0) return false;
    const uint64_t total = kBlockCount * BlockStride(bytes) + sizeof(Write);
    record->SampleBlock = std::calloc(static_cast<size_t>(total), 1);
    if (record->SampleBlock == nullptr) return false;
    record->SampleBlockBytes = static_cast<uint32_t>(bytes);
    Write* write = new (WriteOf(record)) Write{};
    write->job.run = WriteFrames;
    write->job.argument = write;
    return true;
}

void Release(AppRecord* record) {
    if (record->SampleBlock != nullptr) {
        Await(record);
        WriteOf(record)->~Write();
    }
    std::free(record->SampleBlock);
    record->SampleBlock = nullptr;
    record->SampleBlockBytes = 0;
}

void* NextBlock(const AppRecord* record) {
    char* blocks = static_cast<char*>(record->SampleBlock);
    return blocks + (record->StepCount % kBlockCount) * BlockStride(record->SampleBlockBytes);
}

void Post(AppRecord* record, void* block, uint32_t start, uint32_t frames) {
    Write* write = WriteOf(record);
    write->file = record->OutputFile;
    write->start = static_cast<int32_t>(start);
    write->frames = static_cast<int32_t>(frames);
    write->block = block;
    write->written = 0;
    line_rows::PostSideJob(&write->job);
}

bool Await(AppRecord* record) {
    if (record->SampleBlock == nullptr) return record->WaveWriteFailed == 0;
    Write* write = WriteOf(record);
    if (write->job.state.load(std::memory_order_acquire) != line_rows::kSideJobNone) {
        line_rows::AwaitSideJob(&write->job);
        if (write->written < 0) {
            std::memcpy(record->RunErrorText, write->reason, sizeof record->RunErrorText);
            record->WaveWriteFailed = 1;
            record->FramesDone -= static_cast<uint32_t>(write->frames);
        }
    }
    return record->WaveWriteFailed == 0;
}

}  // namespace step_write
