#include "grid/CExcelBook.h"
#include "grid/CExportDlg.h"
#include "grid/CResultTable.h"
#include "grid/coreDBgrid.h"
#include "services/CSysReg.h"
#include "toolkit/ControlId.h"

#include "DialogRecorder.h"
#include "MessageRecorder.h"
#include "TestSandbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
class ExportDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSysReg reg;
        reg.SetProfileName("Software\\Ostrak\\Varnel", CSysReg::STORE_MODE);
        table.Initialize();
        table.SetColumnCount(3);
        FLD_DESC id{4, 10, 10, 0, 0, "ID", "INTEGER"};
        FLD_DESC name{12, 20, 20, 0, 1, "NAME", "VARCHAR"};
        table.Fields() = {id, name};
        table.AddColumn(0, "ID");
        table.AddColumn(1, "NAME");
        const int row = table.NextRow(0);
        table.SetCellText(row, 1, "1");
        table.SetCellText(row, 2, "abc");
        table.AssignTables("T");
    }

    template <typename W = QWidget> W* Control(CExportDlg& dlg, int id) {
        return qobject_cast<W*>(FindControl(&dlg, id));
    }

    static CString Read(const CString& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    CResultTable table;
    MessageRecorder messages;
};
} // namespace

TEST_F(ExportDlgTest, PresetDialogStartsFromDefaultsWithTabSeparator) {
    CExport exporter(&table, EXP_SQL);
    {
        // Stored options that a preset export object must not load.
        _Settings stored;
        stored.Section("Export");
        stored.Add("FileName", S_STRING, 0, "");
        stored.setStr("FileName", "/stored/name.txt");
        stored.SaveData();
    }
    CExportDlg dlg(exporter);
    ASSERT_TRUE(dlg.Create(0, 0));
    EXPECT_TRUE(Control<QRadioButton>(dlg, IDC_EXP_SQL)->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(dlg, IDC_EXP_TEXT)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dlg, IDC_EXP_ALLDATA)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(dlg, IDC_EXP_WITHDELIM)->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(dlg, IDC_EXP_COLNAMES)->isChecked());
    EXPECT_EQ("", Control<QLineEdit>(dlg, IDC_EXP_FILE)->text().toStdString());
    EXPECT_EQ("<tab>", Control<QComboBox>(dlg, IDC_EXP_SEPARATOR)->currentText().toStdString());
    // Enabling rules for SQL: no names, no text options.
    EXPECT_FALSE(Control(dlg, IDC_EXP_COLNAMES)->isEnabled());
    EXPECT_FALSE(Control(dlg, IDC_EXP_WITHDELIM)->isEnabled());
    EXPECT_FALSE(Control(dlg, IDC_EXP_SEPARATOR)->isEnabled());
    EXPECT_TRUE(Control(dlg, IDC_EXP_FILE)->isEnabled());
    EXPECT_TRUE(Control(dlg, IDC_EXP_TERMINATE)->isEnabled());

    Control<QRadioButton>(dlg, IDC_EXP_EXCEL)->click();
    EXPECT_TRUE(Control(dlg, IDC_EXP_COLNAMES)->isEnabled());
    EXPECT_FALSE(Control(dlg, IDC_EXP_TERMINATE)->isEnabled());
    Control<QRadioButton>(dlg, IDC_EXP_TEXT)->click();
    EXPECT_TRUE(Control(dlg, IDC_EXP_SEPARATOR)->isEnabled());
    Control<QRadioButton>(dlg, IDC_EXP_FIXED)->click();
    EXPECT_FALSE(Control(dlg, IDC_EXP_SEPARATOR)->isEnabled());
    Control<QRadioButton>(dlg, IDC_EXP_XML)->click();
    EXPECT_FALSE(Control(dlg, IDC_EXP_COLNAMES)->isEnabled());
}

TEST_F(ExportDlgTest, GoWithoutFileNameStaysOpenThenExportsAndStoresOptions) {
    CExport exporter(&table, EXP_TEXT);
    CExportDlg dlg(exporter);
    ASSERT_TRUE(dlg.Create(0, 0));
    dlg.show();
    QTest::mouseClick(Control(dlg, IDC_EXP_GO), Qt::LeftButton);
    ASSERT_EQ(1u, messages.Shown().size());
    EXPECT_EQ("Enter file name first!", messages.Shown()[0].text);
    EXPECT_TRUE(dlg.isVisible());

    const CString target = TestSandbox::Directory() + "/out.txt";
    Control<QLineEdit>(dlg, IDC_EXP_FILE)->setText(QString::fromStdString(target));
    Control<QComboBox>(dlg, IDC_EXP_SEPARATOR)->setEditText(";");
    QTest::mouseClick(Control(dlg, IDC_EXP_GO), Qt::LeftButton);
    EXPECT_EQ(1u, messages.Shown().size());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    EXPECT_EQ("ID;NAME\r\n1;abc\r\n", Read(target));
    EXPECT_EQ(target, exporter.GetOptions().FileName) << "the object keeps the last choice";

    // A dialog over an object without preset loads what was stored.
    CExport plain(&table, EXP_NONE);
    CExportDlg again(plain);
    ASSERT_TRUE(again.Create(0, 0));
    EXPECT_EQ(target, Control<QLineEdit>(again, IDC_EXP_FILE)->text().toStdString());
    EXPECT_EQ("<tab>", Control<QComboBox>(again, IDC_EXP_SEPARATOR)->currentText().toStdString());
}

