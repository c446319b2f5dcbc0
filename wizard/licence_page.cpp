#include "wizard/licence_page.h"

#include <cstring>
#include <memory>

#include "driver/image_resource.h"
#include "driver/setup_context.h"

namespace {

const int kAgreementField = 400;
const int kNoticeField = 500;

// Shows `text` in the field with every "%s" as the suite name, in a buffer with room for
// `placeholders` of them.
void ShowExpanded(DialogPage& page, int field, const char* text, size_t placeholders) {
    const size_t size = std::strlen(text) + placeholders * std::strlen(GetSuiteName()) + 2;
    std::unique_ptr<char[]> buffer(new char[size]);
    ExpandPlaceholders(text, buffer.get(), size, nullptr);
    page.SetItemText(field, buffer.get());
}

} // namespace

LicencePage::LicencePage(HBITMAP wizardBitmap) : WizardPage(101, wizardBitmap) {}

LicencePage::~LicencePage() = default;

bool LicencePage::OnInitDialog() {
    ShowExpanded(*this, kAgreementField, ImageText(kLicenceText), 5);
    return true;
}

NoticePage::NoticePage(HBITMAP wizardBitmap) : WizardPage(102, wizardBitmap) {}

NoticePage::~NoticePage() = default;

bool NoticePage::OnInitDialog() {
    ShowExpanded(*this, kNoticeField, ImageText(kNoticeText), 1);
    return true;
}
