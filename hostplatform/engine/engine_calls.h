// The stand-in host engine library's calls for plug-in modules. A module finds the
// library already loaded by the host (dlopen with RTLD_NOLOAD) and looks the calls
// up by these names, so it also runs in a process without this host.
#pragma once

#include <stdint.h>

#include "hostplatform/plugin_interface.h"

#define RUVANE_HOST_ENGINE_LIBRARY "libruvane-hostengine.so"

// The gestalt selector that says the maximum real-time block can be asked by name,
// and that name.
#define RUVANE_HOST_GESTALT_BLOCK_QUERY 0x76717461 /* 'vqta' */
#define RUVANE_HOST_MAX_REALTIME_BLOCK "MaxRealTimeBlock"

extern "C" {

// Hands the module's open and close procedures to the host, which then opens and closes
// the module itself. module is the module's own handle. Answers 0.
int32_t RuvaneHost_RegisterOpenCloseProcs(void* module, HPOpenCloseProc open, HPOpenCloseProc close);
typedef int32_t (*RuvaneHost_RegisterOpenCloseProcsProc)(void*, HPOpenCloseProc, HPOpenCloseProc);

// Answers 0 and the response for a known selector, else a negative code.
int32_t RuvaneHost_Gestalt(uint32_t selector, int32_t* response);
typedef int32_t (*RuvaneHost_GestaltProc)(uint32_t, int32_t*);

// Answers 0 and the value for a known name, else a negative code.
int32_t RuvaneHost_GetValueByName(const char* name, int32_t* value);
typedef int32_t (*RuvaneHost_GetValueByNameProc)(const char*, int32_t*);

// A plug-in group announces itself; 0 or the host's refusal code.
int32_t RuvaneHost_RegisterGroup(const char* name, int32_t manufacturerId);
typedef int32_t (*RuvaneHost_RegisterGroupProc)(const char*, int32_t);

// A message for the user with one OK button.
void RuvaneHost_Alert(const char* text, const char* caption);
typedef void (*RuvaneHost_AlertProc)(const char*, const char*);

// MIDI input nodes: 0 and the node id, or a negative code.
int32_t RuvaneHost_RegisterMidiNode(const char* name, int32_t registration, int32_t* nodeId);
typedef int32_t (*RuvaneHost_RegisterMidiNodeProc)(const char*, int32_t, int32_t*);
void RuvaneHost_UnregisterMidiNode(int32_t nodeId);
typedef void (*RuvaneHost_UnregisterMidiNodeProc)(int32_t);

// A plug-in changed one of its controls itself (automation from the plug-in side).
void RuvaneHost_ControlChanged(uint64_t hostInstanceId, int32_t control, int32_t value);
typedef void (*RuvaneHost_ControlChangedProc)(uint64_t, int32_t, int32_t);

// A plug-in asks for idle time (its effect called for it). Any thread may call it, the
// audio thread too: it takes no lock.
void RuvaneHost_Idle(void);
typedef void (*RuvaneHost_IdleProc)(void);

}  // extern "C"
