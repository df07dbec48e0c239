#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

class QCheckBox;

/// The port list of the preferences dialog for one direction: per present port its name, a Use
/// check box and an editable display name. Edits stay in the tree until the dialog's OK. The two
/// directions are the twin subclasses below. GUI thread only.
class MIDIPortPrefsTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    /// Port name (column 0) to display name (column 2), for all rows.
    QMap<QString, QString> getPortAliases() const;
    /// Display names of all rows, in row order.
    QStringList getDisplayNames() const;
    /// Names of the ports whose Use box is off.
    QStringList getPortsToNotUse() const;
    /// The Use box of the row (tests and the dialog's validation).
    QCheckBox* useCheckBoxAt(int row) const;

protected:
    explicit MIDIPortPrefsTreeWidget(QWidget* parent);
    /// Fills the rows; called by the subclass's constructor, once its port operations are usable.
    void _initFromPortInfo();
    void contextMenuEvent(QContextMenuEvent* event) override;

    virtual QStringList _portNames() const = 0;
    virtual bool _shouldPortBeUsed(const QString& portName) const = 0;
    virtual bool _doesPortHaveAnAlias(const QString& portName) const = 0;
    virtual QString _portAlias(const QString& portName) const = 0;

private slots:
    void _resetDisplayNamesOfSelected();
};

/// The input ports' tree.
class MIDIInputPortPrefsTreeWidget : public MIDIPortPrefsTreeWidget
{
    Q_OBJECT

public:
    explicit MIDIInputPortPrefsTreeWidget(QWidget* parent);

protected:
    QStringList _portNames() const override;
    bool _shouldPortBeUsed(const QString& portName) const override;
    bool _doesPortHaveAnAlias(const QString& portName) const override;
    QString _portAlias(const QString& portName) const override;
};

/// The output ports' tree.
class MIDIOutputPortPrefsTreeWidget : public MIDIPortPrefsTreeWidget
{
    Q_OBJECT

public:
    explicit MIDIOutputPortPrefsTreeWidget(QWidget* parent);

protected:
    QStringList _portNames() const override;
    bool _shouldPortBeUsed(const QString& portName) const override;
    bool _doesPortHaveAnAlias(const QString& portName) const override;
    QString _portAlias(const QString& portName) const override;
};
