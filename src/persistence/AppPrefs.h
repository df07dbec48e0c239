#pragma once

#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

// Typed access to the per-user preferences store. Every setter writes the value and then announces
// the key through AppPrefsChangeNotifier. A missing or unreadable value yields the getter's default.
// The store is guarded by a mutex, so a stray read from another thread is safe, but the design
// calls these from the GUI thread.

/// Points the store at a folder of its own (tests, portable runs). Call before the first access.
void setPrefsStorageDirectory(const QString& directory);

bool hasPrefValueFor(const QString& key);

bool getBoolPrefValue(const QString& key, bool defaultValue);
void setBoolPrefValue(const QString& key, bool value);
int getIntPrefValue(const QString& key, int defaultValue);
void setIntPrefValue(const QString& key, int value);
double getDoublePrefValue(const QString& key, double defaultValue);
void setDoublePrefValue(const QString& key, double value);
QString getStringPrefValue(const QString& key, const QString& defaultValue);
void setStringPrefValue(const QString& key, const QString& value);
QSize getSizePrefValue(const QString& key, const QSize& defaultValue);
void setSizePrefValue(const QString& key, const QSize& value);
QPoint getPointPrefValue(const QString& key, const QPoint& defaultValue);
void setPointPrefValue(const QString& key, const QPoint& value);
QStringList getStringListPrefValue(const QString& key);
void setStringListPrefValue(const QString& key, const QStringList& value);
QMap<QString, QVariant> getMapPrefValue(const QString& key);
void setMapPrefValue(const QString& key, QMap<QString, QVariant> value);

/// Writes pending changes to disk now (Qt also does it at exit).
void syncPrefs();

/// Emits AppPrefsChangeNotifier::prefValueChanged with the key.
void prefValueChangeNotify(const QString& key);
