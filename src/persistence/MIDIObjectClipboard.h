#pragma once

#include <QList>
#include <QString>

class MIDIOutput;
class MIDIPatchTarget;
class MIDIRoute;

// Copy and paste of patches, patch lists and outputs through the system clipboard. Each kind
// travels under a MIME type of its own as a small XML document holding the setup file's element
// for it, so a paste can tell what the clipboard holds and a menu can name it before anything is
// made. The create functions only construct objects with the right parent; the caller adds them
// to the model. Data that is not what its format promises (foreign or damaged) creates nothing
// and posts an error saying so. Without a QGuiApplication (headless runs) there is no clipboard:
// putting does nothing and the clipboard never holds anything. GUI thread only.

/// "x-application/Quorvell-MIDIPatchTargetXML": one patch.
QString midiPatchTargetMimeType();
/// "x-application/Quorvell-MIDIPatchTargetListXML": all patches of an output.
QString midiPatchTargetListMimeType();
/// "x-application/Quorvell-MIDIOutputXML": one output with its patches.
QString midiOutputMimeType();

/// Replaces the clipboard's contents with the patch (document type "MIDIPatchTarget_XML").
void putMIDIPatchTargetInClipboard(MIDIPatchTarget* mpt);
/// Replaces the clipboard's contents with all patches of the output, in order, under a
/// "MIDIPatchTargets" element (document type "MIDIPatchTargetList_XML").
void putMIDIPatchTargetsInClipboard(MIDIOutput* output);
/// Replaces the clipboard's contents with the output and its patches (document type
/// "MIDIOutput_XML").
void putMIDIOutputInClipboard(MIDIOutput* output);
/// Replaces the clipboard's contents with plain text.
void putTextInClipboard(const QString& text);

/// True when the clipboard holds data in the patch format.
bool doesClipboardHaveMIDIPatchTarget();
/// True when the clipboard holds data in the patch list format.
bool doesClipboardHaveMIDIPatchTargetList();
/// True when the clipboard holds data in the output format.
bool doesClipboardHaveMIDIOutput();

/// A new patch built from the clipboard, with the output as its parent (not added to it); null
/// when the clipboard holds no patch or the patch cannot be read (an error is then posted).
MIDIPatchTarget* createMIDIPatchTargetFromClipboard(MIDIOutput* output);
/// New patches built from the clipboard's patch list in its order, each with the output as its
/// parent (not added to it); empty when the clipboard holds no list or the list cannot be read
/// (an error is then posted).
QList<MIDIPatchTarget*> createMIDIPatchTargetListFromClipboard(MIDIOutput* output);
/// A new output built from the clipboard, with the route as its parent (not added to it) and
/// inactive, so that pasting never switches the sound that is playing; null when the clipboard
/// holds no output or the output cannot be read (an error is then posted).
MIDIOutput* createMIDIOutputFromClipboard(MIDIRoute* route);

/// The name of the clipboard's patch; empty when there is none or it cannot be read.
QString getClipboardMIDIPatchTargetName();
/// The name of the clipboard's output; empty when there is none or it cannot be read.
QString getClipboardMIDIOutputName();
/// The number of patches a paste of the clipboard's list makes; 0 when there is no list or it
/// cannot be read.
int getClipboardMIDIPatchTargetListSize();
