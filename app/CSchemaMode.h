// The Schema mode page: connects on entry and will show the database's objects with their SQL text.
#pragma once

#include "CConnectedMode.h"

class CSchemaMode : public CConnectedMode {
    Q_OBJECT
public:
    enum { IDD = 184 };

    CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent = nullptr);
};
