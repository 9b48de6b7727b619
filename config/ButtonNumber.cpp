#include "config/ButtonNumber.h"
#include "framework/Afx.h"

int AfxGetAppButton()
{
    const auto* pSource = dynamic_cast<const CButtonNumberSource*>(AfxGetApp());
    return pSource ? pSource->GetButton() : 201;
}
