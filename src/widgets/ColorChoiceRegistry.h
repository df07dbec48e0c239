#pragma once

#include "widgets/ColorChoice.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

/// The ten colour labels of the application, in the order whose index model objects store. The
/// slots are made once with their defaults and then take the colours and names stored in the
/// preferences; every later change of a label is written back at once. GUI thread only.
class ColorChoiceRegistry : public QObject
{
    Q_OBJECT

public:
    static ColorChoiceRegistry* GetInstance();

    int getNumRegisteredColors() const { return _choices.size(); }
    /// Null when the index is out of range.
    ColorChoice* getColorChoiceAtIndex(int index) const;
    /// -1 when the choice is not registered.
    int getIndexOfColorChoice(ColorChoice* choice) const;
    /// Empty for a bad index.
    QString getNameOfColorChoiceAtIndex(int index) const;
    /// An invalid colour for a bad index.
    QColor getColorOfChoiceAtIndex(int index) const;

    /// Takes ownership, follows the choice's changes and appends it.
    void registerColorChoice(ColorChoice* choice);

    /// The ten default labels, as values (the preferences dialog resets its swatches to these).
    static QList<ColorChoice> getDefaultColorChoices();

    /// Writes colour and name of every label, in index order; nothing while loading.
    void saveColorChoicesToPrefs();

signals:
    void colorChoiceAtIndexChangedColorTo(int colorChoiceIndex, QColor newColor);
    void colorChoiceAtIndexChangedNameTo(int colorChoiceIndex, QString newName);

private slots:
    void _choiceColorChangedToSLOT(const QColor& newColor);
    void _choiceNameChangedToSLOT(const QString& newName);

private:
    ColorChoiceRegistry();
    void _loadFromPrefs();

    static ColorChoiceRegistry* _instance;
    QList<ColorChoice*> _choices;
    bool _loading = false;
};

/// The registry, made on first use.
ColorChoiceRegistry* getColorChoiceRegistryInstance();
