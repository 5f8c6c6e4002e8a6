// Test entry point: runs in a private sandbox; widget tests get a QApplication on the offscreen
// platform, logic tests an application object of QtCore.
#include "TestSandbox.h"

#ifdef VARNEL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const int sandboxed = TestSandbox::RunInSandbox(argc, argv);
    if (sandboxed >= 0)
        return sandboxed;
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName("Ostrak");
    TestApplication::setApplicationName("Varnel");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
