#include <QCoreApplication>

#include <gtest/gtest.h>

// Qt's SQL drivers are plugins; an application object lets them load as in
// the program.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
