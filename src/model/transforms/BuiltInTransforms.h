#pragma once

/// Fills the transform registry with the twenty-one built-in types in menu order, setting each
/// category's icon just before its first entry. Safe to call more than once: only the first call
/// registers. GUI thread only.
void registerBuiltInTransforms();
