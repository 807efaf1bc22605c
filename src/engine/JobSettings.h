#pragma once
// The job as the main window shows it. The engine keeps no copy: every step
// asks for the control it needs at the moment it needs it, by the control's
// name ("Txt_B_text", "Chk_syori(0)", "Opt_Cpymov(1)", "Lbl_up", ...).
//
// Values follow the controls' conventions: a check box reads 0 or 1, an option
// button -1 (chosen) or 0. Texts are text-box texts or label captions; the
// folder lists "F_Dir" and "A_Dir" answer their path.

#include <string>
#include <string_view>

namespace zv {

class JobSettings {
  public:
    virtual ~JobSettings() = default;

    virtual std::u16string Text(std::string_view control) const = 0;
    virtual void SetText(std::string_view control, const std::u16string& text) = 0;
    virtual int Value(std::string_view control) const = 0;

    virtual void SetFocus(std::string_view control) = 0;
    virtual bool IsVisible(std::string_view control) const = 0;

    // The source file list "F_File": its rows in list order.
    virtual int FileCount() const = 0;
    virtual std::u16string FileName(int index) const = 0;
    virtual bool FileSelected(int index) const = 0;
};

}  // namespace zv
