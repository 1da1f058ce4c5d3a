#pragma once
// Size and duration texts, and their parsing.
#include "ui/core/UiString.h"

// "1.5KB", "1024.0KB", "1.0MB", "2.0GB": one decimal, no space.
SkinUI::CUiString FormatSize(unsigned long long bytes);
// "1.5 KB", "3.0 MB", "2.0 GB": switches unit only above each power.
SkinUI::CUiString FormatSizeShort(double bytes);
// "HH:MM:SS.mmm"; negative durations read as zero.
SkinUI::CUiString FormatDuration(double seconds);
// "HH:MM:SS".
SkinUI::CUiString FormatHms(int seconds);
// "h:m:s.ms" to milliseconds; fields that do not parse count as 0.
long long ParseDurationMs(const wchar_t* text);
// "h:m:s" to seconds; missing or malformed parts count as 0.
int ParseHmsSeconds(const wchar_t* text);
