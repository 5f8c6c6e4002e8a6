// The direction and dialog of one data exchange between a dialog's controls and its data.
#pragma once

class QWidget;

struct CDataExchange {
    QWidget* m_Dialog = nullptr;
    // True when the controls' contents are taken into the data, false when the data is shown.
    bool m_SaveAndValidate = false;
};
