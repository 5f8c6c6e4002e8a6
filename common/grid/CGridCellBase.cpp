#include "grid/CGridCellBase.h"

bool CGridCellBase::IsDefault(unsigned commonFormat) const {
    return m_nFormat == commonFormat && m_nState == 0 && m_nImage == -1 && m_lParam == 0 &&
           m_crBkClr == CLR_DEFAULT && m_crFgClr == CLR_DEFAULT && !m_Font;
}
