#pragma once

#include <string>

// The two document-property streams every Excel file carries. They hold only
// the code page: no author, no time stamps, so written files stay
// byte-for-byte reproducible.
namespace chengxi::xls {

std::string summaryInformationStream();
std::string documentSummaryInformationStream();

} // namespace chengxi::xls
