// The Builder mode page: connects on entry and will compose statements from the catalog.
#pragma once

#include "CConnectedMode.h"

class CBuilderMode : public CConnectedMode {
    Q_OBJECT
public:
    enum { IDD = 140 };

    CBuilderMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);
};
