#pragma once
// Questions about the platform the process runs on.

// True when this 32-bit process runs under WOW64 (64-bit Windows).
bool IsWow64();
// True when the processor architecture is x64 or Itanium.
bool IsNative64BitOs();
// Exact match of the major and minor version.
bool IsWindowsVersion(unsigned major, unsigned minor);
bool IsWindows10();
