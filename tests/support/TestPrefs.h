#pragma once

#include <QString>

/// Points the preferences store at a fresh temporary folder for the life of the test process,
/// so no test ever reads or writes a real user's settings. Call first thing in initTestCase().
QString useTemporaryPrefs();
