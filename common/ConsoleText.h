#pragma once
// Diagnostics for a console that a GUI process normally does not have: they
// cost nothing when there is none, and help when output is redirected.
#include <stdio.h>

// Writes the text to the stream in code page 936 (GBK), optionally followed
// by a new line, and flushes it.
void WriteGbkText(FILE* stream, const wchar_t* text, bool newLine);
