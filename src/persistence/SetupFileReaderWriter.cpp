#include "persistence/SetupFileReaderWriter.h"

#include "app/StatusManager.h"
#include "model/MIDIRoutingSetup.h"
#include "persistence/ProgressReporter.h"
#include "persistence/SetupDocumentParser.h"

#include <QDir>
#include <QDomImplementation>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

SetupFileReaderWriter* SetupFileReaderWriter::_instance = nullptr;

SetupFileReaderWriter* SetupFileReaderWriter::GetInstance()
{
    if (!_instance)
        _instance = new SetupFileReaderWriter();
    return _instance;
}

bool SetupFileReaderWriter::readSetupFromDisk(MIDIRoutingSetup* setup, QString path)
{
    if (!setup)
        return false;
    if (path.isEmpty())
        path = setup->getFilePath();
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        postErrorMessage(QStringLiteral("The setup file \"%1\" does not exist.").arg(shown));
        return false;
    }

    emit setupFileOpenStarting(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        postErrorMessage(
            QStringLiteral("Could not open the setup file \"%1\": %2.").arg(shown, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    QDomDocument document;
    QString parseError;
    if (!SetupDocumentParser::parse(bytes, &document, &parseError)) {
        postErrorMessage(QStringLiteral("\"%1\" is not a readable setup file (%2).").arg(shown, parseError));
        return false;
    }
    const QDomElement root = document.documentElement();
    if (root.tagName() != setup->getObjTypeName()) {
        postErrorMessage(QStringLiteral("\"%1\" is not a setup file: it holds \"%2\" instead of \"%3\".")
                             .arg(shown, root.tagName(), setup->getObjTypeName()));
        return false;
    }

    ProgressReporter progress;
    connect(&progress, &ProgressReporter::progressUpdated, this,
            &SetupFileReaderWriter::_openProgressUpdatedSLOT);
    setup->initFromDomElement(root, &progress);
    setup->setFilePath(path);
    setup->setModified(false);
    emit setupFileOpenFinished();
    return true;
}

QByteArray SetupFileReaderWriter::setupDocumentBytes(MIDIRoutingSetup* setup, QObject* progressReceiver)
{
    QDomImplementation implementation;
    QDomDocument document(
        implementation.createDocumentType(QStringLiteral("MIDIRoutingSetupDocument"), QString(), QString()));
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    ProgressReporter progress;
    if (auto* self = qobject_cast<SetupFileReaderWriter*>(progressReceiver))
        connect(&progress, &ProgressReporter::progressUpdated, self,
                &SetupFileReaderWriter::_saveProgressUpdatedSLOT);
    QDomElement root = setup->toDomElement(document, &progress);
    root.setAttribute(QStringLiteral("documentVersion"), QStringLiteral("1.0"));
    document.appendChild(root);
    return document.toByteArray(1);
}

bool SetupFileReaderWriter::saveSetupToDisk(MIDIRoutingSetup* setup, QString path)
{
    if (!setup)
        return false;
    if (path.isEmpty())
        path = setup->getFilePath();
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty()) {
        postErrorMessage(QStringLiteral("The setup has no file to be saved to."));
        return false;
    }

    emit setupFileSaveStarting(path);
    const QByteArray bytes = setupDocumentBytes(setup, this);

    // The old file is replaced only when the new one is completely written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        postErrorMessage(
            QStringLiteral("Could not save the setup to \"%1\": %2.").arg(shown, file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        postErrorMessage(
            QStringLiteral("Could not save the setup to \"%1\": %2.").arg(shown, file.errorString()));
        file.cancelWriting();
        return false;
    }
    setup->setFilePath(path);
    setup->setModified(false);
    emit setupFileSaveFinished();
    return true;
}

void SetupFileReaderWriter::_openProgressUpdatedSLOT(int currStep, int numSteps)
{
    emit setupFileOpenProgress(currStep, numSteps);
}

void SetupFileReaderWriter::_saveProgressUpdatedSLOT(int currStep, int numSteps)
{
    emit setupFileSaveProgress(currStep, numSteps);
}
