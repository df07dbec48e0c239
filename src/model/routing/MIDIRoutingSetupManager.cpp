#include "model/routing/MIDIRoutingSetupManager.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/SetupFileReaderWriter.h"

MIDIRoutingSetupManager* MIDIRoutingSetupManager::_instance = nullptr;

MIDIRoutingSetupManager* MIDIRoutingSetupManager::GetInstance()
{
    if (!_instance)
        _instance = new MIDIRoutingSetupManager();
    return _instance;
}

void MIDIRoutingSetupManager::setCurrentRoutingSetup(MIDIRoutingSetup* setup, bool deleteOld)
{
    if (_currentSetup) {
        disconnect(_currentSetup, nullptr, this, nullptr);
        _currentSetup->setParent(nullptr);
        // Making the current setup current again must not delete it under the caller.
        if (deleteOld && _currentSetup != setup)
            _currentSetup->deleteLater();
    }
    _currentSetup = setup;
    if (!setup)
        return;
    setup->setParent(this);
    connect(setup, &MIDIRoutingSetup::modifiedChangedTo, this,
            &MIDIRoutingSetupManager::_currentRSModifiedChangedToSLOT);
    connect(setup, &MIDIRoutingSetup::filePathChangedTo, this,
            &MIDIRoutingSetupManager::_currentRSFilePathChangedToSLOT);
    emit currentRoutingSetupSwitchedTo(setup);
}

void MIDIRoutingSetupManager::clearCurrentRoutingSetup(bool deleteOld)
{
    setCurrentRoutingSetup(nullptr, deleteOld);
    emit currentRoutingSetupCleared();
}

MIDIRoutingSetup* MIDIRoutingSetupManager::createNewRoutingSetup(bool makeCurrent, QString filePath)
{
    auto* setup = new MIDIRoutingSetup(QStringLiteral("no name"), this);
    if (!filePath.isEmpty())
        SetupFileReaderWriter::GetInstance()->readSetupFromDisk(setup, filePath);
    if (makeCurrent)
        setCurrentRoutingSetup(setup, true);
    return setup;
}

void MIDIRoutingSetupManager::_currentRSModifiedChangedToSLOT(bool modified)
{
    emit currentRoutingSetupModifiedChangedTo(modified);
}

void MIDIRoutingSetupManager::_currentRSFilePathChangedToSLOT(QString filePath)
{
    emit currentRoutingSetupFilePathChangedTo(filePath);
}

MIDIRoutingSetup* getCurrentRoutingSetup()
{
    return MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup();
}
