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

namespace {
// Gives every case of a process the sandbox a process of its own would have.
class CSandboxReset : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { TestSandbox::Reset(); }
};
} // namespace

int main(int argc, char** argv) {
    const int sandboxed = TestSandbox::RunInSandbox(argc, argv);
    if (sandboxed >= 0)
        return sandboxed;
    TestApplication app(argc, argv);
    TestApplication::setOrganizationName("Ostrak");
    TestApplication::setApplicationName("Varnel");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new CSandboxReset);
    return RUN_ALL_TESTS();
}
