#pragma once

// Helpers shared by the fuzz harnesses.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace qev::fuzz {

// Fuzz bytes as text the way the program meets it: UTF-8 that may be broken.
inline QString text(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A broken invariant is a finding like a crash: report it and abort so that
// libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what, const QString& detail) {
    std::fprintf(stderr, "invariant broken: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

}  // namespace qev::fuzz
