#include "toolkit/MessageBox.h"

#include "MessageRecorder.h"

#include <gtest/gtest.h>

TEST(MessageBox, DefaultAnswerFollowsTheDefaultButton) {
    EXPECT_EQ(IDOK, DefaultAnswer(MB_OK));
    EXPECT_EQ(IDYES, DefaultAnswer(MB_YESNO));
    EXPECT_EQ(IDNO, DefaultAnswer(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, DefaultAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION));
    // A default button beyond the box's buttons falls back to the first.
    EXPECT_EQ(IDOK, DefaultAnswer(MB_OK | MB_DEFBUTTON3));
}

TEST(MessageBox, RecorderAnswersInOrderAndRecords) {
    MessageRecorder recorder;
    recorder.QueueAnswer(IDNO);
    EXPECT_EQ(IDNO, ShowMessage("Save?", "Attention!", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDYES, ShowMessage("Again?", "Attention!", MB_YESNO));
    ASSERT_EQ(2u, recorder.Shown().size());
    EXPECT_EQ("Save?", recorder.Shown()[0].text);
    EXPECT_EQ("Attention!", recorder.Shown()[0].caption);
    EXPECT_EQ(unsigned(MB_YESNO | MB_ICONQUESTION), recorder.Shown()[0].type);
}

TEST(MessageBox, OffscreenWithoutRecorderTakesTheDefaultWithoutBlocking) {
    EXPECT_FALSE(MessagesAreInteractive());
    EXPECT_EQ(IDNO, ShowMessage("Question?", "Attention!", MB_YESNO | MB_DEFBUTTON2));
}

TEST(MessageBox, RecorderRestoresThePreviousHandler) {
    int outerCalls = 0;
    MessageHandler previous = SetMessageHandler([&](const MessageRequest&) {
        ++outerCalls;
        return IDRETRY;
    });
    {
        MessageRecorder inner;
        ShowMessage("inner");
        EXPECT_EQ(0, outerCalls);
    }
    EXPECT_EQ(IDRETRY, ShowMessage("outer"));
    EXPECT_EQ(1, outerCalls);
    SetMessageHandler(previous);
}
