#pragma once

#include "model/transforms/TransformRegistryEntry.h"

/// Creates a transform of one type with the given parent.
using TransformFactory = MIDIDataTransform* (*)(QObject* parent);
/// Creates the editor widget of one transform type with the given parent.
using TransformEditorFactory = QWidget* (*)(MIDIDataTransform* transform, QWidget* parent);

/// The registry entry of a built-in transform type. The transform half is a factory function of
/// the core; the editor half is a factory function that the GUI library installs at start-up
/// (registerBuiltInTransformEditors), so the core never depends on widgets. GUI thread only.
class BuiltInTransformRegistryEntry : public TransformRegistryEntry
{
    Q_OBJECT

public:
    BuiltInTransformRegistryEntry(const QString& name, const QString& categoryName, const QString& iconPath,
                                  const QString& description, bool editable, TransformFactory factory);

    /// What every transform of this type answers from hasEditableParameters().
    bool hasEditableParameters() const { return _editable; }

    MIDIDataTransform* createTransformInstance(QObject* parent) override;
    /// The installed editor factory's widget; null while none is installed.
    QWidget* createTransformEditorWidget(MIDIDataTransform* transform, QWidget* parent) override;

    void setEditorFactory(TransformEditorFactory editorFactory) { _editorFactory = editorFactory; }
    bool hasEditorFactory() const { return _editorFactory != nullptr; }

private:
    bool _editable;
    TransformFactory _factory;
    TransformEditorFactory _editorFactory = nullptr;
};
