// A failure inside the framework, carrying the host error code it becomes at the
// module's exported entry points.
#pragma once

#include <cstdint>
#include <exception>

#include "hostplatform/plugin_interface.h"

class CHostError : public std::exception {
public:
    explicit CHostError(int32_t code) : code_(code) {}
    int32_t Code() const { return code_; }
    const char* what() const noexcept override { return "host error"; }

private:
    int32_t code_;
};
