// The adapter's answers to an effect's audioMaster calls.
#pragma once

#include "vst/aeffect.h"

// What the adapter answers to audioMasterCanDo for text (1 yes, 0 no or unknown).
VstIntPtr CanDoReply(const char* text);

// The audioMaster callback handed to the effect's entry. The wrapper is found in the
// effect's resvd1; before that is set, only answers that need no wrapper are given.
VstIntPtr AudioMaster(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