TEST_F(ExportDlgTest, BrowseUsesTheTargetsFilterAndFillsTheFileName) {
    CExport exporter(&table, EXP_XML);
    CExportDlg dlg(exporter);
    ASSERT_TRUE(dlg.Create(0, 0));
    DialogRecorder dialogs;
    dialogs.QueueFile(CString("/tmp/chosen.xml"));
    QTest::mouseClick(Control(dlg, IDC_EXP_BROWSE), Qt::LeftButton);
    ASSERT_EQ(1u, dialogs.FileRequests().size());
    EXPECT_TRUE(dialogs.FileRequests()[0].save);
    EXPECT_EQ("XML documents (*.xml) (*.xml);;All Files(*.*) (*)", dialogs.FileRequests()[0].filter);
    EXPECT_EQ("/tmp/chosen.xml", Control<QLineEdit>(dlg, IDC_EXP_FILE)->text().toStdString());
    Control<QRadioButton>(dlg, IDC_EXP_HTML)->click();
    dlg.DoDataExchange(true);
    EXPECT_EQ("HTML docunts (*.htm)|*.htm|All Files(*.*)|*.*||", dlg.FilterText());
}

TEST_F(ExportDlgTest, GridCommandOpensTheDialogWithTheChosenTarget) {
    class Grid : public coreDBgrid {
    public:
        using coreDBgrid::Initialize;
    } grid;
    grid.Initialize();
    QString checked;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CExportDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dlg);
        if (auto* b = qobject_cast<QRadioButton*>(FindControl(dlg, IDC_EXP_HTML)); b && b->isChecked())
            checked = "HTML";
        dlg->reject();
    });
    EXPECT_EQ(1, grid.ProceedCommand(ID_EXPORT_HTML));
    EXPECT_EQ("HTML", checked.toStdString());
}

// The file field takes the dialog's width; the workbook goes to that file and is then opened with the
// desktop's application for it, and where none takes it the user is told where the file is.
TEST_F(ExportDlgTest, FileFieldIsWideAndTheWorkbookIsWrittenThenOpened) {
    CExport exporter(&table, EXP_EXCEL);
    CExportDlg dlg(exporter);
    ASSERT_TRUE(dlg.Create(0, 0));
    dlg.show();
    QApplication::processEvents();
    auto* file = Control<QLineEdit>(dlg, IDC_EXP_FILE);
    const QString path = "/home/somebody/Documents/exports/quarterly results of the sales team.xlsx";
    file->setText(path);
    EXPECT_TRUE(file->isEnabled()) << "the workbook needs a file too";
    EXPECT_TRUE(Control(dlg, IDC_EXP_BROWSE)->isEnabled());
    EXPECT_FALSE(Control(dlg, IDC_EXP_TERMINATE)->isEnabled()) << "only SQL statements are terminated";
    // Most of the dialog's width, and the whole path visible in it.
    EXPECT_GT(file->width(), dlg.width() * 6 / 10) << file->width() << " of " << dlg.width();
    EXPECT_GE(file->width(), file->fontMetrics().horizontalAdvance(path));
    const QImage shot = dlg.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    shot.save(QString::fromStdString(TestSandbox::Directory() + "/export-dialog.png"));

#ifdef VARNEL_HAVE_XLSXWRITER
    for (const bool opens : {true, false}) {
        messages.Clear();
        const CString target = TestSandbox::Directory() + (opens ? "/opened.xlsx" : "/kept.xlsx");
        CString opened;
        CExcelBook::SetOpener([&](const CString& p) {
            opened = p;
            return opens;
        });
        CExportDlg again(exporter);
        ASSERT_TRUE(again.Create(0, 0));
        Control<QLineEdit>(again, IDC_EXP_FILE)->setText(QString::fromStdString(target));
        again.OnOK();
        CExcelBook::SetOpener(nullptr);
        EXPECT_EQ(target, opened);
        EXPECT_EQ(CString("PK\x03\x04", 4), Read(target).substr(0, 4)) << "the workbook stays, opened or not";
        EXPECT_EQ(QDialog::Accepted, again.result());
        if (opens) {
            EXPECT_TRUE(messages.Shown().empty());
        } else {
            ASSERT_EQ(1u, messages.Shown().size());
            EXPECT_NE(CString::npos, messages.Shown()[0].text.find(target)) << messages.Shown()[0].text;
        }
    }
#endif
}
