#pragma once

#include <QItemDelegate>

/// Lets only the Display Name column of a port tree be edited, with a plain line editor.
class PortAliasEditorDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kDisplayNameColumn = 2;

    explicit PortAliasEditorDelegate(QObject* parent) : QItemDelegate(parent) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

/// The delegate of the input ports' tree.
class InputAliasEditorDelegate : public PortAliasEditorDelegate
{
    Q_OBJECT

public:
    explicit InputAliasEditorDelegate(QObject* parent) : PortAliasEditorDelegate(parent) {}
};

/// The delegate of the output ports' tree.
class OutputAliasEditorDelegate : public PortAliasEditorDelegate
{
    Q_OBJECT

public:
    explicit OutputAliasEditorDelegate(QObject* parent) : PortAliasEditorDelegate(parent) {}
};
