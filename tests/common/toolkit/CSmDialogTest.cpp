#include "toolkit/CSmDialog.h"
#include "toolkit/CStringTable.h"
#include "toolkit/ControlId.h"

#include "MessageRecorder.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {
enum { IDC_EDIT = 1001, IDC_RESULT = 1002, IDC_SPLIT = 1003, IDC_OK = 1004, IDC_NAME = 1005 };

// A page with an editor above a splitter, a result list below it, a button at the right and a
// status bar at the bottom.
class TestPage : public CSmDialog {
public:
    explicit TestPage(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Dialog, bool fail = false)
        : CSmDialog(500, parent, flags), m_Fail(fail) {}

    QWidget* edit = nullptr;
    QWidget* result = nullptr;
    QWidget* split = nullptr;
    QWidget* ok = nullptr;
    QWidget* name = nullptr;
    QStatusBar* status = nullptr;

protected:
    bool OnInitDialog() override {
        if (m_Fail)
            return false;
        resize(400, 300);
        edit = Make(new QPlainTextEdit(this), IDC_EDIT, {10, 10, 300, 120});
        split = Make(new QFrame(this), IDC_SPLIT, {10, 130, 300, 6});
        result = Make(new QPlainTextEdit(this), IDC_RESULT, {10, 136, 300, 134});
        ok = Make(new QPushButton("OK", this), IDC_OK, {320, 10, 70, 24});
        name = Make(new QLineEdit(this), IDC_NAME, {320, 40, 70, 24});
        status = new QStatusBar(this);
        status->setGeometry(0, 280, 400, 20);
        AddControl(IDC_EDIT, RZ_GROW_X, SPLIT_H_GROW);
        AddControl(IDC_SPLIT, RZ_GROW_X);
        AddControl(IDC_RESULT, RZ_GROW_XY, SPLIT_H_FOLLOW);
        AddControl(IDC_OK, RZ_MOVE_X);
        AddControl(IDC_NAME, RZ_UPPER_HALF);
        AddHSplitter(IDC_SPLIT);
        AddStatusBar(status);
        return true;
    }

private:
    QWidget* Make(QWidget* w, int id, QRect r) {
        SetControlId(w, id);
        w->setGeometry(r);
        return w;
    }
    bool m_Fail;
};

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent e(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

class SmDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        host.resize(800, 600);
        host.show();
    }
    QWidget host;
};
} // namespace

TEST_F(SmDialogTest, CreatePlacesTheHiddenPageAndActivateShowsIt) {
    TestPage page(&host, Qt::Widget);
    ASSERT_TRUE(page.Create(3, 25));
    EXPECT_EQ(QPoint(3, 25), page.pos());
    EXPECT_EQ(QSize(400, 300), page.size());
    EXPECT_FALSE(page.isVisible());
    page.Activate();
    EXPECT_TRUE(page.isVisible());
    page.Deactivate();
    EXPECT_FALSE(page.isVisible());
}

TEST_F(SmDialogTest, FailedCreationIsReported) {
    MessageRecorder messages;
    TestPage page(&host, Qt::Widget, true);
    EXPECT_FALSE(page.Create(0, 0));
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("CDialog::Create fail!", messages.Shown()[0].text);
    EXPECT_EQ("CSmDialog", messages.Shown()[0].caption);
}

TEST_F(SmDialogTest, ControlsFollowTheSizeAndTheStatusBarStaysAtTheBottom) {
    TestPage page(&host, Qt::Widget);
    page.Create(0, 0);
    page.Activate();
    page.resize(420, 320);
    EXPECT_EQ(QRect(10, 10, 320, 120), page.edit->geometry());
    EXPECT_EQ(QRect(10, 136, 320, 154), page.result->geometry());
    EXPECT_EQ(QRect(340, 10, 70, 24), page.ok->geometry());
    EXPECT_EQ(QRect(320, 40, 90, 34), page.name->geometry()) << "type 3 takes half of a change above 15";
    EXPECT_EQ(QRect(0, 300, 420, 20), page.status->geometry());
    page.resize(400, 300);
    EXPECT_EQ(QRect(10, 136, 300, 134), page.result->geometry());
    EXPECT_EQ(QRect(0, 280, 400, 20), page.status->geometry());

    // A size set while hidden is applied when the page is shown again.
    page.Deactivate();
    page.resize(410, 300);
    page.Activate();
    EXPECT_EQ(QRect(330, 10, 70, 24), page.ok->geometry());
}

TEST_F(SmDialogTest, TopLevelDialogFollowsItsSize) {
    TestPage dlg;
    dlg.Create(50, 50);
    dlg.Activate();
    dlg.resize(440, 300);
    QTRY_COMPARE(dlg.ok->geometry(), QRect(360, 10, 70, 24));
    EXPECT_EQ(QRect(0, 280, 440, 20), dlg.status->geometry());

    // A window's placement comes back where it was.
    const QPoint pos = dlg.pos();
    dlg.Save(CString("MainWindow"));
    dlg.move(pos + QPoint(40, 40));
    dlg.resize(500, 400);
    QTRY_COMPARE(dlg.ok->geometry(), QRect(420, 10, 70, 24));
    EXPECT_EQ(0, dlg.Load(CString("MainWindow")));
    QTRY_COMPARE(dlg.pos(), pos);
    QTRY_COMPARE(dlg.size(), QSize(440, 300));
    QCoreApplication::processEvents();
    EXPECT_EQ(QRect(360, 10, 70, 24), dlg.ok->geometry());
}

