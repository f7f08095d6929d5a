#pragma once

#include "ui/form.h"
#include "platform/win_handles.h"

namespace codeeingabe {

// The lock notice: the picture and nothing else; a click on it closes it.
class FrmInfo : public Form {
public:
    using Form::Form;

protected:
    Layout WindowLayout() const override;
    void CreateControls() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Click();
    void Paint(HDC printDc);

    UniqueBitmap picture_;
    bool pressed_ = false;
};

}  // namespace codeeingabe
