#include "CKeywordDlg.h"

#include "toolkit/ControlId.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(KeywordDlgTest, OkGivesTheTextInUpperCaseAndCancelNothing) {
    CKeywordDlg dlg;
    ASSERT_TRUE(dlg.Create(0, 0));
    EXPECT_EQ("Keyword", dlg.windowTitle().toStdString());
    auto* edit = qobject_cast<QLineEdit*>(FindControl(&dlg, CKeywordDlg::IDC_KEYWORD));
    ASSERT_NE(nullptr, edit);
    dlg.show();
    QTest::keyClicks(edit, "truncate");
    QTest::keyClick(&dlg, Qt::Key_Escape); // swallowed
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_EQ("TRUNCATE", dlg.Text());

    CKeywordDlg other;
    ASSERT_TRUE(other.Create(0, 0));
    other.show();
    QTest::keyClicks(other.Edit(), "merge");
    other.reject();
    EXPECT_EQ(QDialog::Rejected, other.result());
    EXPECT_EQ("", other.Text());
}