TEST_F(SmDialogTest, DraggingTheSplitterSharesTheSpace) {
    TestPage page(&host, Qt::Widget);
    page.Create(0, 0);
    page.Activate();
    Mouse(&page, QEvent::MouseMove, {100, 132}, Qt::NoButton);
    EXPECT_EQ(Qt::SizeVerCursor, page.cursor().shape());
    Mouse(&page, QEvent::MouseButtonPress, {100, 132}, Qt::LeftButton);
    Mouse(&page, QEvent::MouseMove, {100, 150}, Qt::LeftButton);
    Mouse(&page, QEvent::MouseMove, {100, 162}, Qt::LeftButton);
    Mouse(&page, QEvent::MouseButtonRelease, {100, 162}, Qt::NoButton);
    EXPECT_EQ(QRect(10, 10, 300, 150), page.edit->geometry());
    EXPECT_EQ(QRect(10, 160, 300, 6), page.split->geometry());
    EXPECT_EQ(QRect(10, 166, 300, 104), page.result->geometry());
    EXPECT_EQ(QRect(320, 10, 70, 24), page.ok->geometry());

    // After the release, moving the pointer moves nothing.
    Mouse(&page, QEvent::MouseMove, {100, 200}, Qt::NoButton);
    EXPECT_EQ(QRect(10, 160, 300, 6), page.split->geometry());
    EXPECT_NE(Qt::SizeVerCursor, page.cursor().shape());
}

TEST_F(SmDialogTest, PlacementIsSavedAndLoaded) {
    {
        TestPage page(&host, Qt::Widget);
        page.Create(5, 6);
        page.Activate();
        page.resize(420, 300);
        EXPECT_EQ(0, page.Save(CString("Settings")));
    }
    CSysReg reg;
    int v = 0;
    reg.Read("Settings", "ctrl3X1", &v, -1);
    EXPECT_EQ(340, v);
    reg.Read("Settings", "dlgX2", &v, -1);
    EXPECT_EQ(5 + 420, v);

    TestPage page(&host, Qt::Widget);
    page.Create(0, 0);
    page.Activate();
    CString name = "Settings";
    EXPECT_EQ(0, page.Load(&name));
    EXPECT_EQ(QRect(5, 6, 420, 300), page.geometry());
    EXPECT_EQ(QRect(340, 10, 70, 24), page.ok->geometry());
    EXPECT_EQ(QRect(10, 10, 320, 120), page.edit->geometry());

    TestPage fresh(&host, Qt::Widget);
    fresh.Create(7, 8);
    EXPECT_EQ(-1, fresh.Load(CString("Never")));
    EXPECT_EQ(QRect(7, 8, 400, 300), fresh.geometry());
    EXPECT_EQ(QRect(320, 10, 70, 24), fresh.ok->geometry());
}

TEST_F(SmDialogTest, ControlsRegisteredAfterSavingKeepTheirPlace) {
    CSysReg reg;
    for (const char* k : {"dlgX1", "dlgY1"})
        reg.Save("Old", k, 0);
    reg.Save("Old", "dlgX2", 400);
    reg.Save("Old", "dlgY2", 300);
    reg.Save("Old", "ctrl0X1", 20);
    reg.Save("Old", "ctrl0Y1", 20);
    reg.Save("Old", "ctrl0X2", 200);
    reg.Save("Old", "ctrl0Y2", 100);
    TestPage dlg;
    dlg.Create(0, 0);
    EXPECT_EQ(0, dlg.Load(CString("Old")));
    EXPECT_EQ(QRect(20, 20, 180, 80), dlg.edit->geometry());
    EXPECT_EQ(QRect(320, 10, 70, 24), dlg.ok->geometry());
}

TEST_F(SmDialogTest, EscapeNeitherClosesNorCancels) {
    TestPage dlg;
    dlg.Create(0, 0);
    dlg.Activate();
    bool rejected = false;
    QObject::connect(&dlg, &QDialog::rejected, [&] { rejected = true; });
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QTest::keyClick(dlg.name, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(rejected);

    TestPage page(&host, Qt::Widget);
    page.Create(0, 0);
    page.Activate();
    QTest::keyClick(page.name, Qt::Key_Escape);
    EXPECT_TRUE(page.isVisible());
}

TEST_F(SmDialogTest, ControlsShowTheirProgramStringsAsTips) {
    CStringTable::Set(IDC_OK, "Run the script");
    CStringTable::Set(IDC_NAME, CString(100, 'n'));
    TestPage page(&host, Qt::Widget);
    page.Create(0, 0);
    EXPECT_EQ("Run the script", page.ok->toolTip().toStdString());
    EXPECT_EQ(CString(79, 'n'), page.name->toolTip().toStdString());
    EXPECT_TRUE(page.edit->toolTip().isEmpty());
}

TEST_F(SmDialogTest, MinimumSizeHolds) {
    TestPage dlg;
    dlg.Create(0, 0);
    dlg.SetMinSizes(300, 200);
    dlg.resize(100, 100);
    EXPECT_EQ(QSize(300, 200), dlg.size());
    dlg.SetMinSizes(0, 0);
    dlg.resize(100, 100);
    EXPECT_EQ(QSize(100, 100), dlg.size());
}
