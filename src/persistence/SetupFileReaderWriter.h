#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class MIDIRoutingSetup;
class ProgressReporter;

/// Reads setups from and writes them to setup files (XML, ".ms"), with progress signals.
/// Files are written as UTF-8 with an XML declaration; older Latin-1 files are still read.
/// Writing is atomic: the previous file is replaced only once the new one is completely written.
/// Every failure is posted as one error sentence naming the file and the reason, and reported to
/// the caller; a setup that could not be read is left exactly as it was. GUI thread only.
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
    /// byte for byte and the setup keeps its path and stays modified. Returns whether it was
    /// written.
    bool saveSetupToDisk(MIDIRoutingSetup* setup, QString path);

    /// Reads a setup document held in memory into the setup, as readSetupFromDisk does with a
    /// file's bytes, except that the setup's file path is left alone and no open signals other
    /// than the progress are emitted. `sourceName` names the document in error messages.
    bool readSetupFromDocumentBytes(MIDIRoutingSetup* setup, const QByteArray& bytes,
                                    const QString& sourceName);

    /// The document text the writer produces for a setup (UTF-8 with an XML declaration). The
    /// reporter, when given, counts the routes written.
    static QByteArray setupDocumentBytes(MIDIRoutingSetup* setup, ProgressReporter* progress = nullptr);

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
