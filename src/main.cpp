#include "app/GuiStartup.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/CommandLineRunner.h"
#include "midi/MIDIBackendChoice.h"

#include <QStringList>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOptions options = CommandLineOptions::parse(arguments);
    if (options.mode() == CommandLineOptions::Mode::Gui) {
        if (!options.midiApi().isEmpty())
            MIDIBackendChoice::setPreferredApi(options.midiApi());
        return GuiStartup::run(argc, argv, options);
    }
    return CommandLineRunner::run(argc, argv, options);
}
