#pragma once

#include "midi/MIDIPortType.h"
#include "midi/MIDITypes.h"
#include "widgets/ShrinkableTextMenuButton.h"

class QAction;
class QMenu;

/// The button from which a port and a channel are chosen: it shows the port's display name and
/// the channel, and pops up a menu of the ports (under their display names; the ones the user
/// switched off left out), each with "Any" and the channels 1 to 16. The menu marks the current
/// choice and, in bold italics, what the current setup already uses. A choice is announced with
/// the modifiers held at that moment; hosts give them their meaning. GUI thread only.
class MIDIPortChannelSelector : public ShrinkableTextMenuButton
{
    Q_OBJECT

public:
    MIDIPortChannelSelector(MIDIPortType portType, QWidget* parent);

    MIDIPortType getPortType() const { return _portType; }
    /// Empty when no port is chosen.
    QString getMIDIPortName() const { return _portName; }
    /// 0 to 15 for channels 1 to 16, 127 for any channel.
    BYTE getMIDIChannel() const { return _channel; }

    /// Stores port and channel and shows them; announces them with the modifiers only when asked.
    void setMIDIPortNameAndChannel(const QString& portName, BYTE channel, Qt::KeyboardModifiers modifiers,
                                   bool emitChange);
    /// Shows a named port that is not open (or not present) in italics, and says so in the tool tip.
    void indicatePortOpen(bool open);

    /// The port's display name: the user's alias when there is one, else the port name.
    QString getDisplayNameOfPort(const QString& portName) const;

    /// The menu as it would pop up now, without a parent (the caller deletes it).
    QMenu* createPortMenu();
    /// Takes the choice of an action of such a menu; null (menu dismissed) changes nothing.
    void applyMenuChoice(QAction* chosen, Qt::KeyboardModifiers modifiers);

signals:
    void portAndChannelChangedTo(QString portName, BYTE channelIdx, Qt::KeyboardModifiers modifiers);

private slots:
    void _menuRequestedSLOT();
    void _portAliasedToSLOT(const QString& portName, const QString& aliasedTo);

private:
    void _refresh();
    QString _channelText() const;

    MIDIPortType _portType;
    QString _portName;
    BYTE _channel = 0;
    bool _portOpen = true;
};
