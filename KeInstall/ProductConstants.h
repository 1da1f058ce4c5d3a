#pragma once
// The product's fixed names, shared by every part of the installer.

// Display name: window titles, message boxes, shortcut names.
#define KE_PRODUCT_NAME L"Velkaro"
// Folder word of the default install folder and of the product folder.
#define KE_PRODUCT_FOLDER_WORD L"Norvantix"
#define KE_PRODUCT_VERSION L"5.3.1.0"

// Appended to the installer's folder and to the product folder.
#define KE_PAYLOAD_ARCHIVE L"\\ke.7z"
#define KE_PRODUCT_EXE L"\\DUDavov.exe"
#define KE_UNINSTALLER_EXE L"\\DEZeRodurav.exe"

// The skin archive resource and the window icon.
#define KE_SKIN_RESOURCE_TYPE L"KEZIP_RES"
#define KE_SKIN_RESOURCE_ID 113
#define KE_WINDOW_ICON_ID 101

// Prefix of the progress page's label while the payload is unpacked.
extern const wchar_t kProgressLabelPrefix[];
