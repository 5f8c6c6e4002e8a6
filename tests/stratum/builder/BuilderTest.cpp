#include "builder/Builder.h"

#include "builder/CBuilderPanel.h"
#include "builder/CColumnsPage.h"
#include "builder/CConditionDlg.h"
#include "builder/CConditionsPage.h"
#include "builder/CCreateTablePage.h"
#include "builder/CFromPage.h"
#include "builder/COrderGroupPage.h"
#include "builder/CSelectListPage.h"
#include "builder/CTablePage.h"
#include "builder/CTypePage.h"
#include "builder/CValuesPage.h"
#include "codbc/ODBC.h"

#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QAbstractButton>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
void Execute(ODBC& session, const CString& sql) {
    ASSERT_EQ(0, session.StmtRealloc());
    ASSERT_EQ(0, session.Exec(sql)) << sql << ": " << session.lastError;
}

QPushButton* ButtonOf(QWidget* page, const char* name) {
    auto* button = page->findChild<QPushButton*>(name);
    EXPECT_NE(nullptr, button) << name;
    return button;
}

void Click(QWidget* page, const char* name) {
    if (QPushButton* button = ButtonOf(page, name))
        button->click();
}

void SelectTexts(QListWidget* list, std::initializer_list<const char*> texts) {
    list->clearSelection();
    for (const char* text : texts) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(1, found.size()) << text;
        found[0]->setSelected(true);
    }
}

// Runs `fill` on the condition dialog once it is open, then closes it with OK.
void AnswerCondition(std::function<void(CConditionDlg*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<CConditionDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        fill(dialog);
        dialog->accept();
    });
}
} // namespace

class BuilderSqlite : public testing::Test {
protected:
    void SetUp() override {
        TestSandbox::AddSqliteSource("Shop");
        session = std::make_unique<ODBC>();
        ASSERT_EQ(0, session->Connect("Shop", "", "")) << session->lastError;
        Execute(*session, "create table emp (id integer, name text, dept integer)");
        Execute(*session, "create table dept (id integer, title text)");
        builder = std::make_unique<Builder>(nullptr, session.get());
        builder->Activate();
    }
    std::unique_ptr<ODBC> session;
    std::unique_ptr<Builder> builder;
    MessageRecorder messages;
};

TEST_F(BuilderSqlite, SelectListAddButtonsStandBesideTheirSourcesAndItemsShowWhole) {
    Execute(*session, "create table customers (customer_number integer, name_of_the_customer text)");
    builder->resize(760, 480);
    builder->show();
    builder->Next();
    auto* from = static_cast<CFromPage*>(builder->Page(PG_FROM));
    SelectTexts(from->Tables(), {"customers", "emp"});
    Click(from, ">");
    builder->Next();
    ASSERT_EQ(PG_SELECT_LIST, builder->CurrentPage());
    auto* select = static_cast<CSelectListPage*>(builder->Page(PG_SELECT_LIST));
    QApplication::processEvents();

    const struct {
        const char* button;
        QWidget* source;
    } adds[] = {{"addFields", select->Fields()},
                {"addFunction", select->Functions()},
                {"addValue", select->ValueField()}};
    for (const auto& add : adds) {
        QPushButton* button = ButtonOf(select, add.button);
        ASSERT_NE(nullptr, button);
        EXPECT_FALSE(button->toolTip().isEmpty()) << add.button;
        // Beside its source: the button's middle lies within the source's height, right of it.
        const QRect source(add.source->mapTo(select, QPoint(0, 0)), add.source->size());
        const QRect at(button->mapTo(select, QPoint(0, 0)), button->size());
        EXPECT_TRUE(at.center().y() >= source.top() && at.center().y() <= source.bottom())
            << add.button << " at y " << at.center().y() << ", source " << source.top() << ".."
            << source.bottom();
        EXPECT_GE(at.left(), source.right()) << add.button;
    }

    SelectTexts(select->Fields(), {"customers.name_of_the_customer"});
    Click(select, "addFields");
    select->Items()->topLevelItem(0)->setSelected(true);
    select->AsField()->setText("customer_name_as_shown");
    Click(select, "AS");
    QApplication::processEvents();
    QTreeWidgetItem* item = select->Items()->topLevelItem(0);
    const QFontMetrics metrics(select->Items()->font());
    for (int column : {0, 2})
        EXPECT_GT(select->Items()->columnWidth(column), metrics.horizontalAdvance(item->text(column)))
            << item->text(column).toStdString();
}

