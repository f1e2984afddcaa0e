// Text helpers of the plug-in base classes: the formats hosts show for values.
#pragma once

#include <cstddef>

// Copies at most maxLen characters of source and always terminates
// (text must hold maxLen + 1 bytes).
void vst_strncpy(char* text, const char* source, int maxLen);

// Eight characters of sign, digits and point together: 0 gives "0.000000",
// -12.5 gives "-12.5000". Values too large for eight characters give "Huge!".
void float2string(float value, char* text, int maxLen);

// "-oo" for 0 or below, else 20 log10(value) through float2string.
void dB2string(float value, char* text, int maxLen);

// A decimal integer; "Huge!" from 100000000 upward.
void int2string(int value, char* text, int maxLen);
