#include "wizard/user_details_page.h"

namespace {
const int kHeading = 600;
const int kFullNameField = 601;
const int kCompanyField = 602;
const int kEmailField = 603;
const int kCountryField = 604;
} // namespace

UserDetailsPage::UserDetailsPage(HBITMAP wizardBitmap) : WizardPage(104, wizardBitmap) {
    LoadUserDetails(details_);
}

UserDetailsPage::~UserDetailsPage() = default;

bool UserDetailsPage::OnInitDialog() {
    ExpandItemText(kHeading, nullptr);
    SetItemText(kFullNameField, details_.fullName);
    SetItemText(kCompanyField, details_.company);
    SetItemText(kEmailField, details_.email);
    SetItemText(kCountryField, details_.country);
    return true;
}

bool UserDetailsPage::OnKillActive() {
    GetItemText(kFullNameField, details_.fullName, sizeof details_.fullName);
    GetItemText(kCompanyField, details_.company, sizeof details_.company);
    GetItemText(kEmailField, details_.email, sizeof details_.email);
    GetItemText(kCountryField, details_.country, sizeof details_.country);
    return false;
}

bool UserDetailsPage::Commit() {
    StoreUserDetails(details_);
    return true;
}
