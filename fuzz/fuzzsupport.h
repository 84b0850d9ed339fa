#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace telx5::fuzz {

// One application object for the whole run, made before the first input:
// timers, code pages and files want one, and making it per input is slow.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "telx5-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// An oracle that does not hold: names it and what was seen, then aborts so
// that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char *oracle, const QString &seen = {})
{
    std::fprintf(stderr, "\n*** oracle failed: %s\n%s\n", oracle, seen.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace telx5::fuzz
