#pragma once

#include <QString>

class CommandLineOptions;

/// The windowed start: application object, style, port check, type registries, the window, the
/// first setup (the file given, else the most recent one, else a new setup with one input), the
/// OSC remote control, the event loop, and a clean stop when it ends. GUI thread only.
class GuiStartup
{
public:
    static int run(int& argc, char** argv, const CommandLineOptions& options);

    /// Whether a window can be opened as far as the environment tells: a display for the X or
    /// Wayland platforms (the default), or another platform chosen with QT_QPA_PLATFORM.
    static bool environmentOffersDisplay();
    /// The one line printed, and the exit status, when there is no display.
    static QString noDisplayMessage();
    static constexpr int kNoDisplayExitStatus = 2;
};
