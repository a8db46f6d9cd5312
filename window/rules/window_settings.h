#pragma once

#include <span>
#include <string>
#include <string_view>

namespace karuneo {
class SettingsStore;
class WindowGeometry;
struct TwipRect;

// Where the window settings live. The texts are those the Visual Basic
// versions of this program wrote (SaveSetting keeps them under "VB and VBA
// Program Settings"), so that their users' stores are read unchanged;
// "vbNomal" is spelled so there.
inline constexpr std::string_view kSettingsApplication = "カルネオ";
// On Windows the store is the registry key
// HKEY_CURRENT_USER\Software\<this folder>\<the application>; Qt's store
// takes the folder as its organization.
inline constexpr std::string_view kRegistrySettingsFolder = "VB and VBA Program Settings";
inline constexpr std::string_view kSettingsSection = "Main";
inline constexpr std::string_view kKeyWindowState = "WindowState";
inline constexpr std::string_view kKeyLeft = "Left";
inline constexpr std::string_view kKeyTop = "Top";
inline constexpr std::string_view kKeyWidth = "Width";
inline constexpr std::string_view kKeyHeight = "Height";
inline constexpr std::string_view kStateNormal = "vbNomal";
inline constexpr std::string_view kStateMaximized = "vbMaximized";
// アーカイブも展開する, written as Visual Basic writes a Boolean.
inline constexpr std::string_view kKeyExtractArchives = "ExtractArchives";
inline constexpr std::string_view kTrue = "True";
inline constexpr std::string_view kFalse = "False";

// The registry key of the settings, below HKEY_CURRENT_USER.
std::string RegistrySettingsKey();

// Writes the normal state and the window's outer rectangle, key by key, its
// size never below the window's minimum.
void SaveWindowSettings(const WindowGeometry& window, SettingsStore& store);

// A maximised window keeps the rectangle it will be restored to.
void SaveMaximizedState(SettingsStore& store);

// What a sizing pass or a move of the window leaves in the store. Window
// systems report the move and the resize of maximising in either order, and
// a move of a maximised window must not make it reopen as a normal window of
// the screen's size: while maximised only the state is written, so that the
// rectangle it is restored to stays. While minimised nothing is written, as
// the window then lies where the system parks icons.
void SaveWindowState(const WindowGeometry& window, SettingsStore& store);

// Puts the window back as the store remembers it, fitted to the screen it
// opens on; an empty store leaves it where the windowing system put it,
// unless it is larger than that screen. `screens` are the usable areas of
// all screens, the primary one first.
void RestoreWindowSettings(SettingsStore& store, WindowGeometry& window,
                           std::span<const TwipRect> screens);

// Whether dropped archives are extracted: off unless the user turned it on,
// so that nothing new is written beside a dropped file without asking.
bool LoadExtractArchives(SettingsStore& store);
void SaveExtractArchives(SettingsStore& store, bool extract);

// Twips as stored: whole numbers as plain digits.
std::string FormatTwips(float twips);

// The number at the start of `text` ("." as decimal point), 0 when there is
// none: stores edited by hand or by other versions must still open.
float ParseLeadingNumber(std::string_view text);

}  // namespace karuneo
