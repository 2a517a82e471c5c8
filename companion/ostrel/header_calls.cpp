// Taking a file's definitions: header items, patient block, channel
// definitions. The file is created when they close valid; nothing reaches
// it until the first epoch.
#include <new>

#include "edf_text.h"
#include "ostrel.h"
#include "ostrel_file.h"

using ostrel::OstrelFile;
using ostrel::Phase;

namespace {

// Nobody else may write the recording while it grows (Windows share mode).
constexpr uint32_t kDenyWrite = 0x0020;

enum HeaderItem {
    kItemChannelCount = 2,
    kItemFrameSeconds = 3,
    kItemYear = 10,
    kItemMonth = 11,
    kItemDay = 12,
    kItemHour = 13,
    kItemMinute = 14,
    kItemSecond = 15,
    kItemSampleRate = 21,
    kItemMains = 22,
    kItemAnnotationRoom = 23,
};

enum ChannelItem {
    kChannelSource = 2,
    kChannelType = 3,
    kChannelRate = 4,
    kChannelEu = 6,
    kChannelVu = 7,
    kChannelLowFilter = 12,
    kChannelHighFilter = 13,
    kChannelSensitivity = 14,
};

enum ChannelText { kTextLabel = 1, kTextUnit = 2 };

// Moves from one phase to the next; false (nothing done) out of turn.
bool Advance(OstrelFile& file, Phase from, Phase to) {
    if (file.phase != from) return false;
    file.phase = to;
    return true;
}

// Whether the folder a new file would go into is there, so that ordinal 5
// still fails for a path that can never be created.
bool FolderExists(const char* path) {
    const char separator = PlatPathSeparator();
    size_t end = 0;
    for (size_t i = 0; path[i] != '\0'; ++i)
        if (path[i] == separator || path[i] == '/') end = i + 1;
    if (end == 0) return true;  // the current folder
    std::string folder(path, end);
    return PlatIsDirectory(folder.c_str()) != 0;
}

// Creates the file of definitions that closed valid; false when the path
// was taken meanwhile (by another run too: the create is exclusive) or
// cannot be created.
bool CreateRecordingFile(OstrelFile& file) {
    uint32_t error = 0;
    file.file = PlatFileOpen(file.path.c_str(),
                             PLAT_OPEN_WRITE | PLAT_OPEN_CREATE | PLAT_OPEN_CREATE_NEW | kDenyWrite,
                             &error);
    return file.file != nullptr;
}

ostrel::ChannelDefinition* Channel(OstrelFile& file, int32_t section, int32_t channel) {
    if (file.phase != Phase::Channels || section != 0 || channel < 0 ||
        static_cast<size_t>(channel) >= file.channels.size())
        return nullptr;
    return &file.channels[static_cast<size_t>(channel)];
}

}  // namespace

extern "C" uint32_t COMPANIONAPI OstrelCreate(const char* path, int32_t, int32_t) {
    // Never touch an existing file. The file itself is made at ordinal 42.
    if (path == nullptr || path[0] == '\0' || PlatFileExists(path) || !FolderExists(path)) return 0;
    OstrelFile* file = new (std::nothrow) OstrelFile;
    if (file == nullptr) return 0;
    uint32_t handle = 0;
    try {
        file->path = path;
        handle = ostrel::AddFile(file);
    } catch (...) {
    }
    if (handle == 0) delete file;
    return handle;
}

extern "C" void COMPANIONAPI OstrelSetting(uint32_t handle, int32_t setting, int32_t value) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase == Phase::Created && setting >= 1 && setting <= 6)
            file.settings[setting] = value;
        return 0;
    });
}

extern "C" int32_t COMPANIONAPI OstrelPrepareHeader(uint32_t handle) {
    return ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        return Advance(file, Phase::Created, Phase::Prepared) ? 1 : 0;
    });
}

