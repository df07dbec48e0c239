#pragma once

#include <QString>
#include <QTest>

/// Whether the private JACK server of the test run can be used.
enum class JackServerState
{
    NotConfigured, ///< JACK_DEFAULT_SERVER is unset: the run has no private server.
    Unreachable,   ///< JACK_DEFAULT_SERVER is set but no server of that name answers.
    Running        ///< The server answers.
};

/// Asks the server named by JACK_DEFAULT_SERVER, never starting one. `detail` receives why it
/// cannot be used.
JackServerState checkJackServer(QString* detail = nullptr);

/// Skips the calling test function when the run has no private JACK server, and fails it when one
/// was named but cannot be reached. Use first thing in a test function (initTestCase skips the file).
#define QUORVELL_REQUIRE_JACK_SERVER()                                                                       \
    do {                                                                                                     \
        QString quorvellJackDetail;                                                                          \
        const JackServerState quorvellJackState = checkJackServer(&quorvellJackDetail);                      \
        if (quorvellJackState == JackServerState::NotConfigured)                                             \
            QSKIP(                                                                                           \
                "JACK_DEFAULT_SERVER is not set: this test needs the private JACK server of scripts/test");  \
        if (quorvellJackState == JackServerState::Unreachable)                                               \
            QFAIL(qPrintable(quorvellJackDetail));                                                           \
    } while (false)