TEST_F(BuilderSqlite, SelectClickedThroughThePages) {
    auto* type = static_cast<CTypePage*>(builder->Page(PG_TYPE));
    EXPECT_FALSE(type->Warning()->isVisibleTo(type));
    EXPECT_EQ(0, builder->CanBack());
    builder->Next();
    ASSERT_EQ(PG_FROM, builder->CurrentPage());

    auto* from = static_cast<CFromPage*>(builder->Page(PG_FROM));
    builder->Next();
    Click(from, ">");
    SelectTexts(from->Tables(), {"dept"});
    Click(from, ">");
    SelectTexts(from->Tables(), {"emp"});
    Click(from, ">");
    ASSERT_EQ(2, from->FromList()->topLevelItemCount());
    from->FromList()->topLevelItem(1)->setSelected(true);
    from->AliasField()->setText("e");
    Click(from, "&Alias");
    EXPECT_EQ("e", from->FromList()->topLevelItem(1)->text(1).toStdString());
    builder->Next();
    ASSERT_EQ(PG_SELECT_LIST, builder->CurrentPage());

    auto* select = static_cast<CSelectListPage*>(builder->Page(PG_SELECT_LIST));
    SelectTexts(select->Fields(), {"emp.name"});
    Click(select, "addFields");
    select->Functions()->setCurrentRow(1);
    SelectTexts(select->Fields(), {"emp.id"});
    Click(select, "addFunction");
    select->ValueField()->setText("1");
    Click(select, "addValue");
    ASSERT_EQ(3, select->Items()->topLevelItemCount());
    EXPECT_EQ("COUNT(emp.id)", select->Items()->topLevelItem(1)->text(0).toStdString());
    select->Items()->topLevelItem(0)->setSelected(true);
    Click(select, "DISTINCT");
    EXPECT_EQ("Y", select->Items()->topLevelItem(0)->text(1).toStdString());
    builder->Next();
    ASSERT_EQ(PG_CONDITIONS, builder->CurrentPage());

    auto* conditions = static_cast<CConditionsPage*>(builder->Page(PG_CONDITIONS));
    EXPECT_TRUE(conditions->List(1)->isEnabled());
    AnswerCondition([](CConditionDlg* dialog) {
        EXPECT_EQ(0, dialog->Operation()->currentIndex());
        EXPECT_EQ(0, dialog->Link()->checkedId());
        EXPECT_EQ(" NOT IN ", dialog->Operation()->itemText(9).toStdString());
        dialog->Operand1()->setCurrentText("emp.dept");
        dialog->Operand2()->setCurrentText("dept.id");
        dialog->Link()->button(1)->setChecked(true);
    });
    Click(conditions, "WHERE Add");
    AnswerCondition([](CConditionDlg* dialog) {
        dialog->Operand1()->setCurrentText("dept.title");
        dialog->Operation()->setCurrentIndex(6);
        dialog->Operand2()->setCurrentText("'s%'");
    });
    Click(conditions, "WHERE Add");
    ASSERT_EQ(2, conditions->List(0)->topLevelItemCount());
    // Editing the second condition keeps the typed operand 2.
    conditions->List(0)->topLevelItem(1)->setSelected(true);
    AnswerCondition([](CConditionDlg* dialog) {
        EXPECT_EQ("dept.title", dialog->Operand1()->currentText().toStdString());
        EXPECT_EQ(" LIKE ", dialog->Operation()->currentText().toStdString());
        EXPECT_EQ("'s%'", dialog->Operand2()->currentText().toStdString());
        dialog->Operand2()->setCurrentText("'a%'");
    });
    Click(conditions, "WHERE Edit");
    builder->Next();
    ASSERT_EQ(PG_ORDER_GROUP, builder->CurrentPage());
    EXPECT_EQ(0, builder->CanNext());

    auto* order = static_cast<COrderGroupPage*>(builder->Page(PG_ORDER_GROUP));
    SelectTexts(order->Fields(), {"emp.name", "emp.dept"});
    Click(order, "addOrder");
    EXPECT_EQ("emp.dept", order->OrderBy()->item(0)->text().toStdString());
    Click(order, "removeGroup");
    builder->Next();
    EXPECT_EQ(PG_ORDER_GROUP, builder->CurrentPage());

    const CString sql = builder->GetSQL();
    EXPECT_EQ(
        "SELECT \r\n    DISTINCT e.name,\r\n    COUNT(e.id),\r\n    1\r\nFROM\r\n    dept,\r\n    emp e\r\n"
        "WHERE\r\n    e.dept=dept.id AND\r\n    dept.title LIKE 'a%' \r\n\r\nORDER BY\r\n    e.dept,\r\n"
        "    e.name\r\n",
        sql);
    EXPECT_EQ((std::vector<CString>{"At least one table must be selected!", "Select table(s) to add first!",
                                    "Select 'group by' item first!"}),
              messages.Texts());
    // SQLite takes an aggregate without GROUP BY beside a plain column.
    Execute(*session, sql);

    builder->Refresh();
    EXPECT_EQ(PG_TYPE, builder->CurrentPage());
    EXPECT_EQ(0, from->FromList()->topLevelItemCount());
    EXPECT_EQ(0, conditions->List(0)->topLevelItemCount());
}

