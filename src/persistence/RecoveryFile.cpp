#include "persistence/RecoveryFile.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetList.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/SetListFileReaderWriter.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kSetListSuffix = QStringLiteral(".msl");

QString failWith(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
    return QString();
}

// The per-user data folder, made when missing; empty with the reason when it cannot be.
QString recoveryFolder(QString* errorText)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return failWith(errorText, QStringLiteral("The per-user data folder \"%1\" cannot be made.")
                                       .arg(QDir::toNativeSeparators(folder)));
    return folder;
}

// "<base> recovered <stamp><suffix>", numbered when a file of that name is already there.
QString freshRecoveryPath(const QString& folder, const QString& base, const QString& suffix)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString path = QDir(folder).filePath(QStringLiteral("%1 recovered %2%3").arg(base, stamp, suffix));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(
            QStringLiteral("%1 recovered %2 (%3)%4").arg(base, stamp).arg(n).arg(suffix));
    return path;
}

QString writeBytes(const QString& path, const QByteArray& bytes, QString* errorText)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failWith(errorText, QStringLiteral("Could not write the recovery file \"%1\": %2.")
                                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    return path;
}

QString writeSetupRecoveryFile(const QString& folder, MIDIRoutingSetup* setup, QString* errorText)
{
    if (!setup)
        return failWith(errorText, QStringLiteral("There is no setup to keep."));
    const QString base = setup->hasBeenSaved() ? QFileInfo(setup->getFilePath()).completeBaseName()
                                               : QStringLiteral("Untitled");
    return writeBytes(freshRecoveryPath(folder, base, QStringLiteral(".ms")),
                      SetupFileReaderWriter::setupDocumentBytes(setup), errorText);
}

QString writeSetListRecoveryFile(const QString& folder, const SetList* setList, QString* errorText)
{
    const QString base = !setList->getFilePath().isEmpty()
                             ? QFileInfo(setList->getFilePath()).completeBaseName()
                         : !setList->getName().isEmpty() ? setList->getName()
                                                         : QStringLiteral("Untitled");
    // The songs are named from the data folder, so the kept list still finds them.
    return writeBytes(freshRecoveryPath(folder, base, kSetListSuffix),
                      SetListFileReaderWriter::setListDocumentBytes(setList, folder), errorText);
}

// The paths told at the next start, one per line (a single path reads as it always has).
void rememberRecoveryFiles(const QStringList& paths)
{
    QStringList native;
    for (const QString& path : paths)
        native << QDir::toNativeSeparators(path);
    setStringPrefValue(PrefKeys::RecoveredSetupFile, native.join(QLatin1Char('\n')));
    syncPrefs();
}

} // namespace

QStringList writeRecoveryFiles(const QList<MIDIRoutingSetup*>& setups, const SetList* setList,
                               QStringList* errorTexts)
{
    QString error;
    const QString folder = recoveryFolder(&error);
    if (folder.isEmpty()) {
        if (errorTexts)
            *errorTexts << error;
        return {};
    }
    QStringList written;
    auto keep = [&](const QString& path) {
        if (!path.isEmpty())
            written << path;
        else if (errorTexts)
            *errorTexts << error;
    };
    for (MIDIRoutingSetup* setup : setups)
        keep(writeSetupRecoveryFile(folder, setup, &error));
    if (setList)
        keep(writeSetListRecoveryFile(folder, setList, &error));
    if (!written.isEmpty())
        rememberRecoveryFiles(written);
    return written;
}

QString takeRecoveryFileNotice()
{
    const QString remembered = getStringPrefValue(PrefKeys::RecoveredSetupFile, QString());
    if (remembered.isEmpty())
        return QString();
    setStringPrefValue(PrefKeys::RecoveredSetupFile, QString());
    syncPrefs();
    QStringList kept;
    for (const QString& path : remembered.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (QFileInfo::exists(path))
            kept << path;
    }
    if (kept.isEmpty())
        return QString();
    if (kept.size() == 1) {
        const QString what =
            kept.first().endsWith(kSetListSuffix) ? QStringLiteral("set list") : QStringLiteral("setup");
        return QStringLiteral("The %1 that had unsaved changes when Quorvell was last stopped was kept in "
                              "\"%2\".")
            .arg(what, kept.first());
    }
    return QStringLiteral("What had unsaved changes when Quorvell was last stopped was kept in \"%1\".")
        .arg(kept.join(QStringLiteral("\", \"")));
}
