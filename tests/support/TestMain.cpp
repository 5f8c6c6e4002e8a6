// Test entry point: runs in a private sandbox with a QApplication on the offscreen platform.
#include "TestSandbox.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const int sandboxed = TestSandbox::RunInSandbox(argc, argv);
    if (sandboxed >= 0)
        return sandboxed;
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrak");
    QApplication::setApplicationName("Varnel");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
