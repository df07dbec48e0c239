#include "app/cli/CommandLineOptions.h"

#include "app/cli/SetListReport.h"
#include "midi/MIDIBackendChoice.h"

#include <QFile>

namespace {

CommandLineOptions::Mode modeForOption(const QString& option)
{
    if (option == QLatin1String("--headless"))
        return CommandLineOptions::Mode::Headless;
    if (option == QLatin1String("--check"))
        return CommandLineOptions::Mode::Check;
    if (option == QLatin1String("--list-ports"))
        return CommandLineOptions::Mode::ListPorts;
    if (option == QLatin1String("--help") || option == QLatin1String("-h"))
        return CommandLineOptions::Mode::Help;
    if (option == QLatin1String("--version") || option == QLatin1String("-v"))
        return CommandLineOptions::Mode::Version;
    return CommandLineOptions::Mode::Gui;
}

} // namespace

CommandLineOptions CommandLineOptions::parse(const QStringList& arguments)
{
    CommandLineOptions options;
    auto fail = [&options](const QString& text) {
        options._mode = Mode::Error;
        options._errorText = text;
        return options;
    };

    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        // "--name value" or "--name=value"; false when the value is missing.
        auto optionValue = [&](const QString& name, QString* value) {
            if (argument.startsWith(name + QLatin1Char('='))) {
                *value = argument.mid(name.size() + 1);
                return true;
            }
            if (i + 1 < arguments.size()) {
                *value = arguments.at(++i);
                return true;
            }
            return false;
        };
        if (argument == QLatin1String("--osc-port") || argument.startsWith(QLatin1String("--osc-port="))) {
            QString value;
            bool number = false;
            const int port = optionValue(QStringLiteral("--osc-port"), &value) ? value.toInt(&number) : 0;
            if (!number || port < 1 || port > 65535)
                return fail(QStringLiteral("--osc-port needs a port number from 1 to 65535."));
            options._oscPort = port;
            continue;
        }
        if (argument == QLatin1String("--osc-bind") || argument.startsWith(QLatin1String("--osc-bind="))) {
            QString value;
            if (!optionValue(QStringLiteral("--osc-bind"), &value) || value.isEmpty())
                return fail(
                    QStringLiteral("--osc-bind needs an IPv4 address to listen on, such as 0.0.0.0."));
            options._oscBindAddress = value;
            continue;
        }
        if (argument == QLatin1String("--midi-api") || argument.startsWith(QLatin1String("--midi-api="))) {
            QString api;
            if (argument.contains(QLatin1Char('='))) {
                api = argument.section(QLatin1Char('='), 1);
            } else if (i + 1 < arguments.size()) {
                api = arguments.at(++i);
            } else {
                return fail(QStringLiteral("--midi-api needs a value: alsa, jack or jack-rtmidi."));
            }
            api = api.toLower();
            if (!MIDIBackendChoice::isKnownApi(api))
                return fail(
                    QStringLiteral("Unknown MIDI API \"%1\": use alsa, jack or jack-rtmidi.").arg(api));
            options._midiApi = api;
            continue;
        }
        if (argument == QLatin1String("--set-list") || argument.startsWith(QLatin1String("--set-list="))) {
            QString value;
            if (!optionValue(QStringLiteral("--set-list"), &value) || value.isEmpty() ||
                (!argument.contains(QLatin1Char('=')) && value.startsWith(QLatin1String("--"))))
                return fail(QStringLiteral("--set-list needs a set list file (.msl)."));
            options._setListFile = value;
            continue;
        }
        if (argument == QLatin1String("--no-initializers-on-open")) {
            options._initializersOnOpen = false;
            continue;
        }
        if (argument == QLatin1String("--fresh")) {
            options._fresh = true;
            continue;
        }
        rest << argument;
    }

    Mode chosen = Mode::Gui;
    for (const QString& argument : std::as_const(rest)) {
        const Mode mode = modeForOption(argument);
        if (mode == Mode::Gui)
            continue;
        if (chosen != Mode::Gui && chosen != mode)
            return fail(
                QStringLiteral("Choose one of --headless, --check, --list-ports, --help, --version."));
        chosen = mode;
    }

    if (chosen == Mode::Headless && !options._setListFile.isEmpty()) {
        // The set list names the setups; a setup file as well would be one too many.
        const int at = rest.indexOf(QStringLiteral("--headless"));
        if (at + 1 < rest.size() && !rest.at(at + 1).startsWith(QLatin1String("--")))
            return fail(QStringLiteral("--headless plays either a setup file or a --set-list, not both."));
        options._mode = chosen;
        return options;
    }
    if (chosen == Mode::Headless || chosen == Mode::Check) {
        const QString option =
            chosen == Mode::Headless ? QStringLiteral("--headless") : QStringLiteral("--check");
        const int at = rest.indexOf(option);
        if (at + 1 >= rest.size() || rest.at(at + 1).startsWith(QLatin1String("--")))
            return fail(chosen == Mode::Check
                            ? QStringLiteral("--check needs a setup file (.ms) or a set list (.msl).")
                            : QStringLiteral("%1 needs a setup file (.ms).").arg(option));
        options._setupFile = rest.at(at + 1);
        // A service unit names one file: "--headless friday.msl" plays that set list.
        if (chosen == Mode::Headless && SetListReport::isSetListFile(options._setupFile)) {
            options._setListFile = options._setupFile;
            options._setupFile.clear();
        }
        options._mode = chosen;
        return options;
    }
    options._mode = chosen;
    if (chosen == Mode::Gui && !rest.isEmpty()) {
        // The GUI opens its first argument only when it is an existing file ending in ".ms";
        // anything else is ignored.
        const QString& first = rest.first();
        if (first.endsWith(QLatin1String(".ms")) && QFile::exists(first))
            options._setupFile = first;
    }
    return options;
}

