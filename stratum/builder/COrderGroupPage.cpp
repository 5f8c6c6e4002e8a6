#include "builder/COrderGroupPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>

COrderGroupPage::COrderGroupPage(Builder* builder) : CBuilderPage(builder, "ORDER BY / GROUP BY") {
    auto* layout = new QHBoxLayout(this);
    m_Fields = new QListWidget(this);
    m_Fields->setSelectionMode(QAbstractItemView::MultiSelection);
    m_Order = new QListWidget(this);
    m_Group = new QListWidget(this);
    layout->addWidget(m_Fields, 1);
    auto* lists = new QVBoxLayout;
    layout->addLayout(lists, 1);
    auto* order = new QHBoxLayout;
    auto* orderButtons = new QVBoxLayout;
    order->addLayout(orderButtons);
    auto* orderList = new QVBoxLayout;
    orderList->addWidget(new QLabel("ORDER BY", this));
    orderList->addWidget(m_Order);
    order->addLayout(orderList, 1);
    auto* group = new QHBoxLayout;
    auto* groupButtons = new QVBoxLayout;
    group->addLayout(groupButtons);
    auto* groupList = new QVBoxLayout;
    groupList->addWidget(new QLabel("GROUP BY", this));
    groupList->addWidget(m_Group);
    group->addLayout(groupList, 1);
    lists->addLayout(order);
    lists->addLayout(group);
    Button(orderButtons, ">", [this] {
        Model().OrderAdd(SelectedRows(m_Fields));
    })->setObjectName("addOrder");
    Button(orderButtons, "<", [this] {
        Model().OrderRemove(m_Order->currentRow());
    })->setObjectName("removeOrder");
    Button(groupButtons, ">", [this] {
        Model().GroupAdd(SelectedRows(m_Fields));
    })->setObjectName("addGroup");
    Button(groupButtons, "<", [this] {
        Model().GroupRemove(m_Group->currentRow());
    })->setObjectName("removeGroup");
}

void COrderGroupPage::Show() {
    const Selection fields = SelectedRows(m_Fields);
    FillList(m_Fields, Model().orderFields);
    SelectRows(m_Fields, fields);
    FillList(m_Order, Model().orderBy);
    FillList(m_Group, Model().groupBy);
    m_Order->setCurrentRow(-1);
    m_Group->setCurrentRow(-1);
}
