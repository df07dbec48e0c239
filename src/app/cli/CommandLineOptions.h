#pragma once

#include <QString>
#include <QStringList>

/// What the command line asks for. The GUI start keeps its old rule (an optional first argument
/// naming an existing ".ms" file, anything else ignored); the other modes are chosen by options.
class CommandLineOptions
{
public:
    enum class Mode
    {
        Gui,
        Headless,
        ListPorts,
        Check,
        Help,
        Version,
        Error
    };

    /// Reads the arguments after the program name.
    static CommandLineOptions parse(const QStringList& arguments);
    static QString usageText();

    Mode mode() const { return _mode; }
    /// The setup file for Headless and Check; for Gui, the file to open (possibly empty). For
    /// Check it may name a set list (".msl") instead.
    QString setupFile() const { return _setupFile; }
    /// --set-list FILE: the set list to play, headless or in the window (empty when not given).
    QString setListFile() const { return _setListFile; }
    /// "alsa", "jack" or empty.
    QString midiApi() const { return _midiApi; }
    /// The OSC remote's UDP port; 0 when the remote is off.
    int oscPort() const { return _oscPort; }
    /// The address the OSC remote listens on.
    QString oscBindAddress() const { return _oscBindAddress; }
    /// False with --no-initializers-on-open: the setup's active sounds send no initializers when
    /// it opens.
    bool initializersOnOpen() const { return _initializersOnOpen; }
    /// --fresh: a headless run starts on the outputs the file marks active, not the remembered ones.
    bool fresh() const { return _fresh; }
    /// For Error: one sentence saying what is wrong.
    QString errorText() const { return _errorText; }

private:
    Mode _mode = Mode::Gui;
    QString _setupFile;
    QString _setListFile;
    QString _midiApi;
    QString _errorText;
    int _oscPort = 0;
    QString _oscBindAddress = QStringLiteral("127.0.0.1");
    bool _initializersOnOpen = true;
    bool _fresh = false;
};
