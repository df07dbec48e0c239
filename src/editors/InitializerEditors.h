#pragma once

class MIDIPatchInitializer;
class QWidget;

/// Installs the editor-making function into each registry entry of a built-in initializer type that
/// has none yet. createEditorForInitializer calls it first, so start-up needs no particular order;
/// calling it again changes nothing. GUI thread only.
void installInitializerEditors();

/// The editor widget for the initializer's type (found by its name in the initializer registry),
/// owned by the parent; null for a type that is not registered. GUI thread only.
QWidget* createEditorForInitializer(MIDIPatchInitializer* initializer, QWidget* parent);
