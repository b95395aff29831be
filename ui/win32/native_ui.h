#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/bindings.h"
#include "ui/controls.h"

// Dialogs built from the resource-script templates of a module, driven
// through the control interfaces. No <windows.h> here: handles travel as
// void*, so this header stays cheap to include from the entry points.
namespace ui::win32 {

class NativeUi : public ui::Ui {
public:
    // `module`: the HMODULE whose resources hold the templates.
    explicit NativeUi(void* module);
    ~NativeUi() override;
    NativeUi(const NativeUi&) = delete;
    NativeUi& operator=(const NativeUi&) = delete;

    // Names a template's controls (and its pop-up menu's entries) by their
    // IDs. A form can only be created from a registered template.
    void RegisterTemplate(const std::string& templateName, const std::vector<ui::Binding>& controls,
                          const std::string& menuName = "",
                          const std::vector<ui::Binding>& menuEntries = {}) override;

    // A window class of the dialog kind, for templates that name it with CLASS,
    // so that other programs can find the window by class.
    void RegisterDialogClass(const std::string& className);

    // From now on forms created without an owner get one that is never shown:
    // an owned window has no taskbar button, whatever the shell does when it
    // is shown, and keeps its caption and icon. The owner, unowned itself,
    // hears the broadcasts top-level windows get and passes the shell's
    // restart on to every form.
    void UseHiddenOwner();

    std::unique_ptr<ui::Form> CreateForm(const std::string& templateName, ui::Form* owner) override;
    int MsgBox(const std::string& text, const std::string& title, int flags) override;
    void SetPointer(ui::Pointer pointer) override;
    int ScreenWidthTwips() const override;
    int ScreenHeightTwips() const override;
    void DoEvents() override;

    struct Template {
        std::vector<ui::Binding> controls;
        std::string menuName;
        std::vector<ui::Binding> menuEntries;
    };

private:
    void* module_;
    void* hiddenOwner_ = nullptr;
    std::map<std::string, Template> templates_;
};

// The program's modeless message loop: runs until WM_QUIT and returns its
// exit code. Keys go to the key handler of the form they were typed in
// before the dialog manager and the control see them.
int RunMessageLoop();

}  // namespace ui::win32
