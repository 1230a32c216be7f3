#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

// A broken invariant ends the run with its text, so libFuzzer saves the input that did it.
[[noreturn]] inline void FuzzFail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "fuzz invariant broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

inline void Require(bool ok, const char* what, const QString& detail = QString()) {
    if (!ok)
        FuzzFail(what, detail);
}

// Runs body; only the exception type E may leave it, anything else ends the run.
template <class E, class Body> bool CatchOnly(const char* where, Body&& body) {
    try {
        body();
        return true;
    } catch (const E&) {
        return false;
    } catch (const std::exception& e) {
        FuzzFail(where, QString::fromUtf8(e.what()));
    } catch (...) {
        FuzzFail(where, QStringLiteral("unknown exception"));
    }
}

// Runs body, which must not throw at all.
template <class Body> void MustNotThrow(const char* where, Body&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        FuzzFail(where, QString::fromUtf8(e.what()));
    } catch (...) {
        FuzzFail(where, QStringLiteral("unknown exception"));
    }
}

// A text the user sees never carries an infinity or a not-a-number, whatever the letter case.
inline bool ShowsNonFinite(const QString& text) {
    return text.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("nan"), Qt::CaseInsensitive);
}
