#include "views/CDSNAdminDlg.h"

#include "codbc/ODBC.h"
#include "views/CDBCBox.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
CStringArray Items(QListWidget* list) {
    CStringArray items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(list->item(i)->text().toStdString());
    return items;
}
} // namespace

TEST(CDSNAdminDlg, AddsEditsAndRemovesAUserDataSource) {
    MessageRecorder messages;
    TestSandbox::AddSqliteSource("Existing");
    CDSNAdminDlg dialog;
    EXPECT_EQ((CStringArray{"Existing"}), Items(dialog.userList()));
    EXPECT_GE(dialog.driverList()->count(), 3);

    dialog.driverBox()->setCurrentText("SQLite3");
    dialog.New();
    EXPECT_NE(std::string::npos, dialog.attributesEdit()->toPlainText().toStdString().find("StepAPI = 1"));
    const CString database = TestSandbox::Directory() + "/dialog.db";
    dialog.nameEdit()->setText("FromDialog");
    dialog.attributesEdit()->setPlainText(
        QString::fromStdString("Database = " + database + "\nStepAPI = 1\n"));
    ASSERT_TRUE(dialog.Save()) << (messages.Texts().empty() ? "" : messages.Texts()[0]);
    EXPECT_EQ((CStringArray{"Existing", "FromDialog"}), Items(dialog.userList()));

    // Connect through the new data source, then edit it and see the change.
    {
        ODBC session;
        ASSERT_EQ(0, session.Connect("FromDialog", "", "")) << session.lastError;
    }
    dialog.userList()->setCurrentRow(1);
    EXPECT_EQ("FromDialog", dialog.nameEdit()->text().toStdString());
    dialog.attributesEdit()->setPlainText(
        QString::fromStdString("Database = " + database + "\nStepAPI = 0\n"));
    ASSERT_TRUE(dialog.Save());
    dialog.userList()->setCurrentRow(0);
    dialog.userList()->setCurrentRow(1);
    EXPECT_NE(std::string::npos, dialog.attributesEdit()->toPlainText().toStdString().find("StepAPI = 0"));

    // A name that is taken is refused with a message.
    dialog.New();
    dialog.nameEdit()->setText("Existing");
    EXPECT_FALSE(dialog.Save());
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Error!", messages.Shown()[0].caption);

    // Removing asks first; "No" keeps the data source.
    dialog.userList()->setCurrentRow(1);
    messages.QueueAnswer(IDNO);
    EXPECT_FALSE(dialog.Remove());
    messages.QueueAnswer(IDYES);
    EXPECT_TRUE(dialog.Remove());
    EXPECT_EQ((CStringArray{"Existing"}), Items(dialog.userList()));
    EXPECT_EQ("Attention!", messages.Shown()[1].caption);
    ODBC session;
    EXPECT_NE(0, session.Connect("FromDialog", "", ""));
}

TEST(CDSNAdminDlg, ManageDataSourcesOpensTheDialogAndTheBoxIsRefilled) {
    ODBC session;
    CDBCBox box;
    box.show();
    TestSandbox::AddSqliteSource("First");
    box.FillDSN(DS_USER, "First");
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CDSNAdminDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        seen = true;
        dialog->driverBox()->setCurrentText("SQLite3");
        dialog->New();
        dialog->nameEdit()->setText("Second");
        dialog->Save();
        dialog->reject();
    });
    EXPECT_EQ(1, session.ManageDSN(&box));
    EXPECT_TRUE(seen);
    box.FillDSN(DS_USER, box.GetCurDSN());
    EXPECT_EQ((CStringArray{"First", "Second"}), box.ItemTexts());
    EXPECT_EQ("First", box.GetCurDSN());
}
