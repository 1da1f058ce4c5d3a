#pragma once
// Generated identifiers and the machine's network address.
#include "ui/core/UiString.h"

// A new GUID in upper-case hexadecimal: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
// with braces, or the 32 digits alone without. Empty text when none could be
// made.
SkinUI::CUiString FormatNewGuid(bool withBraces);

// The address of the first Ethernet adapter that is not a Bluetooth one, as
// "XX-XX-XX-XX-XX-XX". The wireless and Bluetooth outputs are cleared and
// stay empty. False when no adapter qualifies.
bool GetMacAddress(SkinUI::CUiString* ethernet, SkinUI::CUiString* wireless, SkinUI::CUiString* bluetooth);
