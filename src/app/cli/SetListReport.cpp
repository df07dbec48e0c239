#include "app/cli/SetListReport.h"

#include "app/StatusManager.h"
#include "app/cli/SetupReport.h"
#include "midi/MIDIPortInfo.h"
#include "model/setlist/SetList.h"
#include "persistence/SetListFileReaderWriter.h"

#include <QDir>

bool SetListReport::isSetListFile(const QString& path)
{
    return path.endsWith(QLatin1String(".msl"), Qt::CaseInsensitive);
}

SetListReport::SetListReport(const QString& setListFile)
{
    SetList setList;
    {
        // What the reader posts (the list's own failure, songs and triggers it cannot use) is part
        // of the report.
        QObject context;
        StatusManager* status = StatusManager::GetInstance();
        QObject::connect(status, &StatusManager::errorMessagePosted, &context,
                         [this](const QString& message) { _problems << message.simplified(); });
        QObject::connect(status, &StatusManager::warningMessagePosted, &context,
                         [this](const QString& message) { _problems << message.simplified(); });
        _read = SetListFileReaderWriter::readSetListFromDisk(&setList, setListFile);
    }
    if (!_read)
        return;
    _contents = QStringLiteral("Set list \"%1\": %2 songs, %3 triggers\n")
                    .arg(setList.getName())
                    .arg(setList.getNumSongs())
                    .arg(setList.getTriggers().size());
    for (int i = 0; i < setList.getNumSongs(); ++i) {
        const SetListSong& song = setList.getSongAtIndex(i);
        QString verdict = QStringLiteral("cannot be played");
        if (!song.isBroken()) {
            // Each song is checked as `--check` checks a setup; its problems are named with it.
            const SetupReport songReport(song.getResolvedPath());
            if (!songReport.wasRead()) {
                _problems << QStringLiteral("Song %1 \"%2\" cannot be played: %3")
                                 .arg(i + 1)
                                 .arg(song.getName(), songReport.problems().isEmpty()
                                                          ? QStringLiteral("it cannot be read.")
                                                          : songReport.problems().first());
            } else {
                verdict =
                    songReport.isClean() ? QStringLiteral("ok") : QStringLiteral("plays, with problems");
                for (const QString& problem : songReport.problems())
                    _problems << QStringLiteral("Song %1 \"%2\": %3").arg(i + 1).arg(song.getName(), problem);
            }
        }
        _contents += QStringLiteral("  Song %1: %2 (%3): %4\n")
                         .arg(i + 1)
                         .arg(song.getName(), QDir::toNativeSeparators(song.getFile()), verdict);
    }
    MIDIPortInfo* ports = MIDIPortInfo::GetInstance();
    for (const SetListTrigger& trigger : setList.getTriggers()) {
        _contents += QStringLiteral("  Trigger: %1\n").arg(trigger.description());
        if (!ports->hasInputPortNamed(trigger.getMIDIPortName()))
            _problems << QStringLiteral("Input port \"%1\" of a trigger is not present on this machine.")
                             .arg(trigger.getMIDIPortName());
        if (trigger.getAction() == SetListTrigger::Action::Song &&
            trigger.getSongNumber() > setList.getNumSongs())
            _problems << QStringLiteral("A trigger names song %1, but the set list has %2 songs.")
                             .arg(trigger.getSongNumber())
                             .arg(setList.getNumSongs());
    }
    _problems.removeDuplicates();
}

QString SetListReport::text() const
{
    QString text = _contents;
    if (isClean())
        return text + QStringLiteral("No problems found.\n");
    text += QStringLiteral("Problems:\n");
    for (const QString& problem : _problems)
        text += QStringLiteral("  - %1\n").arg(problem);
    return text;
}
