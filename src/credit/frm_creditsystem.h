#pragma once

#include "ui/form.h"

namespace codeeingabe {

// The guest's code entry window; hidden until the host asks for it.
class FrmCreditsystem : public Form {
public:
    using Form::Form;

protected:
    Layout WindowLayout() const override;
    void Form_Load() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace codeeingabe
