// Test entry point: runs in a private sandbox with a QApplication on the offscreen platform.
#include "TestSandbox.h"

#include <QApplication>

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
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrak");
    QApplication::setApplicationName("Varnel");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new CSandboxReset);
    return RUN_ALL_TESTS();
}
