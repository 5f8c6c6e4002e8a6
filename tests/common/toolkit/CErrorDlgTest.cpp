#include "toolkit/CErrorDlg.h"

#include "toolkit/MessageBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// Answers every execution-error dialog of a test with one button.
class CErrorDlgTest : public ::testing::Test {
protected:
    void TearDown() override { CErrorDlg::SetRunner(nullptr); }
    // Runs a dialog and presses `pick` on it; returns the dialog's result.
    int Answer(CErrorDlg& dialog, QPushButton* (CErrorDlg::*pick)() const) {
        CErrorDlg::SetRunner(
            [pick](CErrorDlg& shown) { QTest::mouseClick((shown.*pick)(), Qt::LeftButton); });
        return dialog.DoModal();
    }
};
} // namespace

TEST_F(CErrorDlgTest, ShowsTheStatementAndTheMessageReadOnlyUnderTheirLabels) {
    CErrorDlg dialog("[SQLite]no such table: nosuch (1)", "select *\r\nfrom nosuch;");
    EXPECT_EQ("Execution error ", dialog.windowTitle().toStdString());
    EXPECT_EQ("select *\nfrom nosuch;", dialog.Statement());
    EXPECT_EQ("[SQLite]no such table: nosuch (1)", dialog.Message());
    CStringArray labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        labels.push_back(label->text().toStdString());
    EXPECT_EQ((CStringArray{"Wrong statement", "Error message"}), labels);
    for (QPlainTextEdit* box : dialog.findChildren<QPlainTextEdit*>())
        EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ("Continue", dialog.ContinueButton()->text().toStdString());
    EXPECT_EQ("Continue w/o messages", dialog.QuietButton()->text().toStdString());
    EXPECT_EQ("Cancel", dialog.CancelButton()->text().toStdString());
}

TEST_F(CErrorDlgTest, EachButtonEndsTheDialogWithItsResult) {
    {
        CErrorDlg dialog("m", "s");
        EXPECT_EQ(IDOK, Answer(dialog, &CErrorDlg::ContinueButton));
        EXPECT_FALSE(dialog.NoMoreMessages());
    }
    {
        CErrorDlg dialog("m", "s");
        EXPECT_EQ(IDOK, Answer(dialog, &CErrorDlg::QuietButton));
        EXPECT_TRUE(dialog.NoMoreMessages());
    }
    {
        CErrorDlg dialog("m", "s");
        EXPECT_EQ(IDCANCEL, Answer(dialog, &CErrorDlg::CancelButton));
        EXPECT_FALSE(dialog.NoMoreMessages());
    }
}

TEST_F(CErrorDlgTest, EscapeIsCancel) {
    CErrorDlg dialog("m", "s");
    CErrorDlg::SetRunner([](CErrorDlg& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(CErrorDlgTest, WithoutADisplayTheRunGoesOn) {
    // A replaced message handler means nobody can answer a real dialog.
    MessageHandler previous = SetMessageHandler([](const MessageRequest&) { return IDOK; });
    CErrorDlg dialog("m", "s");
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(dialog.NoMoreMessages());
    SetMessageHandler(previous);
}
