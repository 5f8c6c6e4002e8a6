#include "views/CDSNAdminDlg.h"

#include "QtText.h"
#include "codbc/ODBC.h"
#include "toolkit/MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QListWidget* Listed(const char* caption, QWidget* parent, QVBoxLayout* column) {
    column->addWidget(new QLabel(QObject::tr(caption), parent));
    auto* list = new QListWidget(parent);
    column->addWidget(list);
    return list;
}

// The session's data-source administration is this dialog.
void InstallDSNManager() {
    ODBC::SetDSNManager([](void* parentWindow) {
        CDSNAdminDlg dialog(static_cast<QWidget*>(parentWindow));
        dialog.exec();
        return 1;
    });
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallDSNManager)

CDSNAdminDlg::CDSNAdminDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("ODBC Data Sources");
    auto* layout = new QHBoxLayout(this);
    auto* lists = new QVBoxLayout;
    m_User = Listed("User data sources:", this, lists);
    m_System = Listed("System data sources:", this, lists);
    m_Drivers = Listed("Drivers:", this, lists);
    layout->addLayout(lists);

    auto* form = new QGroupBox("Data source", this);
    auto* fields = new QFormLayout(form);
    m_Name = new QLineEdit(form);
    m_Driver = new QComboBox(form);
    m_Attributes = new QPlainTextEdit(form);
    m_Attributes->setPlaceholderText("key = value, one a line");
    fields->addRow("Name:", m_Name);
    fields->addRow("Driver:", m_Driver);
    fields->addRow("Attributes:", m_Attributes);
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton("New", form);
    auto* save = new QPushButton("Save", form);
    auto* remove = new QPushButton("Remove", form);
    buttons->addWidget(add);
    buttons->addWidget(save);
    buttons->addWidget(remove);
    fields->addRow(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(form);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    right->addWidget(close);
    layout->addLayout(right);

    connect(add, &QPushButton::clicked, this, [this] { New(); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(remove, &QPushButton::clicked, this, [this] { Remove(); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_User, &QListWidget::currentTextChanged, this,
            [this](const QString& text) { SelectSource(FromQ(text)); });

    if (!m_Admin.Available())
        ShowMessage(m_Admin.LastError(), "Error!", MB_OK | MB_ICONERROR, this);
    Refresh();
}

void CDSNAdminDlg::Refresh() {
    const QSignalBlocker block(m_User);
    auto fill = [](QListWidget* list, const CStringArray& items) {
        list->clear();
        for (const CString& item : items)
            list->addItem(ToQ(item));
    };
    fill(m_User, m_Admin.UserSources());
    fill(m_System, m_Admin.SystemSources());
    const CStringArray drivers = m_Admin.Drivers();
    fill(m_Drivers, drivers);
    const QString driver = m_Driver->currentText();
    m_Driver->clear();
    for (const CString& name : drivers)
        m_Driver->addItem(ToQ(name));
    if (!driver.isEmpty())
        m_Driver->setCurrentText(driver);
    const QList<QListWidgetItem*> editing = m_User->findItems(ToQ(m_Editing), Qt::MatchExactly);
    if (!editing.isEmpty())
        m_User->setCurrentItem(editing.front());
}

void CDSNAdminDlg::SelectSource(const CString& source) {
    m_Editing = source;
    m_Name->setText(ToQ(source));
    if (source.empty()) {
        m_Attributes->clear();
        return;
    }
    m_Driver->setCurrentText(ToQ(m_Admin.DriverOf(source)));
    m_Attributes->setPlainText(ToQ(CDSNAdmin::FormatLines(m_Admin.AttributesOf(source))));
}

void CDSNAdminDlg::New() {
    m_Editing.clear();
    {
        const QSignalBlocker block(m_User);
        m_User->setCurrentRow(-1);
    }
    m_Name->clear();
    m_Attributes->setPlainText(
        ToQ(CDSNAdmin::FormatLines(m_Admin.DefaultAttributes(FromQ(m_Driver->currentText())))));
    m_Name->setFocus();
}

bool CDSNAdminDlg::Save() {
    const CString name = FromQ(m_Name->text());
    const CString driver = FromQ(m_Driver->currentText());
    const CDSNAdmin::Attributes attributes = CDSNAdmin::ParseLines(FromQ(m_Attributes->toPlainText()));
    bool done = false;
    if (driver.empty())
        ShowMessage("Choose a driver for the data source.", "Error!", MB_OK | MB_ICONERROR, this);
    else if (!m_Editing.empty() && name == m_Editing)
        done = m_Admin.Edit(name, driver, attributes);
    else
        done = m_Admin.Add(name, driver, attributes);
    if (!done && !driver.empty())
        ShowMessage(m_Admin.LastError(), "Error!", MB_OK | MB_ICONERROR, this);
    if (done) {
        m_Editing = name;
        Refresh();
    }
    return done;
}

bool CDSNAdminDlg::Remove() {
    QListWidgetItem* item = m_User->currentItem();
    if (!item)
        return false;
    const CString name = FromQ(item->text());
    if (ShowMessage("Remove the data source \"" + name + "\"?", "Attention!", MB_YESNO | MB_ICONQUESTION,
                    this) != IDYES)
        return false;
    if (!m_Admin.Remove(name)) {
        ShowMessage(m_Admin.LastError(), "Error!", MB_OK | MB_ICONERROR, this);
        return false;
    }
    m_Editing.clear();
    Refresh();
    SelectSource("");
    return true;
}
