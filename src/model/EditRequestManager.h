#pragma once

#include <QObject>

/// The one channel through which the model asks whatever view shows an object to start editing
/// that object's name in place, so the model never refers to a widget. GUI thread only.
class EditRequestManager : public QObject
{
    Q_OBJECT

public:
    static EditRequestManager* GetInstance();

    void requestObjectNameEdit(QObject* object);

signals:
    void objectNameEditRequested(QObject* obj);

private:
    EditRequestManager() = default;
    static EditRequestManager* _instance;
};
