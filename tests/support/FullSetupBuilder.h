#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class MIDIRoutingSetup;

/// The twenty-one transform types by their registry names, in menu order.
QStringList allTransformTypeNames();
/// The six initializer types by their registry names.
QStringList allInitializerTypeNames();

/// A value map string holding every value 0 to 127 exactly once (control characters and NUL
/// included), scrambled by the seed so that different transforms get different maps.
QString everyValueMapText(int seed);

/// A setup that uses everything a setup file can hold: three inputs (keyswitch, controller with
/// ranges, program change) on the routing test rig's ports, several outputs and patches, every
/// transform type created by registry name and every initializer type, delays of both kinds,
/// mutes, "Any" channels, color labels, collapsed objects, editor positions, bypassed transforms,
/// names outside ASCII and value maps holding every value 0 to 127. The second input is active,
/// and in the first input the second output. Needs RoutingTestRig installed; fills the registries.
MIDIRoutingSetup* buildSetupUsingEverything(QObject* parent = nullptr);