TEST_F(BuilderSqlite, InsertAndCreateTableClickedThrough) {
    auto* type = static_cast<CTypePage*>(builder->Page(PG_TYPE));
    type->Buttons()->button(SQL_INSERT)->setChecked(true);
    builder->Next();
    ASSERT_EQ(PG_TABLE, builder->CurrentPage());
    auto* table = static_cast<CTablePage*>(builder->Page(PG_TABLE));
    table->List()->setCurrentItem(table->List()->findItems("emp", Qt::MatchExactly).value(0));
    builder->Next();
    ASSERT_EQ(PG_COLUMNS, builder->CurrentPage());
    auto* columns = static_cast<CColumnsPage*>(builder->Page(PG_COLUMNS));
    SelectTexts(columns->List(), {"id", "name"});
    builder->Next();
    ASSERT_EQ(PG_VALUES, builder->CurrentPage());
    EXPECT_EQ(0, builder->CanNext());
    auto* values = static_cast<CValuesPage*>(builder->Page(PG_VALUES));
    Click(values, "Set value");
    ASSERT_EQ(2, values->List()->topLevelItemCount());
    values->List()->topLevelItem(0)->setSelected(true);
    values->ValueField()->setCurrentText("3");
    Click(values, "Set value");
    values->List()->clearSelection();
    values->List()->topLevelItem(1)->setSelected(true);
    values->ValueField()->setCurrentText("NULL");
    Click(values, "Set value");
    EXPECT_EQ("INSERT INTO emp (\r\n    id,\r\n    name\r\n)\r\nVALUES\r\n(\r\n    3,\r\n    NULL\r\n)\r\n",
              builder->GetSQL());
    Execute(*session, builder->GetSQL());

    builder->Refresh();
    type->Buttons()->button(SQL_CREATE_TABLE)->setChecked(true);
    builder->Next();
    ASSERT_EQ(PG_CREATE_TABLE, builder->CurrentPage());
    auto* create = static_cast<CCreateTablePage*>(builder->Page(PG_CREATE_TABLE));
    EXPECT_GT(create->DataType()->count(), 0);
    create->ColumnName()->setText("2nd");
    Click(create, "&Add");
    create->ColumnName()->setText("code");
    create->DataType()->setCurrentText("varchar(8)");
    create->Null()->setChecked(true);
    Click(create, "&Add");
    builder->Next();
    create->TableName()->setText("codes");
    builder->Next();
    EXPECT_EQ(PG_CREATE_TABLE, builder->CurrentPage());
    EXPECT_EQ((std::vector<CString>{"Select field name first!", "Bad field name!",
                                    "Enter correct table name first!"}),
              messages.Texts());
    EXPECT_EQ("CREATE TABLE codes (\r\n  code\tvarchar(8)\t\tNULL \r\n)", builder->GetSQL());
    Execute(*session, builder->GetSQL());
}

