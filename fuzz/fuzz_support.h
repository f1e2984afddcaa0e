// What every fuzzer shares: one live effect with its editor, kept for the whole run
// (with its stored settings in a private temporary folder), and the invariants the
// effect must keep whatever it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/editor/editor.h"
#include "effect/plugin/zav.h"

namespace ruvane::fuzz {

ZAV& effect();
Editor& editor();

// Stops the run (a crash libFuzzer reports) when a check fails.
void require(bool condition, const char* what);

// Every parameter finite and in 0..1, every bank value too, the current preset in
// range, and the two controller tables each other's inverse and in agreement with the
// values of parameters 48..95.
void checkInvariants();

// The effect's own image of a kind is accepted back and survives writing and reading
// unchanged.
void requireImageRoundTrip(std::size_t imageBytes, void (Editor::*write)(uint8_t*),
                           bool (Editor::*read)(const uint8_t*, bool));

// The input as an image of exactly size bytes: cut, or padded with zeros.
std::vector<uint8_t> imageOf(const uint8_t* data, std::size_t size, std::size_t imageBytes);

}  // namespace ruvane::fuzz
