#pragma once

class QWidget;

// The window's Edit menu commands that run a dialog: each builds the dialog over the window,
// runs it modally, acts on the result and deletes the dialog. GUI thread only.
namespace DialogCommands {

/// "Reroute Port/Channel...": reroutes the current setup's inputs or outputs as chosen and warns
/// when nothing changed. Does nothing without a current setup.
void reroutePort(QWidget* window);

/// "Merge Outputs...": refuses with "Merge Error" when the setup cannot be merged, else runs the
/// merge dialog, which merges itself. Does nothing without a current setup.
void mergeOutputs(QWidget* window);

/// "Preferences...": runs the preferences dialog at its remembered size and remembers the size.
void editPreferences(QWidget* window);

} // namespace DialogCommands
