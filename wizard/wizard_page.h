// The two page base classes of the setup wizard. Every page is a dialog template (101 to 107)
// shown by the wizard-mode property sheet; the sheet's one dialog procedure routes window
// messages and property-sheet notifications to the page object through the thirteen virtual
// operations below, declared in their slot order.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/win32.h"

// Copies `text` into `buffer` of `size` bytes with every "%s" replaced by `replacement` (the
// suite name when null). The buffer is zero-filled first. A replacement that would not fit, with
// the text before it, ends the copy there: the buffer keeps what was built before that "%s".
// Text after the last "%s" is appended only when it fits whole. The result is always
// zero-terminated within `size`, and nothing is written past it, even for a size of 0 or 1.
void ExpandPlaceholders(const char* text, char* buffer, size_t size, const char* replacement);

class DialogPage {
  public:
    explicit DialogPage(int templateId);
    virtual ~DialogPage();
    DialogPage(const DialogPage&) = delete;
    DialogPage& operator=(const DialogPage&) = delete;

    // WM_INITDIALOG, once the page window exists and is bound to this object: fill the
    // controls from the object's fields.
    virtual bool OnInitDialog();
    // PSN_SETACTIVE, after the frame posted the generic button state.
    virtual int OnSetActive();
    // WM_PAINT, between BeginPaint and EndPaint.
    virtual int OnPaint(HDC dc);
    // PSN_WIZNEXT and PSN_WIZBACK: a dialog id to jump to, or 0 for the neighbouring page.
    virtual int GetNextPage();
    virtual int GetBackPage();
    // PSN_WIZNEXT and PSN_WIZBACK without a jump: the notification's result (-1 no move).
    virtual int OnNext();
    virtual int OnBack();
    // PSN_WIZFINISH, after OnKillActive: the notification's result.
    virtual int OnFinish();
    // PSN_QUERYCANCEL: true keeps the wizard open. Asks the user to confirm.
    virtual bool OnQueryCancel();
    // PSN_KILLACTIVE, and first thing on PSN_WIZFINISH: copy the controls back into the
    // object's fields; true keeps the user on the page.
    virtual bool OnKillActive();
    // WM_COMMAND: notification code, control id and control window.
    virtual bool OnCommand(UINT code, UINT id, HWND control);
    // After the wizard was finished and the modules were copied: store the page's answers.
    // False stops the commit pass. The question pages answer true even when a value could not
    // be stored: an optional setting is not worth undoing the install for, and the modules
    // fall back on their own defaults.
    virtual bool Commit();

    int TemplateId() const { return templateId_; }
    // Null until the page's WM_INITDIALOG; kept after the window is gone.
    HWND Window() const { return window_; }
    // Binds the page window; called by the page dialog procedure on WM_INITDIALOG.
    void AttachWindow(HWND window) { window_ = window; }

    // Control utilities; `id` is a control id of the page's dialog.
    void SetCheck(int id, bool checked);
    bool GetCheck(int id);
    void SetItemText(int id, const char* text);
    // The control's text in `buffer` of `size` bytes; false when it did not fit, and then cut
    // after its last whole character that did (a multibyte text has fewer characters than
    // bytes, so a field can hold more characters than the buffer).
    bool GetItemText(int id, char* buffer, int size);
    void SetItemInt(int id, UINT value);
    // The field as an unsigned number; 0 for an empty or non-numeric field.
    UINT GetItemInt(int id);
    // Replaces every "%s" in the control's text with `replacement` (the suite name when null).
    void ExpandItemText(int id, const char* replacement);
    // A message box owned by the page, captioned with the wizard window's title.
    int ShowMessage(const char* text, UINT type);

  private:
    int templateId_;
    HWND window_ = nullptr;
};

// A page with the bitmap panel at its left: the wizard bitmap centred on black inside a thin
// sunken edge, drawn with a palette made from the bitmap's own colour table.
class WizardPage : public DialogPage {
  public:
    // `wizardBitmap` is an 8-bit DIB section or null; the page never deletes it.
    WizardPage(int templateId, HBITMAP wizardBitmap);
    ~WizardPage() override;

    int OnPaint(HDC dc) override;

  private:
    HBITMAP wizardBitmap_;
    HPALETTE palette_ = nullptr;
    // BITMAPINFOHEADER followed by a 256-entry colour table: a BITMAPINFO with 256 colours.
    std::unique_ptr<BYTE[]> bitmapInfo_;
};
