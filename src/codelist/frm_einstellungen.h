#pragma once

#include "ui/form.h"

namespace codeeingabe {

// The operator's settings window.
class FrmEinstellungen : public Form {
public:
    using Form::Form;

protected:
    Layout WindowLayout() const override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace codeeingabe
