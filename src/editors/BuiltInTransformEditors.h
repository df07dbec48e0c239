#pragma once

/// Registers the built-in transform types (when that has not happened yet) and installs the
/// editor creation function of each in its registry entry. Called once at start-up; safe to call
/// again. GUI thread only.
void registerBuiltInTransformEditors();
