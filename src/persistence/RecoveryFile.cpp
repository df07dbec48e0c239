#include "persistence/RecoveryFile.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString writeRecoveryFile(MIDIRoutingSetup* setup, QString* errorText)
{
    auto fail = [errorText](const QString& text) {
        if (errorText)
            *errorText = text;
        return QString();
    };
    if (!setup)
        return fail(QStringLiteral("There is no setup to keep."));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return fail(QStringLiteral("The per-user data folder \"%1\" cannot be made.")
                        .arg(QDir::toNativeSeparators(folder)));

    const QString base = setup->hasBeenSaved() ? QFileInfo(setup->getFilePath()).completeBaseName()
                                               : QStringLiteral("Untitled");
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString path = QDir(folder).filePath(QStringLiteral("%1 recovered %2.ms").arg(base, stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("%1 recovered %2 (%3).ms").arg(base, stamp).arg(n));

    const QByteArray bytes = SetupFileReaderWriter::setupDocumentBytes(setup);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(QStringLiteral("Could not write the recovery file \"%1\": %2.")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    setStringPrefValue(PrefKeys::RecoveredSetupFile, QDir::toNativeSeparators(path));
    syncPrefs();
    return path;
}

QString takeRecoveryFileNotice()
{
    const QString path = getStringPrefValue(PrefKeys::RecoveredSetupFile, QString());
    if (path.isEmpty())
        return QString();
    setStringPrefValue(PrefKeys::RecoveredSetupFile, QString());
    syncPrefs();
    if (!QFileInfo::exists(path))
        return QString();
    return QStringLiteral("The setup that had unsaved changes when Quorvell was last stopped was kept in "
                          "\"%1\".")
        .arg(path);
}
