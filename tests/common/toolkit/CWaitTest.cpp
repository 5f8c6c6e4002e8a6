#include "toolkit/CWait.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(CWaitClock, StartTimeOfDayAndElapsedHoursMinutesSeconds) {
    EXPECT_EQ("Start 09:05:07  Time 00.00.00", CWait::ClockText(QTime(9, 5, 7), 0));
    EXPECT_EQ("Start 23:59:59  Time 01.02.03", CWait::ClockText(QTime(23, 59, 59), 3723));
    EXPECT_EQ("Start 00:00:00  Time 00.59.59", CWait::ClockText(QTime(0, 0, 0), 3599));
    EXPECT_EQ("Start 12:00:00  Time 00.00.00", CWait::ClockText(QTime(12, 0, 0), -5)) << "no negative time";
}

TEST(CWait, CreateOpensWithTheClockRunningAndStatusMovesTheBar) {
    CWait wait;
    EXPECT_FALSE(wait.IsOpen());
    ASSERT_TRUE(wait.Create());
    EXPECT_TRUE(wait.IsOpen());
    EXPECT_TRUE(wait.IsClockRunning());
    EXPECT_EQ(0, wait.cancelRequested);
    const CString clock = wait.ClockLabel()->text().toStdString();
    EXPECT_EQ(0u, clock.find("Start ")) << clock;
    EXPECT_NE(CString::npos, clock.find("  Time 00.00.0")) << clock;

    EXPECT_EQ(0, wait.ProgressBar()->minimum());
    EXPECT_EQ(99, wait.ProgressBar()->maximum());
    wait.SetStatus("Script execution", 40);
    EXPECT_EQ("Script execution", wait.StatusLabel()->text().toStdString());
    EXPECT_EQ(40, wait.ProgressBar()->value());
    wait.SetStatus("Read results", -1);
    EXPECT_EQ("Read results", wait.StatusLabel()->text().toStdString());
    EXPECT_EQ(40, wait.ProgressBar()->value()) << "a negative percentage leaves the bar";
    wait.SetStatus("Again", 170);
    EXPECT_EQ(70, wait.ProgressBar()->value()) << "percentages wrap at 100";
}

TEST(CWait, CancelRaisesTheFlagStopsTheClockAndCloses) {
    CWait wait;
    wait.Create();
    QSignalSpy cancelled(&wait, &CWait::Cancelled);
    wait.NoCancel(1);
    EXPECT_FALSE(wait.CancelButton()->isEnabled());
    QTest::mouseClick(wait.CancelButton(), Qt::LeftButton);
    QTest::keyClick(&wait, Qt::Key_Escape);
    EXPECT_EQ(0, wait.cancelRequested) << "a disabled Cancel does nothing, nor does Escape";
    EXPECT_TRUE(wait.IsOpen());
    EXPECT_FALSE(wait.close()) << "the window stays while Cancel is disabled";
    EXPECT_TRUE(wait.IsOpen());

    wait.NoCancel(0);
    EXPECT_TRUE(wait.CancelButton()->isEnabled());
    QTest::mouseClick(wait.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(1, wait.cancelRequested);
    EXPECT_FALSE(wait.IsOpen());
    EXPECT_FALSE(wait.IsClockRunning());
    EXPECT_EQ(1, cancelled.count());

    wait.Close(); // closing a closed window does nothing
    EXPECT_FALSE(wait.IsOpen());
    EXPECT_EQ(1, wait.cancelRequested);
}

TEST(CWait, EscapeCancelsWhenCancelIsEnabled) {
    CWait wait;
    wait.Create();
    wait.NoCancel(0);
    QTest::keyClick(&wait, Qt::Key_Escape);
    EXPECT_EQ(1, wait.cancelRequested);
    EXPECT_FALSE(wait.IsOpen());
}

TEST(CWait, CloseKeepsTheFlagDown) {
    CWait wait;
    wait.Create();
    wait.Close();
    EXPECT_FALSE(wait.IsOpen());
    EXPECT_FALSE(wait.IsClockRunning());
    EXPECT_EQ(0, wait.cancelRequested);
}
