// Numbers as text without the locale: files always use "." as the decimal
// separator, even when the C locale of the process is Russian.
#pragma once

#include <string>
#include <string_view>

namespace vexa {

// The digits printf("%0.Nf") gives in the C locale; decimals is clamped to
// 0..100. NaN and infinities read "nan", "-nan", "inf", "-inf".
std::string FormatFixed(double v, int decimals);
// Like printf("%.15g"): up to 15 significant digits, no trailing zeros.
std::string FormatGeneral(double v);

// Read a number at the start of text: blanks (space, tab) first are
// skipped, one leading '+' or '-' is allowed, text after the number is
// ignored. False when there is no number, on overflow, and for inf/nan.
bool ParseDoublePrefix(std::string_view text, double& out);
bool ParseIntPrefix(std::string_view text, long long& out);

// The whole field must be the number; blanks around it are allowed.
bool ParseDouble(std::string_view text, double& out);
bool ParseInt(std::string_view text, long long& out);

}  // namespace vexa
