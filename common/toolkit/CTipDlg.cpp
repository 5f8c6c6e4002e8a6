#include "toolkit/CTipDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const char* const kSection = "Tips";

// White strip with the tip picture at its top left and "Did you know..." beside it.
class TipHeading : public QWidget {
public:
    explicit TipHeading(QWidget* parent) : QWidget(parent) {
        m_Picture = style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32);
        QFont f = font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.3);
        setFont(f);
        setMinimumHeight(m_Picture.height() / m_Picture.devicePixelRatio() + 8);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QSize size = m_Picture.size() / m_Picture.devicePixelRatio();
        p.drawPixmap(QPoint(4, 4), m_Picture);
        const QRect text(4 + size.width() + 8, 4, width(), size.height());
        p.setPen(Qt::black);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, "Did you know...");
    }

private:
    QPixmap m_Picture;
};
} // namespace

CTipDlg::CTipDlg(QWidget* parent) : QDialog(parent) {
    m_Reg.Read(kSection, "iNextTipIndex", &m_NextTipIndex, 0);
    m_Reg.Read(kSection, "m_TipOnStartup", &m_TipOnStartup, 1);

    setWindowTitle("Tip of the Day");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new TipHeading(this));
    m_Text = new QPlainTextEdit(this);
    m_Text->setReadOnly(true);
    QPalette pal = m_Text->palette();
    pal.setColor(QPalette::Base, Qt::white);
    m_Text->setPalette(pal);
    layout->addWidget(m_Text);

    auto* bottom = new QHBoxLayout;
    m_Startup = new QCheckBox("&Show Tips on StartUp", this);
    m_Next = new QPushButton("&Next Tip", this);
    m_Close = new QPushButton("&Close", this);
    m_Close->setDefault(true);
    bottom->addWidget(m_Startup);
    bottom->addStretch();
    bottom->addWidget(m_Next);
    bottom->addWidget(m_Close);
    layout->addLayout(bottom);
    resize(420, 260);

    connect(m_Next, &QPushButton::clicked, this, [this] { NextTip(); });
    connect(m_Close, &QPushButton::clicked, this, &QDialog::accept);
}

CTipDlg::~CTipDlg() {
    if (m_Open)
        Store();
}

void CTipDlg::Add(const CString& text) {
    m_Tips.push_back(text);
}

void CTipDlg::NextTip() {
    // A stored index outside the list (it shrank, or the store was edited) starts again at 0.
    if (m_NextTipIndex < 0 || m_NextTipIndex >= static_cast<int>(m_Tips.size()))
        m_NextTipIndex = 0;
    if (m_NextTipIndex < static_cast<int>(m_Tips.size()))
        m_CurrentText = m_Tips[m_NextTipIndex];
    ++m_NextTipIndex;
    m_Text->setPlainText(
        QString::fromUtf8(m_CurrentText.data(), static_cast<qsizetype>(m_CurrentText.size())));
}

void CTipDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_Open || event->spontaneous())
        return;
    m_Open = true;
    m_Startup->setChecked(m_TipOnStartup != 0);
    NextTip();
}

void CTipDlg::Store() {
    m_Open = false;
    m_TipOnStartup = m_Startup->isChecked() ? 1 : 0;
    CSysReg::Batch batch;
    m_Reg.Save(kSection, "iNextTipIndex", m_NextTipIndex);
    m_Reg.Save(kSection, "m_TipOnStartup", m_TipOnStartup);
}

void CTipDlg::done(int result) {
    if (m_Open)
        Store();
    QDialog::done(result);
}
