#include "model/routing/MIDIRoutingSetupManager.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/SetupFileReaderWriter.h"

MIDIRoutingSetupManager* MIDIRoutingSetupManager::_instance = nullptr;

MIDIRoutingSetupManager* MIDIRoutingSetupManager::GetInstance()
{
    if (!_instance)
        _instance = new MIDIRoutingSetupManager();
    return _instance;
}

bool MIDIRoutingSetupManager::sendsInitializersOnOpen() const
{
    return _initializersOnOpenAllowed && getBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens,
                                                          PrefKeys::SendInitializersWhenSetupOpensDefault);
}

void MIDIRoutingSetupManager::setCurrentRoutingSetup(MIDIRoutingSetup* setup, bool deleteOld)
{
    const bool opened = setup && setup != _currentSetup;
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
    // Reading sent nothing; now that the setup is read and its ports are open and connected, the
    // synths hear the active sounds' initializers once, before the first note. A port that is
    // missing now gets them when it appears (MIDIPatchTarget::outputPortReturned), not here.
    if (opened && _currentSetup == setup && sendsInitializersOnOpen())
        setup->sendActiveOutputsInitializers();
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
