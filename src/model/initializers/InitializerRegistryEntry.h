#pragma once

#include <QObject>
#include <QString>
#include <functional>

class MIDIPatchInitializer;
class QWidget;

/// One initializer type in the registry: its type name, the path of its 16x16 icon in the
/// application's resources, a one-line description, and how to make an initializer of the type and
/// an editor for one. The core knows no widgets: the GUI library installs the editor-making function
/// (setEditorFactory) and the core only passes the pointers through. GUI thread only.
class InitializerRegistryEntry : public QObject
{
    Q_OBJECT

public:
    using EditorFactory = std::function<QWidget*(MIDIPatchInitializer* initializer, QWidget* parent)>;

    InitializerRegistryEntry(QString name, QString iconPath, QString description);

    QString getName() const { return _name; }
    QString getIconPath() const { return _iconPath; }
    QString getDescription() const { return _description; }

    /// A new initializer of this type with its constructor defaults, owned by the parent.
    virtual MIDIPatchInitializer* createInitializerInstance(QObject* parent) = 0;
    /// The editor widget for an initializer of this type, made by the installed editor factory;
    /// null while none is installed.
    virtual QWidget* createInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    /// Installs (or, with an empty function, removes) the function that makes editor widgets.
    void setEditorFactory(EditorFactory factory);
    bool hasEditorFactory() const { return static_cast<bool>(_editorFactory); }

private:
    const QString _name;
    const QString _iconPath;
    const QString _description;
    EditorFactory _editorFactory;
};
