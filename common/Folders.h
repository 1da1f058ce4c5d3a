#pragma once
// Every place on disk the product family uses, computed on demand from the
// system's special folders, plus folder-chain creation and tree removal.
#include "ui/core/UiString.h"

// Empty text when the system cannot name the folder.
SkinUI::CUiString GetSpecialFolder(int csidl);
SkinUI::CUiString GetLocalAppDataFolder();
SkinUI::CUiString GetDesktopFolder();

// Per-user product data (local application data).
SkinUI::CUiString GetDataFolder();          // ...\Norvantix\data
SkinUI::CUiString GetImagesFolder();        // ...\Norvantix\data\images
SkinUI::CUiString GetLogsFolder();          // ...\Norvantix\data\logs
SkinUI::CUiString GetProductDataFolder();   // GetDataFolder()\Norvantix
SkinUI::CUiString GetSettingsFile();        // GetProductDataFolder()\Norvantix.ini
SkinUI::CUiString GetPaintingSettingsFile();// GetProductDataFolder()\NorvantixPainting.ini
SkinUI::CUiString GetLogFolder();           // GetDataFolder()\Norvantixlog
// Program Files (the 32-bit one under WOW64) followed by \Norvantix.
SkinUI::CUiString GetDefaultInstallFolder();
// Per-user roaming data.
SkinUI::CUiString GetRoamingDataFolder();   // roaming\Norvantix\data\tarvekvctr\data
SkinUI::CUiString GetUserProfileFile();     // GetRoamingDataFolder()\user.ini

// Folder of the running executable, without a trailing separator.
SkinUI::CUiString GetExeFolder();

// Creates every missing folder along the path ("\" and "/" both separate).
// Always 0: callers that need certainty test the folder afterwards. Paths of
// MAX_PATH characters or more are left alone, since nothing below could
// address them anyway.
int CreateFolderChain(const wchar_t* path);

// Removes the folder and everything below it, depth first. True when the
// folder could be listed, whether or not every entry could be removed.
// Links to other folders (junctions, symbolic links) are removed as links;
// whatever they point at is never touched.
bool DeleteFolderTree(const wchar_t* path);

// True when the file cannot be opened for exclusive reading and writing
// (open elsewhere, missing or denied alike).
bool IsFileInUse(const wchar_t* path);
