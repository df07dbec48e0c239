#include "persistence/AppPrefs.h"

#include "persistence/AppPrefsChangeNotifier.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <memory>

namespace {

QMutex& settingsMutex()
{
    static QMutex mutex;
    return mutex;
}

QString& storageDirectory()
{
    static QString directory;
    return directory;
}

// The one settings object of the program, made on first use (after any storage folder was set).
// Call with settingsMutex() held.
QSettings& appSettings()
{
    static std::unique_ptr<QSettings> settings;
    if (!settings) {
        if (!storageDirectory().isEmpty())
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, storageDirectory());
        settings =
            std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                        QStringLiteral("Dunmoor Software"), QStringLiteral("Quorvell"));
    }
    return *settings;
}

QVariant readValue(const QString& key)
{
    QMutexLocker locker(&settingsMutex());
    return appSettings().value(key);
}

void writeValue(const QString& key, const QVariant& value)
{
    {
        QMutexLocker locker(&settingsMutex());
        appSettings().setValue(key, value);
    }
    prefValueChangeNotify(key);
}

template <typename T> T readAs(const QString& key, const T& defaultValue)
{
    const QVariant value = readValue(key);
    if (!value.isValid())
        return defaultValue;
    QVariant converted = value;
    if (!converted.convert(QMetaType::fromType<T>()))
        return defaultValue;
    return converted.value<T>();
}

} // namespace

void setPrefsStorageDirectory(const QString& directory)
{
    QMutexLocker locker(&settingsMutex());
    storageDirectory() = directory;
}

bool hasPrefValueFor(const QString& key)
{
    QMutexLocker locker(&settingsMutex());
    return appSettings().contains(key);
}

bool getBoolPrefValue(const QString& key, bool defaultValue)
{
    return readAs<bool>(key, defaultValue);
}
void setBoolPrefValue(const QString& key, bool value)
{
    writeValue(key, value);
}
int getIntPrefValue(const QString& key, int defaultValue)
{
    return readAs<int>(key, defaultValue);
}
void setIntPrefValue(const QString& key, int value)
{
    writeValue(key, value);
}
double getDoublePrefValue(const QString& key, double defaultValue)
{
    return readAs<double>(key, defaultValue);
}
void setDoublePrefValue(const QString& key, double value)
{
    writeValue(key, value);
}

QString getStringPrefValue(const QString& key, const QString& defaultValue)
{
    return readAs<QString>(key, defaultValue);
}

void setStringPrefValue(const QString& key, const QString& value)
{
    writeValue(key, value);
}
QSize getSizePrefValue(const QString& key, const QSize& defaultValue)
{
    return readAs<QSize>(key, defaultValue);
}
void setSizePrefValue(const QString& key, const QSize& value)
{
    writeValue(key, value);
}

QPoint getPointPrefValue(const QString& key, const QPoint& defaultValue)
{
    return readAs<QPoint>(key, defaultValue);
}

void setPointPrefValue(const QString& key, const QPoint& value)
{
    writeValue(key, value);
}
QStringList getStringListPrefValue(const QString& key)
{
    return readAs<QStringList>(key, QStringList());
}
void setStringListPrefValue(const QString& key, const QStringList& value)
{
    writeValue(key, value);
}

QMap<QString, QVariant> getMapPrefValue(const QString& key)
{
    return readAs<QVariantMap>(key, QVariantMap());
}

void setMapPrefValue(const QString& key, QMap<QString, QVariant> value)
{
    writeValue(key, value);
}

void syncPrefs()
{
    QMutexLocker locker(&settingsMutex());
    appSettings().sync();
}

void prefValueChangeNotify(const QString& key)
{
    AppPrefsChangeNotifier::GetInstance()->prefValueChangeNotify(key);
}