TEST(BuilderOffline, WarningWithoutConnectionAndConditionDialogOpening) {
    MessageRecorder messages;
    Builder builder;
    builder.Activate();
    auto* type = static_cast<CTypePage*>(builder.Page(PG_TYPE));
    EXPECT_TRUE(type->Warning()->isVisibleTo(type));
    builder.Next();
    EXPECT_EQ(PG_TYPE, builder.CurrentPage());
    EXPECT_TRUE(messages.Shown().empty());

    // A typed operand 1 is not in the list: the dialog opens with it empty.
    CConditionDlg edit({"T.A", "T.B"}, {"X+1", " IN ", "(1,2)", "OR"});
    EXPECT_EQ("", edit.Operand1()->currentText().toStdString());
    EXPECT_EQ(" IN ", edit.Operation()->currentText().toStdString());
    EXPECT_EQ("(1,2)", edit.Operand2()->currentText().toStdString());
    EXPECT_EQ(2, edit.Link()->checkedId());
    const BuilderCondition result = edit.Condition();
    EXPECT_EQ("OR", result.link);
    CConditionDlg fresh({"T.A"}, {});
    EXPECT_EQ("=", fresh.Condition().operation);
    EXPECT_EQ("", fresh.Condition().link);
    // Every operation comes back as it was, also those that begin another one (">" and ">=").
    for (const CString& operation : CBuilderModel::Operations()) {
        CConditionDlg again({"T.A"}, {"T.A", operation, "1", ""});
        EXPECT_EQ(operation, again.Condition().operation);
    }
}

TEST_F(BuilderSqlite, PanelShowsBackOnlyWhenPossibleAndFinishOnTheLastPage) {
    CBuilderPanel panel(nullptr, session.get());
    panel.show();
    Builder* inner = panel.GetBuilder();
    inner->Activate();
    panel.UpdateState();
    EXPECT_FALSE(panel.BackButton()->isVisible());
    EXPECT_EQ("&Next >>>", panel.ForwardButton()->text().toStdString());
    static_cast<CTypePage*>(inner->Page(PG_TYPE))->Buttons()->button(SQL_DROP_TABLE)->setChecked(true);
    panel.ForwardButton()->click();
    ASSERT_EQ(PG_TABLE, inner->CurrentPage());
    EXPECT_TRUE(panel.BackButton()->isVisible());
    EXPECT_EQ("Finish", panel.ForwardButton()->text().toStdString());
    QListWidget* tables = static_cast<CTablePage*>(inner->Page(PG_TABLE))->List();
    tables->setCurrentItem(tables->findItems("dept", Qt::MatchExactly).value(0));
    panel.ForwardButton()->click();
    EXPECT_EQ(PG_TABLE, inner->CurrentPage());
    EXPECT_EQ("DROP TABLE dept ", panel.Statement()->toPlainText().toStdString());
    EXPECT_TRUE(messages.Shown().empty());
    panel.BackButton()->click();
    EXPECT_EQ(PG_TYPE, inner->CurrentPage());
    panel.Restart();
    EXPECT_EQ(PG_TYPE, inner->CurrentPage());
    EXPECT_FALSE(panel.BackButton()->isVisible());
}
