#pragma once

#include <QString>

// A value map travels on the system clipboard as its 128-character string form, one byte per
// character, under its own MIME type. Without a QGuiApplication (headless runs) there is no
// clipboard: putting does nothing, the clipboard never holds a value map and reads give an empty
// text. GUI thread only.

/// The MIME type under which a value map's string form is put on the clipboard.
QString valueMapMimeType();

/// Replaces the clipboard's contents with the text, one Latin-1 byte per character.
void putValueMapInClipboardAsString(const QString& mapString);

/// True when the clipboard holds data in the value map format.
bool doesClipboardHaveValueMap();

/// The bytes stored under the value map format, one character each; empty when absent.
QString getValueMapFromClipboardAsString();
