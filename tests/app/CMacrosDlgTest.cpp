#include "CMacrosDlg.h"

#include "CMacroTable.h"
#include "CSettingsDlg.h"

#include "services/HtmlHelp.h"
#include "toolkit/ControlId.h"

#include "MessageRecorder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class MacrosDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        m_Owner.Settings().LoadData();
    }
    QLineEdit* Field(QWidget& dlg, int id) {
        auto* e = qobject_cast<QLineEdit*>(FindControl(&dlg, id));
        EXPECT_NE(nullptr, e) << id;
        return e;
    }
    CString Stored(const char* name) {
        CSysReg reg;
        CString v;
        return reg.Read("Settings", name, &v, "<missing>") == 0 ? v : "<missing>";
    }
    CSettingsDlg m_Owner;
    MessageRecorder messages;
};
} // namespace

TEST_F(MacrosDlgTest, RowsShowKeysAndTextsAndOnlyUserTextsAreEditable) {
    m_Owner.Settings().setStr("UM0", "rollback");
    CMacrosDlg dlg(m_Owner.Settings());
    ASSERT_TRUE(dlg.Open());
    EXPECT_EQ("Macro definitions", dlg.windowTitle().toStdString());
    EXPECT_EQ("Ctrl-S", Field(dlg, 1152)->text().toStdString());
    EXPECT_EQ("select * from where ", Field(dlg, 1153)->text().toStdString());
    EXPECT_EQ("Ctrl-U", Field(dlg, 1154)->text().toStdString());
    EXPECT_EQ("update set where ", Field(dlg, 1155)->text().toStdString());
    EXPECT_EQ("Ctrl-I", Field(dlg, 1156)->text().toStdString());
    EXPECT_EQ("Ctrl-O", Field(dlg, 1180)->text().toStdString());
    EXPECT_EQ("Ctrl-3", Field(dlg, 1162)->text().toStdString());
    EXPECT_EQ("Ctrl-2", Field(dlg, 1164)->text().toStdString());
    EXPECT_EQ("Ctrl-9", Field(dlg, 1176)->text().toStdString());
    EXPECT_EQ("Ctrl-0", Field(dlg, 1178)->text().toStdString());
    EXPECT_EQ("rollback", Field(dlg, 1179)->text().toStdString());

    for (const CMacrosDlg::Row& row : CMacrosDlg::Rows()) {
        EXPECT_TRUE(Field(dlg, row.keyControl)->isReadOnly()) << row.keyControl;
        EXPECT_EQ(row.slot < 5, Field(dlg, row.textControl)->isReadOnly()) << row.textControl;
    }

    // Ctrl-0 is the last row of the user group, below Ctrl-9.
    dlg.show();
    QWidget* ctrl9 = Field(dlg, 1176);
    QWidget* ctrl0 = Field(dlg, 1178);
    EXPECT_GT(ctrl0->mapTo(&dlg, QPoint()).y(), ctrl9->mapTo(&dlg, QPoint()).y());
    auto* group = qobject_cast<QGroupBox*>(ctrl0->parentWidget());
    EXPECT_NE(nullptr, group);
    auto* fixedGroup = qobject_cast<QGroupBox*>(Field(dlg, 1153)->parentWidget());
    ASSERT_NE(nullptr, fixedGroup);
    EXPECT_EQ(" Predefined macros ", fixedGroup->title().toStdString());
    if (group) {
        EXPECT_EQ(" User-defined macros ", group->title().toStdString());
    }
}

TEST_F(MacrosDlgTest, SaveStoresUserTextsAtOnceAndCancelChangesNothing) {
    {
        CMacrosDlg dlg(m_Owner.Settings());
        ASSERT_TRUE(dlg.Open());
        dlg.show();
        Field(dlg, 1169)->clear();
        QTest::keyClicks(Field(dlg, 1169), "exec sp_who");
        // Typing into a fixed row does nothing.
        QTest::keyClicks(Field(dlg, 1153), "x");
        QTest::mouseClick(qobject_cast<QPushButton*>(FindControl(&dlg, CMacrosDlg::IDC_CANCEL)),
                          Qt::LeftButton);
        EXPECT_EQ(QDialog::Rejected, dlg.result());
    }
    EXPECT_EQ("", m_Owner.Settings().getStr("UM5"));
    EXPECT_EQ("<missing>", Stored("UM5"));

    CMacrosDlg dlg(m_Owner.Settings());
    ASSERT_TRUE(dlg.Open());
    dlg.show();
    QTest::keyClicks(Field(dlg, 1169), "exec sp_who");
    QTest::keyClicks(Field(dlg, 1153), "x");
    QTest::mouseClick(qobject_cast<QPushButton*>(FindControl(&dlg, CMacrosDlg::IDC_SAVE)), Qt::LeftButton);
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ("exec sp_who", m_Owner.Settings().getStr("UM5"));
    EXPECT_EQ("exec sp_who", Stored("UM5"));
    EXPECT_EQ("select * from where ", m_Owner.Settings().getStr("MAC1"));
    EXPECT_EQ("<missing>", Stored("MAC1"));
    EXPECT_EQ(0, m_Owner.Settings().NotSaved());
    EXPECT_TRUE(messages.Shown().empty());

    // Opening again shows the saved text.
    ASSERT_TRUE(dlg.Open());
    EXPECT_EQ("exec sp_who", Field(dlg, 1169)->text().toStdString());
}

TEST_F(MacrosDlgTest, HelpLinkOpensTheMacrosTopic) {
    CString topic;
    SetHelpViewer([&](QWidget*, const CString&, const CString& t) { topic = t; });
    CMacrosDlg dlg(m_Owner.Settings());
    ASSERT_TRUE(dlg.Open());
    emit qobject_cast<QLabel*>(FindControl(&dlg, CMacrosDlg::IDC_HELP))->linkActivated("#");
    SetHelpViewer(nullptr);
    EXPECT_EQ("macros.htm", topic);
}
