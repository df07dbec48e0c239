#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class MIDIRoutingSetup;
class SetList;

// A setup with unsaved changes is not lost when the program is stopped by a signal: it is written
// to a recovery file in the per-user data folder, and the next start says where it is. With a set
// list open, every song edited this evening is kept so, and the list itself when it was edited.
// GUI thread only.

/// Writes each setup to a new file "<name> recovered <date time>.ms" in the per-user data folder
/// (and the set list, when given, to "<name> recovered <date time>.msl", its songs named from
/// there) and remembers every path written for the next start. The setups and the list themselves
/// (paths, modified flags) are left alone. A file that cannot be written does not keep the others from
/// being written: its reason goes to `errorTexts`. Returns the paths written, setups first.
QStringList writeRecoveryFiles(const QList<MIDIRoutingSetup*>& setups, const SetList* setList,
                               QStringList* errorTexts = nullptr);

/// The sentence telling where the last recovery files were written, once: the remembered paths
/// are forgotten as they are told. Empty when there is nothing to tell (or the files have gone).
QString takeRecoveryFileNotice();
