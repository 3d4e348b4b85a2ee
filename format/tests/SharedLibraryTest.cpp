#include "format/SharedLibrary.h"

#include "testing/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qev;

namespace {

using ZlibVersion = const char* (*)();

TEST(SharedLibrary, TheFirstNameThatLoadsIsTakenAndItsFunctionsFound) {
    QLibrary library;
    EXPECT_EQ(loadFirstOf(library, {"libqev-no-such-library.so", "libz.so.1"}), QString());
    EXPECT_TRUE(library.isLoaded());
    EXPECT_EQ(library.fileName(), QStringLiteral("libz.so.1"));

    ZlibVersion version = nullptr;
    ASSERT_TRUE(resolveFunction(library, version, "zlibVersion"));
    EXPECT_TRUE(QByteArray(version()).startsWith("1.")) << version();
    ZlibVersion missing = nullptr;
    EXPECT_FALSE(resolveFunction(library, missing, "qev_no_such_function"));
    EXPECT_EQ(missing, nullptr);
}

TEST(SharedLibrary, WhenNoNameLoadsTheLastFailureIsTold) {
    QLibrary library;
    const QString failure = loadFirstOf(library, {"libqev-none-a.so", "libqev-none-b.so"});
    EXPECT_TRUE(failure.contains(QStringLiteral("libqev-none-b.so"))) << failure.toStdString();
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(loadFirstOf(library, {}).isEmpty());
}

}  // namespace
