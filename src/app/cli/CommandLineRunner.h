#pragma once

class CommandLineOptions;

/// Runs every mode but the window: headless routing, port listing, setup checking, help and
/// version. Makes its own QCoreApplication, so no display is needed. Returns the exit status.
class CommandLineRunner
{
public:
    static int run(int& argc, char** argv, const CommandLineOptions& options);
};
