#include "CBuilderMode.h"

CBuilderMode::CBuilderMode(CMainWindow& main, _Settings& settings, CDB* session, QWidget* parent)
    : CConnectedMode(IDD, "Builder", false, main, settings, session, parent) {}
