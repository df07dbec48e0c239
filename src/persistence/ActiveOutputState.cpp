#include "persistence/ActiveOutputState.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr int kFormatVersion = 1;

QString absolute(const QString& setupFile)
{
    return QFileInfo(setupFile).absoluteFilePath();
}

} // namespace

QString ActiveOutputState::stateDirectory()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is ignored, as the XDG base directories require.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(base).filePath(QStringLiteral("quorvell"));
}

QString ActiveOutputState::stateFilePathFor(const QString& setupFile)
{
    const QString path = absolute(setupFile);
    const QByteArray pathHash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(12);
    return QDir(stateDirectory())
        .filePath(QStringLiteral("%1-%2.state")
                      .arg(QFileInfo(path).completeBaseName(), QString::fromLatin1(pathHash)));
}

QByteArray ActiveOutputState::contentHash(const QString& setupFile)
{
    QFile file(setupFile);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

ActiveOutputState ActiveOutputState::capture(MIDIRoutingSetup* setup)
{
    ActiveOutputState state;
    if (!setup)
        return state;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        Input input;
        input.name = route->getName();
        if (MIDIOutput* active = route->getActiveMIDIOutput()) {
            input.activeOutput = active->getName();
            for (int o = 0; o < route->getNumMIDIOutputs(); ++o)
                if (route->getMIDIOutputAtIndex(o) == active)
                    input.activeOutputIndex = o;
        }
        state._inputs.append(input);
    }
    state._valid = true;
    return state;
}

bool ActiveOutputState::save(const QString& statePath, const QString& setupFile, const QByteArray& hash,
                             QString* errorText) const
{
    auto fail = [errorText](const QString& text) {
        if (errorText)
            *errorText = text;
        return false;
    };
    const QString folder = QFileInfo(statePath).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(
            QStringLiteral("The state folder \"%1\" cannot be made.").arg(QDir::toNativeSeparators(folder)));

    QJsonArray inputs;
    for (const Input& input : _inputs) {
        inputs.append(QJsonObject{{QStringLiteral("input"), input.name},
                                  {QStringLiteral("activeOutput"), input.activeOutput},
                                  {QStringLiteral("activeOutputIndex"), input.activeOutputIndex}});
    }
    const QJsonObject root{{QStringLiteral("version"), kFormatVersion},
                           {QStringLiteral("setupFile"), absolute(setupFile)},
                           {QStringLiteral("setupHash"), QString::fromLatin1(hash)},
                           {QStringLiteral("inputs"), inputs}};
    const QByteArray bytes = QJsonDocument(root).toJson();
    QSaveFile file(statePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(QStringLiteral("The state file \"%1\" cannot be written: %2.")
                        .arg(QDir::toNativeSeparators(statePath), file.errorString()));
    return true;
}

ActiveOutputState ActiveOutputState::load(const QString& statePath, const QString& setupFile,
                                          const QByteArray& hash, QString* whyNot)
{
    ActiveOutputState state;
    auto notTaken = [&state, whyNot](const QString& text) {
        if (whyNot)
            *whyNot = text;
        return state;
    };
    QFile file(statePath);
    if (!file.exists())
        return notTaken(QString());
    if (!file.open(QIODevice::ReadOnly))
        return notTaken(QStringLiteral("The state file \"%1\" cannot be read: %2.")
                            .arg(QDir::toNativeSeparators(statePath), file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(1 << 20), &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value(QStringLiteral("version")).toInt() != kFormatVersion ||
        !root.value(QStringLiteral("inputs")).isArray())
        return notTaken(QStringLiteral("The state file \"%1\" is damaged; it is ignored.")
                            .arg(QDir::toNativeSeparators(statePath)));
    if (root.value(QStringLiteral("setupFile")).toString() != absolute(setupFile) || hash.isEmpty() ||
        root.value(QStringLiteral("setupHash")).toString().toLatin1() != hash)
        return notTaken(QStringLiteral("The setup file changed since the last run; it starts on the outputs "
                                       "it marks active."));

    for (const QJsonValue& value : root.value(QStringLiteral("inputs")).toArray()) {
        const QJsonObject object = value.toObject();
        Input input;
        input.name = object.value(QStringLiteral("input")).toString();
        input.activeOutput = object.value(QStringLiteral("activeOutput")).toString();
        input.activeOutputIndex = object.value(QStringLiteral("activeOutputIndex")).toInt(-1);
        state._inputs.append(input);
    }
    state._valid = true;
    return state;
}

int ActiveOutputState::applyTo(MIDIRoutingSetup* setup) const
{
    if (!_valid || !setup)
        return 0;
    int switched = 0;
    const int count = std::min(int(_inputs.size()), setup->getNumMIDIRoutes());
    for (int r = 0; r < count; ++r) {
        const Input& input = _inputs.at(r);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        if (route->getName() != input.name || input.activeOutputIndex < 0 ||
            input.activeOutputIndex >= route->getNumMIDIOutputs())
            continue;
        MIDIOutput* output = route->getMIDIOutputAtIndex(input.activeOutputIndex);
        if (output->getName() != input.activeOutput || output == route->getActiveMIDIOutput())
            continue;
        route->setActiveMIDIOutput(output);
        ++switched;
    }
    return switched;
}
