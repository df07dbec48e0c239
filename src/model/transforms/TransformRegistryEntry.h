#pragma once

#include <QObject>
#include <QString>

class MIDIDataTransform;
class QWidget;

/// One transform type as the registry knows it: its name (also the transform's object name and
/// the "name" attribute of its XML element), the category it is offered under, its icon, a
/// one-line description, and how to create an instance and an editor. Created without a parent;
/// the registry becomes its parent. GUI thread only.
class TransformRegistryEntry : public QObject
{
    Q_OBJECT

public:
    TransformRegistryEntry(const QString& name, const QString& categoryName, const QString& iconPath,
                           const QString& description);

    QString getName() const { return _name; }
    QString getCategoryName() const { return _categoryName; }
    QString getIconPath() const { return _iconPath; }
    QString getDescription() const { return _description; }

    /// A new transform of this type with the given parent.
    virtual MIDIDataTransform* createTransformInstance(QObject* parent) = 0;
    /// A new widget with the given parent that edits the transform; null when the program was
    /// built without the editors.
    virtual QWidget* createTransformEditorWidget(MIDIDataTransform* transform, QWidget* parent) = 0;

private:
    QString _name;
    QString _categoryName;
    QString _iconPath;
    QString _description;
};
