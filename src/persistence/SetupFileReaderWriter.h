#pragma once

#include <QObject>
#include <QString>

class MIDIRoutingSetup;

/// Reads setups from and writes them to setup files (XML, ".ms"), with progress signals.
/// Writing is atomic: the previous file is replaced only once the new one is complete. Every
/// failure is posted as an error with the path and the reason, and reported to the caller.
/// GUI thread only.
class SetupFileReaderWriter : public QObject
{
    Q_OBJECT

public:
    static SetupFileReaderWriter* GetInstance();

    /// Reads the file (the setup's own path when `path` is empty) into the setup. On success the
    /// setup takes the path and is not modified. On failure an error is posted and the setup is
    /// left as it was. Returns whether it was read.
    bool readSetupFromDisk(MIDIRoutingSetup* setup, QString path);
    /// Writes the setup to the file (its own path when `path` is empty). On success the setup
    /// takes the path and is not modified; on failure an error is posted, the old file is kept
    /// and the setup stays modified. Returns whether it was written.
    bool saveSetupToDisk(MIDIRoutingSetup* setup, QString path);

    /// The document text the writer produces for a setup (UTF-8 with an XML declaration).
    static QByteArray setupDocumentBytes(MIDIRoutingSetup* setup, QObject* progressReceiver = nullptr);

signals:
    void setupFileOpenStarting(QString filePath);
    void setupFileOpenProgress(int currentProgressStep, int numProgressSteps);
    void setupFileOpenFinished();
    void setupFileSaveStarting(QString filePath);
    void setupFileSaveProgress(int currentProgressStep, int numProgressSteps);
    void setupFileSaveFinished();

private slots:
    void _openProgressUpdatedSLOT(int currStep, int numSteps);
    void _saveProgressUpdatedSLOT(int currStep, int numSteps);

private:
    SetupFileReaderWriter() = default;
    static SetupFileReaderWriter* _instance;
};
