// The fixed texts the first two pages show.
#pragma once

// The suite's licence agreement: paragraphs separated by empty lines, CR LF line ends, section
// headings in capitals. Any "%s" would become the suite name; this text has none.
extern const char kLicenceAgreementText[];

// Shown to users who still have an earlier version installed.
extern const char kPreviousVersionNotice[];
