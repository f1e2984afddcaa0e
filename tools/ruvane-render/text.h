// Text helpers shared by the option parser and the name lookups.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ruvane::render {

// A key for loose name matching: lower case, spaces, '_' and '-' dropped, so that
// "DlyL Time", "dlyl_time" and "dlyl-time" meet.
std::string looseKey(std::string_view name);

// Lower case, outer blanks trimmed, inner runs of blanks made one: for preset names,
// where "1 4 Feedback" and "14 Feedback" must stay apart.
std::string presetKey(std::string_view name);

// Whole-string number parsing: nothing before or after the number, finite values only.
std::optional<double> parseNumber(std::string_view text);
std::optional<long> parseInteger(std::string_view text);

std::string trim(std::string_view text);

}  // namespace ruvane::render
