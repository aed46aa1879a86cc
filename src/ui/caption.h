// Caption entry k of the message table in a language, for a window's texts.
#pragma once

#include <QString>

#include "core/messages.h"

namespace vexa::ui {

inline QString Caption(int k, int language) { return QString::fromUtf8(CaptionText(k, language)); }

}  // namespace vexa::ui
