#include "editor/SearchAndReplaceView.h"

#include "MessageRecorder.h"
#include "editor/ColorEditWnd.h"
#include "services/CSysReg.h"
#include "toolkit/CHistCBox.h"
#include "toolkit/ControlId.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {
class SearchAndReplaceViewTest : public testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        m_Editor =
            std::make_unique<ColorEditWnd>(nullptr, QRect(0, 0, 400, 300), 7, 4, 100, "DejaVu Sans Mono");
    }

    // Opens the dialog without a modal loop, as the editor's search command would show it.
    SearchAndReplaceView* Open() {
        SearchAndReplaceView* view = m_Editor->GetSearchView();
        view->show();
        return view;
    }
    void Click(SearchAndReplaceView* view, int id) {
        auto* button = qobject_cast<QPushButton*>(FindControl(view, id));
        ASSERT_NE(nullptr, button) << "button " << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void Enter(CHistCBox* box, const char* text) { box->setEditText(QString::fromUtf8(text)); }

    MessageRecorder m_Messages;
    std::unique_ptr<ColorEditWnd> m_Editor;
};
} // namespace

TEST_F(SearchAndReplaceViewTest, ButtonsFindReplaceAndReplaceAll) {
    m_Editor->LoadText("one two One\r\none");
    SearchAndReplaceView* view = Open();
    EXPECT_TRUE(view->RegExpBox()->isHidden());
    Enter(view->FindBox(), "one");
    Enter(view->ReplaceBox(), "1");
    Click(view, SearchAndReplaceView::IDC_NEXT);
    EXPECT_EQ(QPoint(0, 0), m_Editor->GetAnchorPos());
    EXPECT_EQ(QPoint(3, 0), m_Editor->GetCursorPos());
    Click(view, SearchAndReplaceView::IDC_REPLACE_ONE);
    EXPECT_EQ("1 two One", m_Editor->GetLine(0));

    // Match case is passed on: the capitalised One is skipped.
    view->MatchCaseBox()->setChecked(true);
    Click(view, SearchAndReplaceView::IDC_NEXT);
    EXPECT_EQ(QPoint(0, 1), m_Editor->GetAnchorPos());

    view->MatchCaseBox()->setChecked(false);
    m_Editor->SetSelection(0, 0, 0, 0);
    Click(view, SearchAndReplaceView::IDC_REPLACE_ALL);
    EXPECT_EQ("1 two 1", m_Editor->GetLine(0));
    EXPECT_EQ("1", m_Editor->GetLine(1));
    ASSERT_FALSE(m_Messages.Shown().empty());
    EXPECT_EQ("2 replacement(s) made!", m_Messages.Shown().back().text);
    EXPECT_EQ("one", m_Messages.Shown().back().caption);

    // Each button puts the texts on top of the histories, once.
    EXPECT_EQ(1, view->FindBox()->count());
    EXPECT_EQ("one", view->FindBox()->FullText(0));
    EXPECT_EQ("1", view->ReplaceBox()->FullText(0));
}

TEST_F(SearchAndReplaceViewTest, HistoriesAndOptionsSurviveClosingAndANewEditor) {
    m_Editor->LoadText("alpha beta");
    SearchAndReplaceView* view = Open();
    Enter(view->FindBox(), "alpha");
    Enter(view->ReplaceBox(), "A");
    Click(view, SearchAndReplaceView::IDC_NEXT);
    Enter(view->FindBox(), "beta");
    Click(view, SearchAndReplaceView::IDC_NEXT);
    view->WholeBox()->setChecked(true);
    view->move(40, 50);
    view->resize(420, 160);
    Click(view, SearchAndReplaceView::IDC_CLOSE);
    EXPECT_FALSE(view->isVisible());

    CSysReg reg;
    int whole = -1, matchCase = -1;
    reg.Read("Find", "Whole", &whole, -1);
    reg.Read("Find", "MatchCase", &matchCase, -1);
    EXPECT_EQ(1, whole);
    EXPECT_NE(1, matchCase);
    CString top;
    reg.Read("Find", "value0", &top, "");
    EXPECT_EQ("beta", top);

    // Reopened: the same histories and options.
    view = Open();
    ASSERT_EQ(2, view->FindBox()->count());
    EXPECT_EQ("beta", view->FindBox()->FullText(0));
    EXPECT_EQ("alpha", view->FindBox()->FullText(1));
    EXPECT_TRUE(view->WholeBox()->isChecked());
    view->reject();

    // Another editor (a later run) reads them from the store, with the placement.
    ColorEditWnd other(nullptr, QRect(0, 0, 400, 300), 8, 4, 100, "DejaVu Sans Mono");
    SearchAndReplaceView* second = other.GetSearchView();
    second->show();
    ASSERT_EQ(2, second->FindBox()->count());
    EXPECT_EQ("beta", second->FindBox()->GetCurString());
    EXPECT_EQ("A", second->ReplaceBox()->FullText(0));
    EXPECT_TRUE(second->WholeBox()->isChecked());
    EXPECT_FALSE(second->MatchCaseBox()->isChecked());
    EXPECT_EQ(QSize(420, 160), second->size());
    second->reject();
}

TEST_F(SearchAndReplaceViewTest, EscapeDoesNotCloseTheDialog) {
    SearchAndReplaceView* view = Open();
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(view->isVisible());
    view->reject();
}

TEST_F(SearchAndReplaceViewTest, EmptySearchTextFindsAndReplacesNothing) {
    m_Editor->LoadText("abc");
    SearchAndReplaceView* view = Open();
    Enter(view->FindBox(), "");
    Enter(view->ReplaceBox(), "x");
    Click(view, SearchAndReplaceView::IDC_NEXT);
    ASSERT_EQ(1u, m_Messages.Shown().size());
    EXPECT_EQ("String Not Found", m_Messages.Shown()[0].caption);
    Click(view, SearchAndReplaceView::IDC_REPLACE_ALL);
    ASSERT_EQ(2u, m_Messages.Shown().size());
    EXPECT_EQ("0 replacement(s) made!", m_Messages.Shown()[1].text);
    EXPECT_EQ("abc", m_Editor->GetLine(0));
    view->reject();
}
