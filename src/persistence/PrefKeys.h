#pragma once

#include <QString>

// Every preference key of the program, with the default used when the key is absent. Keys whose
// absence means "nothing stored" (aliases, port use lists, dialog sizes) have no default here.
namespace PrefKeys {

inline const QString LoadMostRecentFileAtStart = QStringLiteral("LoadMostRecentFileAtStart");
inline constexpr bool LoadMostRecentFileAtStartDefault = true;

inline const QString SendInitializersWhenSetupOpens = QStringLiteral("SendInitializersWhenSetupOpens");
inline constexpr bool SendInitializersWhenSetupOpensDefault = true;

inline const QString MiddleCName = QStringLiteral("MiddleCName");
inline const QString MiddleCNameDefault = QStringLiteral("C4");

inline const QString KeyboardShowNoteVelocities = QStringLiteral("KeyboardShowNoteVelocities");
inline constexpr bool KeyboardShowNoteVelocitiesDefault = true;

inline const QString DefaultMIDIOutputActivationMethod = QStringLiteral("DefaultMIDIOutputActivationMethod");
inline constexpr int DefaultMIDIOutputActivationMethodDefault = 0;

inline const QString DefaultMIDIOutputActivationSpecificity =
    QStringLiteral("DefaultMIDIOutputActivationSpecificity");
inline constexpr int DefaultMIDIOutputActivationSpecificityDefault = 0;

inline const QString MIDIInputPortNameAliases = QStringLiteral("MIDIInputPortNameAliases");
inline const QString MIDIOutputPortNameAliases = QStringLiteral("MIDIOutputPortNameAliases");
inline const QString MIDIInputPortsToNotUse = QStringLiteral("MIDIInputPortsToNotUse");
inline const QString MIDIOutputPortsToNotUse = QStringLiteral("MIDIOutputPortsToNotUse");

/// Followed by the label index in decimal, from 0.
inline const QString ColorLabelValuePrefix = QStringLiteral("colorLabelValue");
inline const QString ColorLabelNamePrefix = QStringLiteral("colorLabelName");

inline const QString MainWindowSize = QStringLiteral("MainWindowSize");
inline constexpr int MainWindowHeightDefault = 600;
inline const QString MainWindowPosition = QStringLiteral("MainWindowPosition");
inline constexpr int MainWindowPositionXDefault = 100;
inline constexpr int MainWindowPositionYDefault = 100;
inline const QString KeyboardVisible = QStringLiteral("KeyboardVisible");
inline constexpr bool KeyboardVisibleDefault = true;
inline const QString KeyboardXScrollAmount = QStringLiteral("KeyboardXScrollAmount");
inline constexpr int KeyboardXScrollAmountDefault = 100;

inline const QString PreferencesDialogSize = QStringLiteral("PreferencesDialogSize");
inline const QString PreferencesDialogActiveTabName = QStringLiteral("PreferencesDialogActiveTabName");

inline const QString ReroutingInputIsSelected = QStringLiteral("ReroutingInputIsSelected");
inline constexpr bool ReroutingInputIsSelectedDefault = true;
inline const QString OutputMergeMatchMode = QStringLiteral("OutputMergeMatchMode");
inline constexpr int OutputMergeMatchModeDefault = 0;

inline const QString LastOpenPath = QStringLiteral("LastOpenPath");
inline const QString LastSavePath = QStringLiteral("LastSavePath");
inline const QString RecentlyOpenFiles = QStringLiteral("RecentlyOpenFiles");

/// The OSC remote control in the window (the command line's --osc-port overrides these).
inline const QString OscRemoteOn = QStringLiteral("OscRemoteOn");
inline constexpr bool OscRemoteOnDefault = false;
inline const QString OscRemotePort = QStringLiteral("OscRemotePort");
inline constexpr int OscRemotePortDefault = 9000;
inline const QString OscRemoteBindAddress = QStringLiteral("OscRemoteBindAddress");
inline const QString OscRemoteBindAddressDefault = QStringLiteral("127.0.0.1");

/// Where the unsaved setup went when the program was last stopped by a signal; told once.
inline const QString RecoveredSetupFile = QStringLiteral("RecoveredSetupFile");

} // namespace PrefKeys
