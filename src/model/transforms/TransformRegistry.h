#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>

class MIDIDataTransform;
class QWidget;
class TransformRegistryEntry;

/// The one place that knows every transform type: names, categories in the order they were first
/// registered, icons, and creation of transforms and editors by name. Owns its entries. A
/// singleton; GUI thread only (start-up, menus, file reading, editors).
class TransformRegistry : public QObject
{
    Q_OBJECT

public:
    static TransformRegistry* GetInstance();

    /// Takes the entry (the registry becomes its parent), appends its category and name where
    /// they are new, and makes lookups of its name return it (an earlier entry of the same name
    /// stays a child but is no longer found).
    void registerTransform(TransformRegistryEntry* entry);

    void setIconPathForCategoryNamed(const QString& category, const QString& path);
    /// Empty for a category without an icon.
    QString getIconPathForCategoryNamed(const QString& category) const;
    QStringList getTransformCategoryNames() const;
    /// The category's entries in registration order; empty for an unknown category.
    QList<TransformRegistryEntry*> getTransformRegEntriesInCategory(const QString& category) const;
    /// The entry for the registry name, or null.
    TransformRegistryEntry* getRegistryEntryForTransformNamed(const QString& name) const;
    /// A new transform of the named type, or null for an unknown name.
    MIDIDataTransform* createInstanceOfTransformNamed(const QString& name, QObject* parent);
    /// The editor widget of the transform's type (found by the transform's name), or null.
    QWidget* createEditorForTransform(MIDIDataTransform* transform, QWidget* parent);

private:
    TransformRegistry() = default;
    static TransformRegistry* _instance;

    QStringList _categoryNames;
    QMap<QString, QString> _categoryIconPaths;
    QMap<QString, QStringList> _namesByCategory;
    QMap<QString, TransformRegistryEntry*> _entriesByName;
};

/// The singleton's createInstanceOfTransformNamed. GUI thread only.
MIDIDataTransform* createMIDIDataTransformOfType(const QString& name, QObject* parent);
/// The singleton's createEditorForTransform. GUI thread only.
QWidget* createEditorForTransform(MIDIDataTransform* transform, QWidget* parent);
