#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class SetList;

/// Reads set lists from and writes them to set list files (XML, ".msl"):
///
///     <!DOCTYPE QuorvellSetList>
///     <SetList name="Friday" documentVersion="1.0">
///      <Songs>
///       <Song name="Opener" file="opener.ms"/>
///      </Songs>
///      <Triggers>
///       <Trigger action="next" midiPortName="Keyboard:out" midiChannelIndex="127"
///                messageType="controller" number="80" minValue="64" maxValue="127"/>
///      </Triggers>
///     </SetList>
///
/// Song files are relative to the set list's folder, or absolute. Writing is atomic, as for
/// setups: the previous file is replaced only once the new one is completely written. A song
/// whose file is missing or cannot be read is named in a warning and marked broken; the rest of
/// the list still loads. A trigger that makes no sense is left out with a warning. Failures of the
/// list file itself are posted as one error sentence. GUI thread only.
class SetListFileReaderWriter
{
public:
    /// Reads the file into the (empty) set list; on success it takes the path and is not modified.
    /// On failure the error is posted, returned through `errorText` when given, and the set list
    /// is left as it was. Every song's file is checked (see checkSongFiles).
    static bool readSetListFromDisk(SetList* setList, const QString& path, QString* errorText = nullptr);
    /// The same from bytes held in memory; `path` names the file (and the folder songs are relative
    /// to). Songs' files are not checked.
    static bool readSetListFromBytes(SetList* setList, const QByteArray& bytes, const QString& path,
                                     QString* errorText = nullptr, QStringList* warnings = nullptr);
    /// Writes the set list to the file (its own path when `path` is empty); on success it takes
    /// the path and is not modified. On failure the error is posted and the old file is kept.
    static bool saveSetListToDisk(SetList* setList, const QString& path = QString(),
                                  QString* errorText = nullptr);
    /// The document text for the set list, song files written relative to `folder`.
    static QByteArray setListDocumentBytes(const SetList* setList, const QString& folder);

    /// Marks every song whose file is missing or cannot be read as broken, with the reason, and
    /// returns one sentence per broken song ("Song 2 \"Ballad\" cannot be played: ..."). Songs
    /// whose file is there lose an earlier mark.
    static QStringList checkSongFiles(SetList* setList);
    /// Why the song's file cannot be read, as one sentence; empty when it can.
    static QString whySongFileCannotBeRead(const QString& resolvedPath);
};