QString CommandLineOptions::usageText()
{
    return QStringLiteral(
        "Usage: quorvell [FILE.ms] [--osc-port N [--osc-bind ADDRESS]]\n"
        "       quorvell --headless FILE.ms [--midi-api API] [--no-initializers-on-open]\n"
        "                [--fresh] [--osc-port N [--osc-bind ADDRESS]]\n"
        "       quorvell --headless --set-list FILE.msl [--midi-api API] [--osc-port N ...]\n"
        "       quorvell --set-list FILE.msl\n"
        "       quorvell --check FILE.ms|FILE.msl [--midi-api API]\n"
        "       quorvell --list-ports [--midi-api API]\n"
        "       quorvell --help | --version\n"
        "\n"
        "  FILE.ms             open this setup in the window\n"
        "  --headless FILE.ms  route MIDI through the setup with no window until SIGINT or SIGTERM;\n"
        "                      SIGUSR1 sends all notes off; messages go to stderr\n"
        "  --fresh             with --headless: start on the outputs the file marks active, not on\n"
        "                      the ones active when the same, unchanged file last stopped\n"
        "  --set-list FILE.msl play the set list from its first song (with --headless: SIGUSR2\n"
        "                      plays the next song; the list's MIDI triggers change songs too)\n"
        "  --check FILE.ms     print what the setup holds and every problem found; exit status 0\n"
        "                      only when it reads cleanly\n"
        "  --check FILE.msl    check the set list and every song in it, naming each broken one\n"
        "  --list-ports        list the MIDI input and output ports and the MIDI service in use\n"
        "  --midi-api API      alsa: ALSA; jack: JACK, routing inside the JACK cycle; jack-rtmidi:\n"
        "                      JACK through RtMidi (same as QUORVELL_MIDI_API); by default ALSA where\n"
        "                      it opens, else JACK\n"
        "  --osc-port N        take remote control over OSC (UDP) on port N; off unless given\n"
        "  --osc-bind ADDRESS  the address the OSC remote listens on (default 127.0.0.1: this\n"
        "                      machine only; 0.0.0.0 for every network)\n"
        "  --no-initializers-on-open\n"
        "                      do not send the active sounds' initializers when the setup opens\n"
        "                      (for synths set by hand); switching sounds still sends them\n");
}
