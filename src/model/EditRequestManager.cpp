#include "model/EditRequestManager.h"

EditRequestManager* EditRequestManager::_instance = nullptr;

EditRequestManager* EditRequestManager::GetInstance()
{
    if (!_instance)
        _instance = new EditRequestManager();
    return _instance;
}

void EditRequestManager::requestObjectNameEdit(QObject* object)
{
    emit objectNameEditRequested(object);
}
