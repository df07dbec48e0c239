#pragma once

#include <QString>

/// The windowed start: application object, style, port check, type registries, the window, the
/// first setup (the file given, else the most recent one, else a new setup with one input), the
/// event loop, and a clean stop when it ends. GUI thread only.
class GuiStartup
{
public:
    static int run(int& argc, char** argv, const QString& setupFileFromCommandLine);
};
