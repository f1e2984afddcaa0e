// The stand-in host extension library's calls for plug-in modules: resource files
// (format in resource_file.h) opened with the module's byte-order hook. Looked up by
// name in the already-loaded library, like the engine's calls.
#pragma once

#include <stdint.h>

#define RUVANE_HOST_EXTENSION_LIBRARY "libruvane-hostext.so"

extern "C" {

// Puts one resource's data into the reader's byte order, in place. Answers 1 when it
// knows the kind, else 0.
typedef int32_t (*HPByteOrderHook)(uint32_t kind, int32_t id, void* data, int32_t size);

enum {
    kHPErrorNoResourceFile = -43,
    kHPErrorBadResourceFile = -39,
};

// Answers 0 and a file reference, or one of the codes above.
int32_t RuvaneExt_OpenResourceFile(const char* path, HPByteOrderHook hook, int32_t* fileRef);
typedef int32_t (*RuvaneExt_OpenResourceFileProc)(const char*, HPByteOrderHook, int32_t*);

void RuvaneExt_CloseResourceFile(int32_t fileRef);
typedef void (*RuvaneExt_CloseResourceFileProc)(int32_t);

}  // extern "C"