extern "C" void COMPANIONAPI OstrelBeginHeader(uint32_t handle) {
    ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        Advance(file, Phase::Prepared, Phase::Header);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelSetHeaderItem(uint32_t handle, int32_t section, int32_t item,
                                                 int32_t value) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase != Phase::Header || section != 0) return 0;
        switch (item) {
            case kItemChannelCount: file.channelCount = value; break;
            case kItemFrameSeconds: file.frameSeconds = value; break;
            case kItemSampleRate: file.sampleRate = value; break;
            case kItemMains: file.mainsHz = value > 0 ? value : 0; break;
            case kItemAnnotationRoom:
                file.timedRoom = value < 0                       ? 0
                                 : value > ostrel::kMaxTimedRoom ? ostrel::kMaxTimedRoom
                                                                 : value;
                break;
            case kItemYear: file.start.year = value; break;
            case kItemMonth: file.start.month = value; break;
            case kItemDay: file.start.day = value; break;
            case kItemHour: file.start.hour = value; break;
            case kItemMinute: file.start.minute = value; break;
            case kItemSecond: file.start.second = value; break;
            default: break;
        }
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelSetHeaderText(uint32_t handle, int32_t section, int32_t item,
                                                 const char* text) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase == Phase::Header && section == 0 && item == 1)
            file.comment = ostrel::TakeCp932(text, ostrel::kCommentBytes);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelBeginPatient(uint32_t handle) {
    ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        Advance(file, Phase::Header, Phase::Patient);
        return 0;
    });
}

extern "C" int32_t COMPANIONAPI OstrelPutPatientField(uint32_t handle, int32_t section,
                                                      int32_t offset, int32_t width, int32_t field,
                                                      const char* text) {
    return ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (file.phase != Phase::Patient || section != 0 || offset < 0 || width < 0 ||
            width > ostrel::kMaxFieldWidth || offset > INT32_MAX - ostrel::kMaxFieldWidth)
            return 0;
        std::string kept = ostrel::TakeCp932(text, width);
        bool stored = false;
        for (ostrel::PatientField& existing : file.patient) {
            if (existing.id != field) continue;
            existing.text = kept;
            stored = true;
        }
        if (!stored) {
            if (file.patient.size() >= static_cast<size_t>(ostrel::kMaxPatientFields)) return 0;
            file.patient.push_back(ostrel::PatientField{field, kept});
        }
        return offset + width;
    });
}

extern "C" void COMPANIONAPI OstrelEndPatient(uint32_t handle, int32_t section, int32_t, int32_t) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        if (section == 0) Advance(file, Phase::Patient, Phase::Header);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelSetBlockLayout(uint32_t, int32_t, int32_t, int32_t, int32_t) {
    // The EDF+ layout is derived from the definitions; nothing to keep.
}

extern "C" void COMPANIONAPI OstrelBeginChannels(uint32_t handle) {
    ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        if (!Advance(file, Phase::Header, Phase::Channels)) return 0;
        bool counted = file.channelCount >= 1 && file.channelCount <= ostrel::kMaxChannels;
        file.channels.assign(counted ? static_cast<size_t>(file.channelCount) : 0,
                             ostrel::ChannelDefinition());
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelSetChannelText(uint32_t handle, int32_t section, int32_t kind,
                                                  int32_t channel, const char* text) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        ostrel::ChannelDefinition* definition = Channel(file, section, channel);
        if (definition == nullptr) return 0;
        if (kind == kTextLabel) definition->label = ostrel::TakeCp932(text, ostrel::kLabelBytes);
        if (kind == kTextUnit) definition->unit = ostrel::TakeCp932(text, ostrel::kUnitBytes);
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelSetChannelItem(uint32_t handle, int32_t section, int32_t item,
                                                  int32_t channel, int32_t value) {
    ostrel::WithFile(handle, 0, [&](OstrelFile& file) {
        ostrel::ChannelDefinition* definition = Channel(file, section, channel);
        if (definition == nullptr) return 0;
        switch (item) {
            case kChannelSource: definition->sourceChannel = value; break;
            case kChannelType: definition->signalType = value; break;
            case kChannelRate: definition->rate = value; break;
            case kChannelEu: definition->eu = value; break;
            case kChannelVu: definition->vu = value; break;
            case kChannelLowFilter: definition->lowFilter = value; break;
            case kChannelHighFilter: definition->highFilter = value; break;
            case kChannelSensitivity: definition->sensitivity = value; break;
            default: break;
        }
        return 0;
    });
}

extern "C" void COMPANIONAPI OstrelEndChannels(uint32_t handle) {
    ostrel::WithFile(handle, 0, [](OstrelFile& file) {
        if (file.phase != Phase::Channels) return 0;
        bool valid = ostrel::CloseDefinitions(file) && CreateRecordingFile(file);
        file.phase = valid ? Phase::Recording : Phase::Refused;
        return 0;
    });
}
