// The program's fixed names and numbers, shared by every floor of it.
#pragma once

#include "res/resource.h"

#include <windows.h>

// The maker's default scheme: stored as kMakerScheme, shown as kMakerSchemeShown. The program
// compares the shown name exactly where it tests for it.
inline constexpr WCHAR kMakerScheme[] = L"QUELDA";
inline constexpr WCHAR kMakerSchemeShown[] = L"Quelda";

// The special targets: the mail client and the volume functions.
inline constexpr WCHAR kTargetMail[] = L"KVKMail";
inline constexpr WCHAR kTargetVolumeUp[] = L"VOLUME_UP";
inline constexpr WCHAR kTargetVolumeDown[] = L"VOLUME_DOWN";
inline constexpr WCHAR kTargetVolumeMute[] = L"VOLUME_MUTE";

// A button's lock state.
inline constexpr WCHAR kLocked[] = L"LOCK";
inline constexpr WCHAR kUnlocked[] = L"UNLOCKED";

// The positions: at most 12 buttons, the first 9 with icons of their own ("Key1" to "Key9"), 11
// predefined assignments in the menu.
inline constexpr int kMaxButtons = 12;
inline constexpr int kIconButtons = 9;
inline constexpr int kMenuAssignments = 11;

// The icons of the special targets and of a target the shell has no icon for.
inline constexpr UINT kIconVolume = IDI_VOLUME;
inline constexpr UINT kIconMute = IDI_MUTE;
inline constexpr UINT kIconUnknown = IDI_UNKNOWN_TARGET;
