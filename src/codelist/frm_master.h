#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "codelist/process_values.h"
#include "ui/form.h"
#include "platform/win_handles.h"

namespace codeeingabe {

// The operator's window at the jukebox, opened by the master code: how many codes are free, and
// setting them all free again. No title bar: dragged by its title, closed by its close glyph.
class FrmMaster : public Form {
public:
    FrmMaster(FormOwner& owner, const ProcessValues& values) : Form(owner), values_(values) {}

protected:
    Layout WindowLayout() const override;
    void CreateControls() override;
    void Form_Load() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void cmdSetCodesFree_Click();
    void Label5_MouseDown(POINT pressedAt);
    void lblClose_Click();

    std::optional<LRESULT> OnMouseDown(UINT message, POINT point);
    std::optional<LRESULT> OnMouseUp(POINT point);
    void SetCodesLeft(const std::wstring& text);
    void Paint(HDC printDc);
    void PaintCloseGlyph(HDC dc);

    const ProcessValues& values_;
    // The full count, not 16 bits: a list edited by hand may hold more codes than generation makes.
    std::size_t codesTotal_ = 0;
    HWND lblCodesLeft_ = nullptr;  // a window of its own, so that its text can be read
    bool closePressed_ = false;
    HWND cmdSetCodesFree_ = nullptr;
    HWND lastFocus_ = nullptr;
    UniqueFont textFont_;
    UniqueFont closeFont_;
    UniqueBrush background_;
    bool closeFontAvailable_ = false;
};

}  // namespace codeeingabe
