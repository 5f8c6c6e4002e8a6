#include "CSchemaMode.h"

CSchemaMode::CSchemaMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CConnectedMode(IDD, "Schema", true, main, settings, session, parent) {}
