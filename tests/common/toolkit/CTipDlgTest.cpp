#include "toolkit/CTipDlg.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class TipDlgTest : public ::testing::Test {
protected:
    void SetUp() override { m_Reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE); }
    int Stored(const char* name) {
        int v = -99;
        m_Reg.Read("Tips", name, &v, -99);
        return v;
    }
    // Opens a dialog with `count` tips, returns the tip shown, and closes it.
    CString OpenAndClose(int count) {
        CTipDlg dlg;
        for (int i = 0; i < count; ++i)
            dlg.Add("tip " + std::to_string(i));
        dlg.show();
        CString shown = dlg.TipText()->toPlainText().toStdString();
        QTest::mouseClick(dlg.CloseButton(), Qt::LeftButton);
        return shown;
    }
    CSysReg m_Reg;
};
} // namespace

TEST_F(TipDlgTest, EachOpeningShowsTheNextTipAndWraps) {
    m_Reg.Save("Tips", "iNextTipIndex", 12);
    EXPECT_EQ("tip 12", OpenAndClose(13));
    EXPECT_EQ(13, Stored("iNextTipIndex"));
    EXPECT_EQ("tip 0", OpenAndClose(13));
    EXPECT_EQ(1, Stored("iNextTipIndex"));
}

TEST_F(TipDlgTest, NextTipStepsThroughTheList) {
    CTipDlg dlg;
    dlg.Add("first");
    dlg.Add("second");
    dlg.show();
    EXPECT_EQ("first", dlg.TipText()->toPlainText().toStdString());
    QTest::mouseClick(dlg.NextButton(), Qt::LeftButton);
    EXPECT_EQ("second", dlg.CurrentText());
    QTest::mouseClick(dlg.NextButton(), Qt::LeftButton);
    EXPECT_EQ("first", dlg.TipText()->toPlainText().toStdString());
    dlg.reject();
    EXPECT_EQ(1, Stored("iNextTipIndex"));
}

TEST_F(TipDlgTest, AShrunkListOrADamagedIndexRestartsAtTheFirstTip) {
    m_Reg.Save("Tips", "iNextTipIndex", 40);
    EXPECT_EQ("tip 0", OpenAndClose(13));
    m_Reg.Save("Tips", "iNextTipIndex", -5);
    EXPECT_EQ("tip 0", OpenAndClose(13));
    EXPECT_EQ(1, Stored("iNextTipIndex"));
}

TEST_F(TipDlgTest, UncheckingTheStartUpOptionIsStored) {
    {
        CTipDlg dlg;
        EXPECT_EQ(1, dlg.TipOnStartup()) << "shown at start-up by default";
        dlg.Add("t");
        dlg.show();
        EXPECT_TRUE(dlg.StartupCheck()->isChecked());
        EXPECT_EQ("&Show Tips on StartUp", dlg.StartupCheck()->text().toStdString());
        EXPECT_EQ("&Next Tip", dlg.NextButton()->text().toStdString());
        dlg.StartupCheck()->setChecked(false);
        dlg.close();
    }
    EXPECT_EQ(0, Stored("m_TipOnStartup"));
    CTipDlg again;
    EXPECT_EQ(0, again.TipOnStartup());
}

TEST_F(TipDlgTest, WithoutTipsTheTextStaysEmpty) {
    EXPECT_EQ("", OpenAndClose(0));
    EXPECT_EQ(1, Stored("iNextTipIndex"));
}

TEST_F(TipDlgTest, ADialogNeverOpenedStoresNothing) {
    {
        CTipDlg dlg;
        dlg.Add("t");
    }
    EXPECT_EQ(-99, Stored("iNextTipIndex"));
}
