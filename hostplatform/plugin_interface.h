// What the stand-in host platform and a plug-in module agree on: the module's four
// exports, the framework entry table the host reaches through _PI_GetRoutineDescriptor,
// and the records passed through it. Plain C types only, so nothing but this layout
// crosses the module boundary.
#pragma once

#include <stdint.h>

extern "C" {

// The value WinPlugInOpen expects from a host that opens the module itself.
enum { kHPHostOpenKey = 73 };

// Routine numbers of _PI_GetRoutineDescriptor.
enum { kHPRoutineFrameworkEntry = 1 };

// Host error codes shared by the platform and its plug-ins.
enum {
    kHPErrorNoMemory = -7003,
    kHPErrorMidiConnection = -7082,
    kHPErrorFramework = -7401,
    kHPErrorNotOpen = -7402,    // the module has no plug-in group
    kHPErrorBadIndex = -7403,   // a group, type, instance or control that does not exist
    kHPErrorBadChunk = -7404,   // a chunk id the instance does not keep, or a buffer of the wrong size
};

typedef int32_t (*HPOpenCloseProc)(void);

typedef struct HPInstance HPInstance;  // one plug-in instance, owned by the module

typedef struct HPGroupInfo {
    char name[64];
    char manufacturer[128];  // long and short form, newline-separated
    int32_t nameFlags;
    int32_t manufacturerId;
    int32_t featureCode;
    int32_t typeCount;
} HPGroupInfo;

enum { kHPKindOffline = 1, kHPKindRealTime = 3 };
enum { kHPMaxFeatureCodes = 32 };

typedef struct HPTypeInfo {
    char name[64];
    int32_t typeId;
    int32_t productId;
    int32_t kind;
    int32_t category;
    int32_t inputStem;
    int32_t outputStem;
    int32_t inputChannels;
    int32_t outputChannels;
    int32_t typeSetting;  // the type's setting keyed -1
    int32_t featureCount;
    int32_t features[kHPMaxFeatureCodes];  // in the type's order
} HPTypeInfo;

enum { kHPControlContinuous = 0, kHPControlDiscrete = 1 };

typedef struct HPControlInfo {
    char multiName[256];  // full, short and shortest name, each ended by a newline
    char className[48];   // the module's control class, for people reading listings
    char unit[64];
    int32_t kind;
    int32_t stateCount;    // discrete controls: number of states
    double minimum;        // the control's range
    double maximum;
    double displayMinimum;  // what the ends of the range show as numbers
    double displayMaximum;
    int32_t defaultValue;  // control value
    int32_t automatable;
    int32_t precision;
} HPControlInfo;

// One MIDI message the host's node buffered for a render call: status and data bytes,
// and the sample of the call it belongs to.
typedef struct HPMidiEvent {
    uint8_t bytes[4];
    int32_t sampleOffset;
} HPMidiEvent;

// The header every saved chunk starts with; its first field is the chunk's total size.
enum { kHPChunkHeaderBytes = 56 };

typedef struct HPChunkInfo {
    int32_t id;             // four-character code
    int32_t announcedSize;  // as announced at instance construction; -152 when it varies
    char name[64];
} HPChunkInfo;

// The instance's view in the host's plug-in window (an X11 window).
typedef struct HPViewRect {
    int32_t top, left, bottom, right;
} HPViewRect;

typedef struct HPInstanceSetup {
    uint64_t hostInstanceId;  // how the module names the instance to the engine library
    double sampleRate;        // 0 lets the module choose
} HPInstanceSetup;

// The framework's entry table. Controls are numbered from 1; control values are
// 32-bit integers spanning the control's range. Calls answer 0 or a host error code.
typedef struct HPFrameworkInterface {
    int32_t (*GroupCount)(void);
    int32_t (*GetGroupInfo)(int32_t group, HPGroupInfo* info);
    int32_t (*GetTypeInfo)(int32_t group, int32_t type, HPTypeInfo* info);
    int32_t (*CreateInstance)(int32_t group, int32_t type, const HPInstanceSetup* setup, HPInstance** instance);
    void (*DestroyInstance)(HPInstance* instance);
    int32_t (*ControlCount)(HPInstance* instance);
    int32_t (*GetControlInfo)(HPInstance* instance, int32_t control, HPControlInfo* info);
    int32_t (*GetControlValue)(HPInstance* instance, int32_t control, int32_t* value);
    int32_t (*SetControlValue)(HPInstance* instance, int32_t control, int32_t value);
    int32_t (*GetControlText)(HPInstance* instance, int32_t control, int32_t value, char* text, int32_t size);
    int32_t (*GetBypassControl)(HPInstance* instance, int32_t* control);
    // Renders frames samples; events (eventCount of them, may be null) are the MIDI the
    // host's node buffered for this call; *produced receives the output samples written.
    int32_t (*Render)(HPInstance* instance, const float* const* inputs, float* const* outputs,
                      const float* sideChain, int32_t frames, const HPMidiEvent* events, int32_t eventCount,
                      int32_t* produced);
    int32_t (*SetSampleRate)(HPInstance* instance, double rate);
    int32_t (*GetLatency)(HPInstance* instance, int32_t* latency);
    // The instance's state chunks: listed in order, saved and restored by id. Sizes and
    // buffers include the 56-byte header.
    int32_t (*ChunkCount)(HPInstance* instance);
    int32_t (*GetChunkInfo)(HPInstance* instance, int32_t index, HPChunkInfo* info);
    int32_t (*GetChunkSize)(HPInstance* instance, int32_t id, int32_t* size);
    int32_t (*SaveChunk)(HPInstance* instance, int32_t id, void* chunk, int32_t size);
    int32_t (*RestoreChunk)(HPInstance* instance, int32_t id, const void* chunk, int32_t size);
    // The instance's view: its size, opening it in the host's window parent (view mode
    // as the host shows the window), closing it, and idle time on the window thread.
    int32_t (*GetViewRect)(HPInstance* instance, HPViewRect* rect);
    int32_t (*OpenView)(HPInstance* instance, unsigned long parent, int32_t viewMode);
    int32_t (*CloseView)(HPInstance* instance);
    int32_t (*IdleView)(HPInstance* instance);
    // The instance's MIDI node identity, 0 without a node.
    int32_t (*GetMidiNode)(HPInstance* instance, int32_t* nodeId);
} HPFrameworkInterface;

typedef const HPFrameworkInterface* (*HPFrameworkEntryProc)(void);

// The module's exports.
typedef int32_t (*HPNewPlugInProc)(void);
typedef int32_t (*HPWinPlugInOpenProc)(int32_t key);
typedef int32_t (*HPWinPlugInCloseProc)(void);
typedef void (*HPGetRoutineDescriptorProc)(int32_t routine, void** slot);

}  // extern "C"
